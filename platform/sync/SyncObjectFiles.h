#pragma once
// The files behind named mutexes and events, all in the runtime folder.
//
// Every named object has a holder file besides its own file. Each open handle
// keeps a shared flock on the holder file, so "does anybody hold it" is a
// non-blocking exclusive flock that fails. The kernel drops those locks when a
// process ends, crash included, so a dead process never counts as a holder.
//
// The files are never removed: unlinking a lock file while another process
// has it open would let two processes lock two different files of one name.
// The runtime folder is private to the user and emptied at log-out.
#include <string>

#include "platform/file/UniqueFd.h"

namespace platform::sync_files {

// File name (no folder) for a named object. `tag` tells the kinds apart and is
// put in front, so names of different kinds never meet. Path separators in
// the name become "$"; names too long for one file name are shortened to a
// prefix plus a 128-bit hash of the whole name.
std::string ObjectFileName(const char* tag, const std::u16string& name);

// Serialises the probe-and-join of holder files of all names in a folder, so
// that of two handles opened at the same time exactly one sees "did not
// exist". Held for microseconds only.
class FolderGate {
 public:
  explicit FolderGate(const std::string& folder);
  FolderGate(const FolderGate&) = delete;
  FolderGate& operator=(const FolderGate&) = delete;
  bool Held() const { return m_fd.IsOpen(); }

 private:
  UniqueFd m_fd;
};

// Joins the holders of the object whose holder file is `path`; call it under a
// FolderGate. `existed` tells whether another handle (in any process, this one
// included) held it. With mustExist, nothing is joined when there was no
// holder. Returns the descriptor that keeps this handle a holder, or an
// invalid one on failure.
UniqueFd JoinHolders(const std::string& path, bool mustExist, bool* existed);

// Opens (and creates when missing) a regular file of the runtime folder.
UniqueFd OpenLockFile(const std::string& path);

}  // namespace platform::sync_files
