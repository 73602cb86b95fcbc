#pragma once
// Key paths and value names as the database stores them: UTF-8, with a folded
// (ASCII lower-case) form for lookups beside the form first written.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/Registry.h"

namespace platform {

class RegistryStatement;

// ASCII lower-case of UTF-8 text (bytes of other characters are left alone).
std::string FoldName(std::string_view utf8);

class RegistryKeyPath {
 public:
  // False for a key with an empty component (two backslashes in a row, a leading
  // or trailing backslash). The empty key is the root.
  bool Parse(std::u16string_view key);

  size_t Depth() const { return m_names.size(); }
  // Folded path of the first `depth` components, joined with backslashes.
  std::string FoldedPrefix(size_t depth) const;
  std::string Folded() const { return FoldedPrefix(Depth()); }
  // Component `index` as written.
  const std::string& Name(size_t index) const { return m_names[index]; }

 private:
  std::vector<std::string> m_names;
  std::vector<std::string> m_folds;
};

// The number a root is stored under.
std::int64_t RegistryRootNumber(RegistryRoot root);

// A value's address as stored: root number, key path, name as written and folded.
struct RegistryValueAddress {
  std::int64_t root = 0;
  RegistryKeyPath key;
  std::string name;
  std::string fold;

  // False for a key that RegistryKeyPath refuses.
  bool Parse(RegistryRoot r, std::u16string_view keyText, std::u16string_view nameText);
};

// Binds root, folded key and folded name as parameters 1 to 3.
RegistryStatement& BindValueAddress(RegistryStatement& stmt, const RegistryValueAddress& at);

}  // namespace platform
