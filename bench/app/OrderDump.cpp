// Prints the main list's rows under every sort key, both directions, every
// name order and date format, English and German, over 100,000 entries with
// edge-case names (emoji, right-to-left, CJK, long names, shared prefixes,
// anniversaries of a person, dates without a year) and the stars. Each
// setting gives a hash of the rows' order after a sort, the first rows'
// spoken texts and a hash of the order after a fresh fill of the list. Two
// builds compared by their output (bench/app/compare-order) show whether a
// change to the sort or the row texts changed what the user sees.
//
//   app_order_dump [ENTRIES]
#include <QApplication>

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "common/text/ProgramFolder.h"
#include "platform/text/Utf.h"

namespace fs = std::filesystem;

namespace {

const char16_t* const kNames[] = {
    u"Ann",        u"ann",       u"Alexander", u"Alexandra", u"Alexandr", u"\U0001F600 Smile", u"\u05E9\u05E8\u05D4",
    u"\u5C71\u7530", u"\u592A\u90CE", u"\u00C4nne", u"Zo\u00EB",    u"",          u"O'Brien",  u"van der Berg",
    u"Lee, Ann",   u"Name",      u"Name1234",  u"Name12345", u"\U00020000x", u"\u00E9mile",       u"Ann Lee"};

std::u16string NameOf(std::uint32_t r, int i) {
  std::u16string name = kNames[r % std::size(kNames)];
  if (r % 5 == 0) name += platform::FromUtf8(std::to_string(i % 997));
  if (r % 211 == 0) name = std::u16string(238, u'W');
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100'000;
  std::string pattern = (fs::temp_directory_path() / "natalo-order-XXXXXX").string();
  const fs::path root = mkdtemp(pattern.data());
  setenv("NATALO_DATA_DIR", (root / "").c_str(), 1);
  const fs::path built = NATALO_BUILT_PROGRAM_DIR;
  for (const char* name : {"local.dat", "stars.dat"}) fs::copy_file(built / name, root / name);
  SetProgramFolder(platform::FromUtf8((root / "").string()));

  for (const char16_t* language : {u"[English]", u"[German]"}) {
    GetLocalTable().LoadFile((root / "local.dat").string(), language);
    InitLocalePatterns();
    g_settings = AppSettings{};
    FeskList list((root / "storage.dat").string());
    std::uint32_t r = 12345;
    const auto next = [&r] { return (r = r * 1103515245u + 12345u) >> 8; };
    const std::u16string wedding = GetLocalTable().Get(u"DLG_FORMAT_ANNIVERSARYNAME");
    for (int i = 0; i < entries; ++i) {
      const auto kind = static_cast<std::uint16_t>(next() % 3);
      auto entry = std::make_unique<FeskItem>(kind);
      entry->SetFirstName(NameOf(next(), i));
      entry->SetLastName(NameOf(next(), i));
      entry->SetName(entry->FirstName());
      if (kind == Anniversary && next() % 3 == 0) {
        std::u16string person = NameOf(next(), i) + u" " + NameOf(next(), i);
        if (next() % 4 == 0) person = std::u16string(entry->LastName()) + u", " + std::u16string(entry->FirstName());
        entry->SetName(wedding.substr(0, wedding.find(u"%s")) + person + wedding.substr(wedding.find(u"%s") + 2));
      }
      const int year = next() % 10 == 0 ? kYearUnknown : 1900 + static_cast<int>(next() % 125);
      MidnightOf({year, 1 + static_cast<int>(next() % 12), 1 + static_cast<int>(next() % 28)}, entry->m_ftDate);
      if (next() % 50 == 0) MidnightOf({2000, 2, 29}, entry->m_ftDate);
      entry->m_dwIcon = next() % 8;
      if (next() % 7 == 0) entry->SetNote(u"note");
      list.Add(std::move(entry));
    }
    list.LoadStars();
    MainWindow window(QStringLiteral("Natalo"), list, nullptr, true);
    EntryListView& view = window.List();
    view.FillList();
    for (std::uint32_t names = 0; names < 4; ++names) {
      for (std::uint32_t format = 0; format < 6; ++format) {
        for (std::uint32_t key = 0; key < 6; ++key) {
          for (std::uint32_t ascending = 0; ascending < 2; ++ascending) {
            g_settings.g_dwDisplayNames = names;
            g_settings.g_dwDateFormat = format;
            g_settings.g_dwSort = key;
            g_settings.g_bSortAscending = ascending;
            view.SortRows();
            std::uint64_t hash = 14695981039346656037ull;
            for (int row = 0; row < view.RowCount(); ++row) {
              hash = (hash ^ static_cast<std::uint32_t>(view.EntryAt(row)->m_nUID)) * 1099511628211ull;
            }
            std::printf("%s names %u format %u sort %u ascending %u rows %d order %016llx\n",
                        platform::ToUtf8(language).c_str(), names, format, key, ascending, view.RowCount(),
                        static_cast<unsigned long long>(hash));
            for (int row = 0; row < std::min(view.RowCount(), 25); ++row) {
              std::printf("  %s\n", EntryRowPainter::SpokenText(*view.EntryAt(row)).toUtf8().constData());
            }
            // The rows as a fresh fill of the list orders them, from the list's own order.
            view.FillList();
            hash = 14695981039346656037ull;
            for (int row = 0; row < view.RowCount(); ++row) {
              hash = (hash ^ static_cast<std::uint32_t>(view.EntryAt(row)->m_nUID)) * 1099511628211ull;
            }
            std::printf("  filled rows %d order %016llx\n", view.RowCount(), static_cast<unsigned long long>(hash));
          }
        }
      }
    }
  }
  fs::remove_all(root);
  return 0;
}
