#include "Natalo/import/ScanReportText.h"

#include "Natalo/import/ContactScan.h"
#include "common/entries/TextFormat.h"
#include "common/text/LocalTable.h"

std::u16string ContactScanReportLines(const ContactScanReport& r) {
  const LocalTable& t = GetLocalTable();
  const std::u16string counts[] = {DecimalText(r.birthdaysAdded),  DecimalText(r.anniversariesAdded),
                                   DecimalText(r.alreadyListed),   DecimalText(r.entriesUpdated),
                                   DecimalText(r.contactsUpdated), DecimalText(r.conflictsLeft)};
  // A scan stopped in the ask dialog says so, and where; what it changed until then is kept.
  std::u16string text = r.stoppedByUser
                            ? FormatText(t.Get(u"MSG_SCAN_REPORT_CANCELLED"),
                                         {DecimalText(r.contactsRead), DecimalText(r.contactsInFolder),
                                          counts[0], counts[1], counts[2], counts[3], counts[4], counts[5]})
                            : FormatText(t.Get(u"MSG_SCAN_REPORT"),
                                         {counts[0], counts[1], counts[2], counts[3], counts[4], counts[5]});
  const auto line = [&](const char16_t* key, int count) {
    if (count > 0) text += u'\n' + FormatText(t.Get(key), {DecimalText(count)});
  };
  line(u"MSG_SCAN_REPORT_DELETED", r.deletedBefore);
  line(u"MSG_SCAN_REPORT_NOYEAR", r.datesWithoutYear);
  line(u"MSG_SCAN_REPORT_UNREADABLE", r.filesUnreadable);
  line(u"MSG_SCAN_REPORT_WRITE_FAILED", r.contactWritesFailed);
  return text;
}
