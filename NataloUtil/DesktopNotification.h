#pragma once
// A reminder as a desktop notification (org.freedesktop.Notifications on the
// session bus) beside the reminder window. The notification only reports what
// the user chose; the window's own commands do the work, so a server that is
// missing, refuses or does not answer within a second leaves the window as the
// way to answer, and nothing is lost.
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

class QDBusServiceWatcher;

// Every call to the notification server waits this long at most.
inline constexpr int kNotificationCallTimeoutMs = 1000;
// The keys of the notification's actions.
inline constexpr char kActionDefault[] = "default";
inline constexpr char kActionDismiss[] = "dismiss";
inline constexpr char kActionSnooze[] = "snooze";

struct NotificationContent {
  QString summary;
  QStringList lines;
  QImage picture;
  QString dismissLabel;
  QString snoozeLabel;
  // Added to the body where the server shows no actions.
  QString howToAnswer;
};

class DesktopNotification : public QObject {
  Q_OBJECT

 public:
  explicit DesktopNotification(QObject* parent = nullptr);
  ~DesktopNotification() override;
  DesktopNotification(const DesktopNotification&) = delete;
  DesktopNotification& operator=(const DesktopNotification&) = delete;

  // Sends the notification, replacing the one with `replacesId` (0: none).
  // True when the server took it; false (with a line in the log) when there
  // is no session bus or server, or it refused or did not answer in time.
  // Thread: the GUI thread; call once.
  bool Show(const NotificationContent& content, std::uint32_t replacesId);
  // Takes the notification off the desktop; does nothing when none is shown
  // or it was closed already. Repeat calls do nothing.
  void Close();
  std::uint32_t Id() const { return m_id; }
  bool Shown() const { return m_id != 0; }

  // The id of the notification last shown for a reminder, kept in the
  // runtime folder so that the reminder coming back after a snooze (a new
  // utility process) replaces it; 0 when none is known.
  static std::uint32_t StoredId(std::int32_t uid);
  static void StoreId(std::int32_t uid, std::uint32_t id);

 signals:
  // "default" as often as the server sends it; "dismiss" or "snooze" once,
  // the first of them.
  void actionInvoked(const QString& key);
  // The notification left the desktop without our Close() (the server's
  // reason), or its server left the bus.
  void closed(uint reason);

 private slots:
  void OnActionInvoked(uint id, const QString& key);
  void OnNotificationClosed(uint id, uint reason);

 private:
  QStringList Capabilities();
  void OnServerGone();

  QDBusServiceWatcher* m_watcher = nullptr;
  std::uint32_t m_id = 0;
  bool m_bAnswered = false;
  bool m_bClosed = false;
};
