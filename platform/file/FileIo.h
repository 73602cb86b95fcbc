#pragma once
// Small whole-buffer and whole-file operations on POSIX descriptors.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file/UniqueFd.h"

namespace platform {

// Opens an existing regular file (a symbolic link is followed) with `flags`
// (O_RDONLY or O_RDWR; O_CLOEXEC is added). Anything else (a FIFO, a device, a
// folder) is refused without blocking: the result is then not open.
UniqueFd OpenRegularFile(const std::string& path, int flags);

// Writes all bytes at the descriptor's offset, retrying after interruptions and
// partial writes. False when any write fails or writes nothing.
bool WriteAll(int fd, const void* data, std::size_t count);
bool WriteAll(int fd, std::string_view bytes);
// The same at a file offset, leaving the descriptor's offset alone.
bool WriteAllAt(int fd, const void* data, std::size_t count, std::uint64_t offset);

// Reads from the descriptor's offset to its end into `out`. False on a read
// error or when there are more than maxBytes; `out` then holds what was read.
bool ReadAll(int fd, std::string& out, std::size_t maxBytes);
// Reads a regular file of at most maxBytes (a symbolic link is followed).
// False for anything else; never blocks on a FIFO or device.
bool ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes);

// Copies the regular file `from` to the new file `to`, which must not exist
// yet, and makes the copy durable. False when `to` exists or anything fails;
// a partial copy is removed.
bool CopyToNewFile(const std::string& from, const std::string& to);

// Makes renames and new names in `folder` durable. Best effort: nothing is
// reported, as the names are in place either way.
void SyncFolder(const std::string& folder);

// The folder part of `path` without a trailing slash: "." for a bare name,
// "/" for an entry of the root.
std::string FolderOf(const std::string& path);

}  // namespace platform
