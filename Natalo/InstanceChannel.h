#pragma once
// The local channel by which a second start of the application reaches the
// instance that runs: a local socket in the runtime folder, named per user and
// per program folder. The running instance answers one request: come forward,
// or, when it has no main window, close its message box so that the new start
// can go on.
#include <QLocalServer>
#include <QString>

#include <functional>

enum class InstanceReply : char {
  CameForward = 'F',  // the running instance brought its main window to the front
  ClosedBox = 'C',    // it had no main window and closed its message box
  Nothing = 'N',      // neither; also when no instance answered
};

// Full path of the channel for a program folder.
QString InstanceChannelName(const QString& programFolder);

class InstanceServer : public QObject {
  Q_OBJECT

 public:
  // `onRequest` runs on the user-interface thread for every request and gives the reply.
  InstanceServer(QString name, std::function<InstanceReply()> onRequest, QObject* parent = nullptr);

  // Takes the channel over: a channel left by an instance that ended is removed
  // first (the caller holds the instance mutex, so no live instance owns it).
  bool Listen();
  QString Name() const { return m_name; }

 private:
  void OnConnection();

  QString m_name;
  std::function<InstanceReply()> m_onRequest;
  QLocalServer m_server;
};

// Asks the running instance and waits up to `timeoutMs` for its reply;
// Nothing when no instance listens or none answers in time.
InstanceReply AskRunningInstance(const QString& name, int timeoutMs);
