#pragma once
// An item whose records carry an extension block, as derived date entries write
// them, and a list of such items. Shared by the tests, the fuzz target and the
// benchmarks.
#include <memory>
#include <string>
#include <vector>

#include "common/store/Recurrence.h"
#include "common/store/ScheduleRecord.h"
#include "common/store/StorageList.h"

namespace storetest {

class ExtendedItem : public StorageItem {
 public:
  ExtendedItem() : StorageItem(Yearly, false) {}
  bool Write(BinaryWriter& writer) const override {
    return StorageItem::Write(writer) && WriteExtensionBlock(writer, m_ext);
  }
  bool Read(BinaryReader& reader) override { return StorageItem::Read(reader) && ReadExtensionBlock(reader, m_ext); }
  std::vector<std::uint8_t> m_ext;
};

class ExtendedList : public StorageList {
 public:
  explicit ExtendedList(std::string path = {}) : StorageList(std::move(path)) {
    m_wMagic = 0xCE09;
    m_dwRevision = 3;
  }
  std::unique_ptr<StorageItem> CreateItem() const override { return std::make_unique<ExtendedItem>(); }
};

}  // namespace storetest
