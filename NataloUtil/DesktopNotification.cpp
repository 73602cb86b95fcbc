#include "NataloUtil/DesktopNotification.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QSaveFile>
#include <QVariantMap>

#include "common/log/Log.h"
#include "platform/sync/NamedMutex.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The utility's desktop entry, so the desktop shows our name and icon.
const QString kDesktopEntry = QStringLiteral("natalo-reminder");
constexpr int kPictureSide = 48;

// Our own reason of closed() when the server left the bus (the protocol starts at 1).
constexpr uint kServerGone = 0;

// The "image-data" hint: raw RGBA rows (iiibiiay).
struct NotificationImage {
  QImage image;
};

QDBusArgument& operator<<(QDBusArgument& out, const NotificationImage& picture) {
  const QImage& image = picture.image;
  out.beginStructure();
  out << image.width() << image.height() << static_cast<int>(image.bytesPerLine()) << true << 8 << 4
      << QByteArray(reinterpret_cast<const char*>(image.constBits()), static_cast<int>(image.sizeInBytes()));
  out.endStructure();
  return out;
}

// Only sent, never received.
const QDBusArgument& operator>>(const QDBusArgument& in, NotificationImage&) { return in; }

QString IdFile(std::int32_t uid) {
  const std::string folder = platform::GetRuntimeFolder();
  if (folder.empty()) return {};
  return QString::fromStdString(folder) + QStringLiteral("/natalo-notification-%1").arg(uid);
}

// A call that waits kNotificationCallTimeoutMs at most; an error reply on
// failure, logged.
QDBusMessage Call(const QString& method, const QList<QVariant>& arguments) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
  call.setArguments(arguments);
  QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kNotificationCallTimeoutMs);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    WriteLog("Notification: %s failed: %s %s", qPrintable(method), qPrintable(reply.errorName()),
             qPrintable(reply.errorMessage()));
  }
  return reply;
}

}  // namespace

Q_DECLARE_METATYPE(NotificationImage)

DesktopNotification::DesktopNotification(QObject* parent) : QObject(parent) {}

DesktopNotification::~DesktopNotification() = default;

QStringList DesktopNotification::Capabilities() {
  const QDBusMessage reply = Call(QStringLiteral("GetCapabilities"), {});
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().constFirst().toStringList();
}

bool DesktopNotification::Show(const NotificationContent& content, std::uint32_t replacesId) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    WriteLog("Notification: no session bus: %s", qPrintable(bus.lastError().message()));
    return false;
  }
  // Signals first, so an answer right after Notify is not missed.
  bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
              SLOT(OnActionInvoked(uint, QString)));
  bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
              SLOT(OnNotificationClosed(uint, uint)));
  const QStringList capabilities = Capabilities();
  if (capabilities.isEmpty()) return false;  // no server, or it did not answer

  QStringList lines = content.lines;
  QStringList actions;
  if (capabilities.contains(QStringLiteral("actions"))) {
    actions << QLatin1String(kActionDefault) << content.summary << QLatin1String(kActionDismiss)
            << content.dismissLabel << QLatin1String(kActionSnooze) << content.snoozeLabel;
  } else {
    lines << content.howToAnswer;
  }
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
  // Critical: the notification stays until the reminder is answered.
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(2)));
  // The utility plays the chosen sound itself.
  hints.insert(QStringLiteral("suppress-sound"), true);
  if (!content.picture.isNull()) {
    qDBusRegisterMetaType<NotificationImage>();
    NotificationImage picture{content.picture
                                  .scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_RGBA8888)};
    hints.insert(QStringLiteral("image-data"), QVariant::fromValue(picture));
  }
  const QDBusMessage reply =
      Call(QStringLiteral("Notify"), {QStringLiteral("Natalo"), static_cast<uint>(replacesId), QStringLiteral("natalo"),
                                      content.summary, lines.join(QLatin1Char('\n')), actions, hints, 0});
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  m_id = reply.arguments().constFirst().toUInt();
  if (m_id == 0) {
    WriteLog("Notification: the server gave no id");
    return false;
  }
  // A server that leaves the bus (or restarts) takes the notification along.
  m_watcher = new QDBusServiceWatcher(kService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
  connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { OnServerGone(); });
  WriteLog("Notification: shown as %u", m_id);
  return true;
}

void DesktopNotification::Close() {
  if (m_id == 0 || m_bClosed) return;
  m_bClosed = true;
  Call(QStringLiteral("CloseNotification"), {static_cast<uint>(m_id)});
}

void DesktopNotification::OnActionInvoked(uint id, const QString& key) {
  if (m_id == 0 || id != m_id || m_bAnswered || m_bClosed) return;
  if (key == QLatin1String(kActionDismiss) || key == QLatin1String(kActionSnooze)) {
    m_bAnswered = true;
  } else if (key != QLatin1String(kActionDefault)) {
    WriteLog("Notification: unknown action ignored");
    return;
  }
  emit actionInvoked(key);
}

void DesktopNotification::OnNotificationClosed(uint id, uint reason) {
  if (m_id == 0 || id != m_id || m_bClosed) return;
  m_bClosed = true;
  WriteLog("Notification: closed by the server (%u)", reason);
  // Closed after its answer: the window is closing too.
  if (m_bAnswered) return;
  emit closed(reason);
}

void DesktopNotification::OnServerGone() {
  if (m_bClosed) return;
  m_bClosed = true;
  WriteLog("Notification: the server left the bus");
  if (m_bAnswered) return;
  emit closed(kServerGone);
}

std::uint32_t DesktopNotification::StoredId(std::int32_t uid) {
  QFile file(IdFile(uid));
  if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) return 0;
  bool ok = false;
  const uint id = QString::fromLatin1(file.read(16)).trimmed().toUInt(&ok);
  return ok ? id : 0;
}

void DesktopNotification::StoreId(std::int32_t uid, std::uint32_t id) {
  QSaveFile file(IdFile(uid));
  if (file.fileName().isEmpty() || !file.open(QIODevice::WriteOnly)) return;
  file.write(QByteArray::number(id));
  file.commit();
}
