#pragma once
// A folder of calendar files as calendar synchronisers read it: one
// "<UID>.ics" per event, each a calendar of that one event. A file is
// rewritten only when its content changed and replaced as a whole, and the
// files of events that are gone are removed, so a synchroniser sends exactly
// the changes. Only files named after this storage's events are ever
// touched; anything else in the folder stays as it is.
#include <ctime>
#include <string>
#include <unordered_set>

#include "common/calendar/IcsCalendar.h"
#include "platform/file/UniqueFd.h"

class CalendarFolder {
 public:
  enum class Opened { Ready, NotAFolder, Failed };

  // `storageId` (StorageId.h) tells this storage's files from others; `now`
  // is the DTSTAMP of the files written.
  CalendarFolder(std::string storageId, std::time_t now);
  // Creates the folder (mode 0700) when it is missing, its parent existing;
  // refuses a file, a symbolic link or anything else that is no folder. The
  // folder stays locked against other exports until this object goes.
  // Failed leaves errno set.
  Opened Open(const std::string& path);
  // Writes the event's file unless it holds these bytes already, its DTSTAMP
  // aside. False when it could not be written.
  bool Put(const IcsEvent& event);
  // Removes the files of this storage's events that Put was not given this
  // time (and pending files a stopped export left). False when the folder
  // could not be read or a file not removed.
  bool RemoveGone();

  int Written() const { return m_written; }
  int Unchanged() const { return m_unchanged; }
  int Removed() const { return m_removed; }

 private:
  // Whether `name` is "<UID>.ics" of one of this storage's events.
  bool IsOwnFile(const std::string& name) const;

  std::string m_storageId;
  std::string m_stamp;
  std::string m_path;  // ends with '/'
  platform::UniqueFd m_folder;
  std::unordered_set<std::string> m_put;  // the file names given this time
  std::string m_old, m_new;
  int m_written = 0;
  int m_unchanged = 0;
  int m_removed = 0;
};
