// The local.dat reader over arbitrary bytes; every key read must be found again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (std::u16string_view section : {u"[English]", u"[Default]"}) {
    LocalTable table;
    if (!table.LoadBytes(bytes, section)) std::abort();
    for (const auto& entry : table.Entries()) {
      if (entry.m_szKey.find(u", ") != std::u16string::npos) std::abort();
      (void)table.Get(entry.m_szKey);
    }
    (void)table.GetHelpFile();
  }
  // The same bytes as three pictures.
  std::u16string units(size / 2, u'\0');
  if (!units.empty()) std::memcpy(units.data(), data, units.size() * 2);
  const std::size_t third = units.size() / 3;
  const std::u16string_view view(units);
  const LocalePatterns p = DeriveLocalePatterns(view.substr(0, third), view.substr(third, third),
                                                view.substr(2 * third));
  if (p.szLongDateNoYear.size() > kMaxPatternChars || p.szShortDateYY.size() > kMaxPatternChars) std::abort();
  return 0;
}
