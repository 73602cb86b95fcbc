// Reads arbitrary bytes as a stars file: lines that parse must respect the
// field limits, and the parser must neither crash nor read past the data.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/entries/StarsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const StarLine& star : ParseStarsFile(bytes)) {
    if (star.szFirstName.size() > kMaxStarNameChars || star.szLastName.size() > kMaxStarNameChars ||
        star.szDescription.size() >= kMaxStarLineChars || star.nDay < 0 || star.nMonth < 0 || star.nYear < 0) {
      std::abort();
    }
  }
  return 0;
}
