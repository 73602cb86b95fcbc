// Reads arbitrary bytes with the readers of the two older storage revisions
// (the first byte chooses one): neither may crash or read past the data, and
// every entry they keep must be storable in the current revision.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "common/entries/FeskList.h"
#include "common/entries/OldRevisionReader.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  BinaryReader reader(std::span<const std::uint8_t>(data + 1, size - 1));
  FeskList list("/nonexistent/storage.dat");
  const EntryReminderDefaults defaults{static_cast<std::uint32_t>(data[0] >> 1 & 0x0F),
                                      static_cast<std::uint16_t>(data[0] * 0x0101)};
  if (data[0] & 1) {
    ReadRevision2Records(reader, list, defaults);
  } else {
    ReadRevision1Records(reader, list, defaults);
  }
  Check(reader.Position() <= size - 1);
  BinaryWriter writer;
  Check(list.WriteTo(writer));
  BinaryReader again(std::span<const std::uint8_t>(writer.Data()));
  FeskList reloaded("/nonexistent/storage.dat");
  Check(reloaded.ReadHeader(again));
  reloaded.ReadItems(again);
  Check(again.AtEnd() && reloaded.Count() == list.Count());
  return 0;
}
