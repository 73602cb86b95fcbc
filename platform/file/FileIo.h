#pragma once
// Small whole-buffer and whole-file operations on POSIX descriptors.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

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

// Makes renames and new names in `folder` durable. Best effort: nothing is
// reported, as the names are in place either way.
void SyncFolder(const std::string& folder);

// The folder part of `path` without a trailing slash: "." for a bare name,
// "/" for an entry of the root.
std::string FolderOf(const std::string& path);

}  // namespace platform
