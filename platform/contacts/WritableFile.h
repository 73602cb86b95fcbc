#pragma once
// Rewrites a contact file only where its owner allows writing.
#include <string>
#include <string_view>

namespace platform {

// Replaces the existing regular file `path` with `bytes` as a whole (see
// platform/file/AtomicFile.h). Fails without writing when the file or its folder
// has no write permission bit set, honoured even for the superuser whom the
// kernel would let through: a card the user made read-only stays as it is.
bool ReplaceWritableFile(const std::string& path, std::string_view bytes);

}  // namespace platform
