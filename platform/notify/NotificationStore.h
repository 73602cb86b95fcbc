#pragma once
// The folder of notification records: one file per notification, named after
// its handle as eight hex digits with the ending ".ntf" ("0a1b2c3d.ntf").
// Records are written to a temporary file first and then renamed into place
// without replacing an existing one, so a reader never sees half a record and
// two writers never share a handle.
#include <string>
#include <vector>

#include "platform/notify/UserNotification.h"

namespace platform {

class NotificationStore {
 public:
  // `folder` may end with '/' or not; it is created on the first Add.
  explicit NotificationStore(std::string folder);

  // Writes a new record; returns its handle, or 0 when the trigger is not valid
  // or the record cannot be written.
  NotificationHandle Add(const NotificationTrigger& trigger);
  // Handles of every record file, sorted, corrupt ones included; true also when
  // the folder does not exist (nothing armed), false when it cannot be read.
  bool Handles(std::vector<NotificationHandle>& out) const;
  // Reads one record; false (with the reason in `error` when given) when it is
  // missing or corrupt.
  bool Read(NotificationHandle handle, NotificationTrigger& out, std::string* error = nullptr) const;
  // Removes one record; false when there was none.
  bool Remove(NotificationHandle handle);

  const std::string& Folder() const { return m_folder; }
  std::string PathOf(NotificationHandle handle) const;
  // The handle named by a record file name; false for any other file name.
  static bool HandleFromFileName(const std::string& name, NotificationHandle& out);
  static std::string FileNameOf(NotificationHandle handle);

 private:
  std::string m_folder;  // ends with '/'
};

}  // namespace platform
