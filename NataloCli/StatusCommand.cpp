// natalo status [--json]: one short line for a desktop panel, the next date
// and who is due then; --json gives the object panels read: text, tooltip and
// a class ("today", "upcoming" or "none") for the panel's style.
#include <array>
#include <memory>
#include <vector>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EntryFacts.h"
#include "NataloCli/JsonText.h"
#include "platform/text/Utf.h"

namespace {

// A panel line stays short: the names of this many entries, then "+N".
constexpr std::size_t kNamesShown = 2;
// The tooltip lists this many of the coming dates.
constexpr std::size_t kTooltipLines = 10;
// A year ahead: every entry falls due within it.
constexpr long kDaysAhead = 366;

// The entries of the soonest date (they lead `coming`): their names, the
// first few of them, and how many more there are.
std::string NamesOfFirstDate(const std::vector<EntryFacts>& coming) {
  std::string names;
  std::size_t count = 0;
  while (count < coming.size() && coming[count].daysLeft == coming.front().daysLeft) {
    if (count < kNamesShown) names += (count > 0 ? ", " : "") + coming[count].name;
    ++count;
  }
  if (count > kNamesShown) {
    names += " " + CliText(u"CLI_STATUS_MORE", {platform::FromUtf8(std::to_string(count - kNamesShown))});
  }
  return names;
}

// Of a year of entries, only those of the soonest days are described: every
// entry of the first date (the line counts them) and enough after it for the
// tooltip. A count for each day ahead tells, while reading, which day is the
// last that can still be shown; entries after it are never made into items.
class ShownEntries {
 public:
  void Offer(const EntryRecord& record, std::int64_t days) {
    if (days < 0 || days > m_lastDay) return;
    const auto day = static_cast<std::size_t>(days);
    ++m_perDay[day];
    ++m_upToLastDay;
    m_kept.push_back({days, EntryOfRecord(record)});
    // The last day moves in while the days before it hold the tooltip's lines.
    while (m_lastDay > 0 && m_upToLastDay - m_perDay[static_cast<std::size_t>(m_lastDay)] >= kTooltipLines) {
      m_upToLastDay -= m_perDay[static_cast<std::size_t>(m_lastDay)];
      --m_lastDay;
    }
    if (m_kept.size() >= 2 * m_keptAfterPrune + 64) Prune();
  }

  // The facts of the entries kept, in reading order.
  std::vector<EntryFacts> Describe(const CalendarDate& today) {
    Prune();
    EntryDescriber describer(today);
    std::vector<EntryFacts> facts;
    facts.reserve(m_kept.size());
    for (const Kept& kept : m_kept) facts.push_back(describer.Describe(*kept.entry));
    return facts;
  }

 private:
  struct Kept {
    std::int64_t days;
    std::unique_ptr<FeskItem> entry;
  };
  void Prune() {
    std::erase_if(m_kept, [this](const Kept& kept) { return kept.days > m_lastDay; });
    m_keptAfterPrune = m_kept.size();
  }

  std::array<std::size_t, kDaysAhead + 1> m_perDay{};
  std::int64_t m_lastDay = kDaysAhead;
  std::size_t m_upToLastDay = 0;
  std::vector<Kept> m_kept;
  std::size_t m_keptAfterPrune = 0;
};

}  // namespace

int RunStatus(const CliArgs& args) {
  bool json = false;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return ShowHelp("status");
    if (arg == "--") continue;
    if (arg != "--json") return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "status");
    json = true;
  }
  FeskList& list = CommandList();
  const CalendarDate today = Today();
  ShownEntries shown;
  int damaged = 0;
  const StorageLoad load = ScanEntryRecords(
      list,
      [&](const EntryRecord& entry) {
        if (IsComing(entry, today, kDaysAhead, -1, false)) shown.Offer(entry, DaysUntilNext(entry, today));
      },
      &damaged);
  if (const int failed = ReportLoad(load); failed != kExitDone) return failed;
  ReportDamage(damaged);
  std::vector<EntryFacts> coming = shown.Describe(today);
  SortComing(coming);

  const char* style = coming.empty() ? "none" : coming.front().daysLeft == 0 ? "today" : "upcoming";
  std::string text;
  if (coming.empty()) {
    text = CliText(u"CLI_STATUS_NONE");
  } else {
    const std::u16string names = platform::FromUtf8(NamesOfFirstDate(coming));
    text = coming.front().daysLeft == 0
               ? CliText(u"CLI_STATUS_TODAY", {names})
               : CliText(u"CLI_STATUS_NEXT", {platform::FromUtf8(coming.front().daysText), names});
  }
  if (!json) return WriteStdout(text + "\n") ? kExitDone : kExitStorage;
  std::string tooltip;
  for (std::size_t i = 0; i < coming.size() && i < kTooltipLines; ++i) {
    const EntryFacts& facts = coming[i];
    if (i > 0) tooltip += '\n';
    tooltip += facts.daysText + ": " + facts.name + (facts.ageText.empty() ? "" : ", " + facts.ageText);
  }
  if (tooltip.empty()) tooltip = text;
  return WriteStdout("{\"text\":" + JsonString(text) + ",\"tooltip\":" + JsonString(tooltip) +
                     ",\"class\":" + JsonString(style) + "}\n")
             ? kExitDone
             : kExitStorage;
}
