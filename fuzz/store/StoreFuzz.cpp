// Reads arbitrary bytes as a storage file: the reader must neither crash nor read
// out of bounds, and whatever it loads must write back and read again unchanged.
// The first byte chooses the list kind; the rest is the file, fed to the same
// load that reading storage.dat ends in.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "common/store/ScheduleRecord.h"
#include "common/store/StorageList.h"
#include "tests/store/ExtendedItem.h"

namespace {

std::unique_ptr<StorageList> MakeList(std::uint8_t options) {
  std::unique_ptr<StorageList> list =
      (options & 1) ? std::make_unique<storetest::ExtendedList>() : std::make_unique<StorageList>();
  if (options & 2) list->m_wVersion = STORAGE_VERSION_WITHOUT_FIELD;
  return list;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const std::span<const std::uint8_t> file(data + 1, size - 1);

  auto list = MakeList(options);
  BinaryReader reader(file);
  const bool accepted = list->LoadFrom(reader);
  Check(reader.Position() <= file.size());
  if (!accepted) return 0;

  // Every state position lies inside the data.
  for (const auto& item : *list) Check(item.m_dwStatePos + STATE_BLOCK_SIZE <= file.size());

  BinaryWriter first;
  Check(list->WriteTo(first));
  auto reloaded = MakeList(options);
  BinaryReader back(first.Data());
  Check(reloaded->LoadFrom(back));
  Check(reloaded->Count() == list->Count());
  BinaryWriter second;
  Check(reloaded->WriteTo(second));
  Check(second.Data() == first.Data());
  return 0;
}
