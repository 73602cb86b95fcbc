#include "Natalo/InstanceChannel.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

#include "platform/sync/NamedMutex.h"

namespace {

constexpr char kRequest = '?';
// A start that found the mutex taken may come a moment before the first
// instance listens; it tries to connect for this long.
constexpr int kConnectWindowMs = 1000;

}  // namespace

QString InstanceChannelName(const QString& programFolder) {
  const QByteArray hash = QCryptographicHash::hash(programFolder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  return QString::fromStdString(platform::GetRuntimeFolder()) + QStringLiteral("/Natalo-instance-") +
         QString::fromLatin1(hash);
}

InstanceServer::InstanceServer(QString name, std::function<InstanceReply()> onRequest, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_onRequest(std::move(onRequest)) {
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::OnConnection);
}

bool InstanceServer::Listen() {
  if (m_server.isListening()) return true;
  QLocalServer::removeServer(m_name);
  return m_server.listen(m_name);
}

void InstanceServer::OnConnection() {
  while (QLocalSocket* socket = m_server.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      const QByteArray request = socket->readAll();
      if (!request.contains(kRequest)) return;
      const InstanceReply reply = m_onRequest ? m_onRequest() : InstanceReply::Nothing;
      socket->write(QByteArray(1, static_cast<char>(reply)));
      socket->flush();
      socket->disconnectFromServer();
    });
  }
}

InstanceReply AskRunningInstance(const QString& name, int timeoutMs) {
  QLocalSocket socket;
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    socket.connectToServer(name);
    if (socket.waitForConnected(200)) break;
    if (clock.elapsed() >= kConnectWindowMs) return InstanceReply::Nothing;
    QThread::msleep(20);
  }
  socket.write(QByteArray(1, kRequest));
  if (!socket.waitForBytesWritten(timeoutMs)) return InstanceReply::Nothing;
  while (socket.bytesAvailable() < 1) {
    const int left = timeoutMs - static_cast<int>(clock.elapsed());
    if (left <= 0 || !socket.waitForReadyRead(left)) return InstanceReply::Nothing;
  }
  char reply = 0;
  socket.getChar(&reply);
  switch (reply) {
    case static_cast<char>(InstanceReply::CameForward):
      return InstanceReply::CameForward;
    case static_cast<char>(InstanceReply::ClosedBox):
      return InstanceReply::ClosedBox;
    default:
      return InstanceReply::Nothing;
  }
}
