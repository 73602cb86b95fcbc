#include "platform/registry/Registry.h"

#include "platform/registry/RegistryConnection.h"
#include "platform/registry/RegistryKeyPath.h"
#include "platform/text/Utf.h"

namespace platform {
namespace {

// Reads the value; false when it is missing or the read failed.
bool LoadValue(RegistryConnection& c, const RegistryValueAddress& at, RegistryValue& out) {
  RegistryStatement select(c, RegistrySql::SelectValue);
  if (!select || BindValueAddress(select, at).Step() != SQLITE_ROW) return false;
  out.type = static_cast<RegistryType>(select.Int(0));
  out.data = select.Blob(1);
  return true;
}

bool BumpChange(RegistryConnection& c, const RegistryValueAddress& at) {
  RegistryStatement bump(c, RegistrySql::BumpChange);
  return bump && BindValueAddress(bump, at).Step() == SQLITE_DONE;
}

// Within a write transaction: records the key and its ancestors, then the value.
bool StoreValue(RegistryConnection& c, const RegistryValueAddress& at, const RegistryValue& value) {
  for (size_t depth = 1; depth <= at.key.Depth(); ++depth) {
    RegistryStatement insert(c, RegistrySql::InsertKey);
    if (!insert || insert.Bind(1, at.root)
                           .Bind(2, at.key.FoldedPrefix(depth))
                           .Bind(3, at.key.FoldedPrefix(depth - 1))
                           .Bind(4, at.key.Name(depth - 1))
                           .Step() != SQLITE_DONE) {
      return false;
    }
  }
  RegistryStatement upsert(c, RegistrySql::UpsertValue);
  if (!upsert || BindValueAddress(upsert, at)
                         .Bind(4, at.name)
                         .Bind(5, static_cast<std::int64_t>(value.type))
                         .BindBlob(6, value.data)
                         .Step() != SQLITE_DONE) {
    return false;
  }
  return BumpChange(c, at);
}

bool KeyExists(RegistryConnection& c, std::int64_t root, const RegistryKeyPath& key) {
  if (key.Depth() == 0) return true;
  RegistryStatement select(c, RegistrySql::KeyExists);
  return select && select.Bind(1, root).Bind(2, key.Folded()).Step() == SQLITE_ROW;
}

bool ListNames(RegistryRoot root, const std::u16string& keyText, RegistrySql sql,
               std::vector<std::u16string>& out) {
  RegistryKeyPath key;
  if (!key.Parse(keyText)) return false;
  RegistryConnection* c = AcquireRegistryConnection(RegistryAccess::Read);
  if (c == nullptr || !KeyExists(*c, RegistryRootNumber(root), key)) return false;
  RegistryStatement list(*c, sql);
  if (!list) return false;
  list.Bind(1, RegistryRootNumber(root)).Bind(2, key.Folded());
  std::vector<std::u16string> names;
  int rc = SQLITE_ROW;
  while ((rc = list.Step()) == SQLITE_ROW) names.push_back(FromUtf8(list.Text(0)));
  if (rc != SQLITE_DONE) return false;
  out = std::move(names);
  return true;
}

}  // namespace

RegistryValue MakeDwordValue(std::uint32_t number) {
  return RegistryValue{RegistryType::DWord,
                       {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                        static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

std::optional<std::uint32_t> DwordFromValue(const RegistryValue& value) {
  if (value.type != RegistryType::DWord || value.data.size() != 4) return std::nullopt;
  return static_cast<std::uint32_t>(value.data[0]) | static_cast<std::uint32_t>(value.data[1]) << 8 |
         static_cast<std::uint32_t>(value.data[2]) << 16 | static_cast<std::uint32_t>(value.data[3]) << 24;
}

std::optional<RegistryRoot> ParseRegistryRoot(const std::u16string& text) {
  if (text == u"HKEY_CURRENT_USER") return RegistryRoot::CurrentUser;
  if (text == u"HKEY_LOCAL_MACHINE") return RegistryRoot::LocalMachine;
  return std::nullopt;
}

bool RegReadValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                  RegistryValue& out) {
  RegistryValueAddress at;
  if (!at.Parse(root, key, name)) return false;
  RegistryConnection* c = AcquireRegistryConnection(RegistryAccess::Read);
  return c != nullptr && LoadValue(*c, at, out);
}

bool RegWriteValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   const RegistryValue& value) {
  RegistryValueAddress at;
  if (!at.Parse(root, key, name)) return false;
  RegistryConnection* c = AcquireRegistryConnection(RegistryAccess::Write);
  if (c == nullptr) return false;
  RegistryWriteTransaction transaction(*c);
  return transaction.Started() && StoreValue(*c, at, value) && transaction.Commit();
}

bool RegUpdateValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                    const std::function<bool(RegistryValue& value, bool exists)>& change) {
  RegistryValueAddress at;
  if (!at.Parse(root, key, name) || !change) return false;
  RegistryConnection* c = AcquireRegistryConnection(RegistryAccess::Write);
  if (c == nullptr) return false;
  RegistryWriteTransaction transaction(*c);
  if (!transaction.Started()) return false;
  RegistryValue value;
  const bool exists = LoadValue(*c, at, value);
  if (c->Broken()) return false;
  if (!exists) value = RegistryValue{};
  return change(value, exists) && StoreValue(*c, at, value) && transaction.Commit();
}

bool RegDeleteValue(RegistryRoot root, const std::u16string& key, const std::u16string& name) {
  RegistryValueAddress at;
  if (!at.Parse(root, key, name)) return false;
  RegistryConnection* c = AcquireRegistryConnection(RegistryAccess::Read);
  if (c == nullptr) return false;
  RegistryWriteTransaction transaction(*c);
  if (!transaction.Started()) return false;
  RegistryStatement erase(*c, RegistrySql::DeleteValue);
  if (!erase || BindValueAddress(erase, at).Step() != SQLITE_DONE) return false;
  return sqlite3_changes(c->Handle()) > 0 && BumpChange(*c, at) && transaction.Commit();
}

bool RegKeyExists(RegistryRoot root, const std::u16string& key) {
  RegistryKeyPath path;
  if (!path.Parse(key)) return false;
  RegistryConnection* c = AcquireRegistryConnection(RegistryAccess::Read);
  return c != nullptr && KeyExists(*c, RegistryRootNumber(root), path);
}

bool RegListSubKeys(RegistryRoot root, const std::u16string& key, std::vector<std::u16string>& out) {
  return ListNames(root, key, RegistrySql::ListSubKeys, out);
}

bool RegListValues(RegistryRoot root, const std::u16string& key, std::vector<std::u16string>& out) {
  return ListNames(root, key, RegistrySql::ListValues, out);
}

bool RegReadDword(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                  std::uint32_t& out) {
  RegistryValue value;
  if (!RegReadValue(root, key, name, value)) return false;
  const std::optional<std::uint32_t> number = DwordFromValue(value);
  if (!number) return false;
  out = *number;
  return true;
}

bool RegReadString(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   std::u16string& out) {
  RegistryValue value;
  if (!RegReadValue(root, key, name, value) || value.type != RegistryType::String ||
      value.data.size() % 2 != 0) {
    return false;
  }
  std::u16string text;
  for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
    const auto c = static_cast<char16_t>(value.data[i] | value.data[i + 1] << 8);
    // The text ends at its terminating zero; a value written without one ends
    // with its data.
    if (c == 0) break;
    text.push_back(c);
  }
  out = std::move(text);
  return true;
}

bool RegReadBinary(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   std::vector<std::uint8_t>& out) {
  RegistryValue value;
  if (!RegReadValue(root, key, name, value) || value.type != RegistryType::Binary) return false;
  out = std::move(value.data);
  return true;
}

bool RegWriteDword(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   std::uint32_t value) {
  return RegWriteValue(root, key, name, MakeDwordValue(value));
}

bool RegWriteString(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                    const std::u16string& value) {
  RegistryValue stored{RegistryType::String, {}};
  stored.data.reserve(2 * (value.size() + 1));
  for (char16_t c : value) {
    stored.data.push_back(static_cast<std::uint8_t>(c));
    stored.data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  stored.data.push_back(0);
  stored.data.push_back(0);
  return RegWriteValue(root, key, name, stored);
}

bool RegWriteBinary(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                    const std::vector<std::uint8_t>& value) {
  return RegWriteValue(root, key, name, RegistryValue{RegistryType::Binary, value});
}

}  // namespace platform
