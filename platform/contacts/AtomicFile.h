#pragma once
// Whole-file reads and crash-safe replacement of a file.
#include <string>
#include <string_view>

namespace platform {

// Reads a regular file of at most maxBytes; false otherwise.
bool ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes);

// Replaces an existing file with `bytes`: a hidden temporary file beside it is
// written, flushed to disk and renamed over the file, so a reader sees either
// the old or the new content, never a mix, and a failure leaves the old file.
// The file keeps its permission bits. Fails without writing when the file or its
// folder has no write permission bit set (honoured even for the superuser, who
// the kernel would let through) or when any step fails.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace platform
