#include "platform/registry/RegistryKeyPath.h"

#include "platform/registry/RegistryConnection.h"
#include "platform/text/Utf.h"

namespace platform {

std::string FoldName(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool RegistryKeyPath::Parse(std::u16string_view key) {
  m_names.clear();
  m_folds.clear();
  if (key.empty()) return true;
  size_t start = 0;
  while (true) {
    const size_t end = key.find(u'\\', start);
    const std::u16string_view part = key.substr(start, end == std::u16string_view::npos ? end : end - start);
    if (part.empty()) return false;
    m_names.push_back(ToUtf8(part));
    m_folds.push_back(FoldName(m_names.back()));
    if (end == std::u16string_view::npos) return true;
    start = end + 1;
  }
}

std::string RegistryKeyPath::FoldedPrefix(size_t depth) const {
  std::string out;
  for (size_t i = 0; i < depth && i < m_folds.size(); ++i) {
    if (i > 0) out.push_back('\\');
    out += m_folds[i];
  }
  return out;
}

std::int64_t RegistryRootNumber(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? 0 : 1;
}

bool RegistryValueAddress::Parse(RegistryRoot r, std::u16string_view keyText, std::u16string_view nameText) {
  root = RegistryRootNumber(r);
  name = ToUtf8(nameText);
  fold = FoldName(name);
  return key.Parse(keyText);
}

RegistryStatement& BindValueAddress(RegistryStatement& stmt, const RegistryValueAddress& at) {
  return stmt.Bind(1, at.root).Bind(2, at.key.Folded()).Bind(3, at.fold);
}

}  // namespace platform
