// The contact scan over vCard folders written by the test: what it adds, how it
// settles conflicts, what it writes back into cards, and the first-run offer.
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Natalo/Commands.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "Natalo/NataloApp.h"
#include "common/text/LocalTable.h"
#include "Natalo/import/ContactScan.h"
#include "Natalo/import/ScanDialogs.h"
#include "platform/ui/CheckField.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "platform/contacts/ContactStore.h"
#include "platform/contacts/ObjectId.h"
#include "platform/registry/Registry.h"
#include "platform/text/Utf.h"
#include "platform/ui/MessageBox.h"
#include "tests/app/AppTestFolder.h"
#include "tests/editors/EditorTestSupport.h"
#include "tests/import/ManyContacts.h"
#include "tests/support/TempDir.h"

// Texts compared as Qt strings, so that a failure shows both.
#define QCOMPARE_TEXT(a, b) QCOMPARE(QString::fromStdString(a), QString::fromStdString(b))

namespace {

std::string Card(const std::string& uid, const std::string& n, const std::string& dates) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nN:" + n + "\r\n" + dates + "END:VCARD\r\n";
}

// One line per own entry or star, in list order: kind, shown name, date, picture.
std::string Summary(const FeskList& list) {
  std::string out;
  for (const StorageItem& item : list) {
    const FeskItem* e = AsEntry(&item);
    platform::SystemTime st;
    platform::FileTimeToSystemTime(e->m_ftDate, st);
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
    out += (e->IsStar() ? "S" : e->m_wKind == Birthday ? "B" : "A") + std::string(" ") +
           platform::ToUtf8(e->GetDisplayName()) + " " + date + " " + std::to_string(e->m_dwIcon) +
           (e->m_dwContactOid != 0 ? " oid" : "") + "\n";
  }
  return out;
}

// With NATALO_SHOTS_DIR set, dialogs are saved there as pictures to look at.
void SaveShot(QWidget& widget, const char* name) {
  const QByteArray dir = qgetenv("NATALO_SHOTS_DIR");
  if (dir.isEmpty() || *name == 0) return;
  widget.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

class ScanFixture {
  AppTestFolder m_folder;  // first: the list below is made in it
  std::string m_contacts;

 public:
  ScanFixture() : m_contacts(m_folder.Folder() + "contacts/") {
    std::filesystem::create_directories(m_contacts);
    m_folder.UseInThisProcess();
    ScanSettings() = ContactScanSettings{};
  }
  void WriteCard(const std::string& file, const std::string& text) const {
    QVERIFY(testsupport::WriteFileBytes(m_contacts + file, text));
  }
  std::string ReadCard(const std::string& file) const { return testsupport::ReadFileBytes(m_contacts + file); }
  int Scan(ContactScanHooks hooks = {}, ContactScanReport* report = nullptr) {
    platform::ContactStore store(m_contacts);
    if (!hooks.save) hooks.save = [](FeskList& l) { return l.SaveStorageLocked(); };
    hooks.recalculate = [this] { ++recalculations; };
    return ScanContacts(list, store, settings, hooks, report);
  }
  const AppTestFolder& Folder() const { return m_folder; }
  const std::string& Contacts() const { return m_contacts; }

  FeskList list{m_folder.Folder() + "storage.dat"};
  ContactScanSettings settings;
  int recalculations = 0;
};

}  // namespace

class ContactScanTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { keypad::TakeMessageBoxLog(); }

  void scanTurnsContactsIntoEntries() {
    struct Case {
      const char* name;
      std::vector<std::string> cards;
      std::function<void(FeskList&)> before;
      std::string expected;
      int added;
      int listed;
      int updated;
      std::uint32_t importBirthdays = 1, importAnniversaries = 1;
      std::uint32_t rule = ConflictEntryTakesContactDate;
    };
    const auto none = [](FeskList&) {};
    const Case cases[] = {
        {"both dates give two entries",
         {Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\nANNIVERSARY:1985-06-01\r\n")},
         none,
         "B Ann Lee 1961-07-05 40 oid\nA Wedding of Ann Lee 1985-06-01 22 oid\n",
         2, 0, 0},
        {"trimmed names match a typed entry without the spaces, which takes the contact's id",
         {Card("u1", " Lee ; Ann ;;;", "BDAY:1961-07-05\r\n")},
         [](FeskList& l) { l.Add(MakeBirthday("ann", "LEE", 1961, 7, 5)); },
         "B ann LEE 1961-07-05 40 oid\n",
         0, 1, 0},
        {"two contacts with the same names get an entry each",
         {Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\n"), Card("u2", "LEE;ann;;;", "BDAY:1970-01-02\r\n")},
         none,
         "B Ann Lee 1961-07-05 40 oid\nB ann LEE 1970-01-02 40 oid\n",
         2, 0, 0},
        {"a contact renamed since keeps its entry by its id",
         {Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\n")},
         [](FeskList& l) {
           auto entry = MakeBirthday("Ann", "Roe", 1961, 7, 5);
           entry->m_dwContactOid = platform::HashObjectKey("u1");
           l.Add(std::move(entry));
         },
         "B Ann Roe 1961-07-05 40 oid\n",
         0, 1, 0},
        {"a hand-typed anniversary is never matched",
         {Card("u1", "Lee;Ann;;;", "X-ANNIVERSARY:1985-06-01\r\n")},
         [](FeskList& l) { l.Add(MakeDated(Anniversary, "Wedding", 1985, 6, 1)); },
         "A Wedding 1985-06-01 22\nA Wedding of Ann Lee 1985-06-01 22 oid\n",
         1, 0, 0},
        {"a star is never matched: the contact gets an own entry",
         {Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\n")},
         [](FeskList& l) {
           auto star = MakeBirthday("Ann", "Lee", 1961, 7, 5);
           star->m_bStar = 1;
           l.Add(std::move(star));
         },
         "S Ann Lee 1961-07-05 40\nB Ann Lee 1961-07-05 40 oid\n",
         1, 0, 0},
        {"a date without a year is imported in the year kept for none",
         {Card("u1", "Lee;Ann;;;", "BDAY:--07-05\r\n")},
         none,
         "B Ann Lee 1604-07-05 40 oid\n",
         1, 0, 0},
        {"a contact without the year agrees with the entry of its day, which keeps its year",
         {Card("u1", "Lee;Ann;;;", "BDAY:--07-05\r\n")},
         [](FeskList& l) { l.Add(MakeBirthday("Ann", "Lee", 1961, 7, 5)); },
         "B Ann Lee 1961-07-05 40 oid\n",
         0, 1, 0, 1, 1, ConflictLeaveBoth},
        {"an entry without the year takes the contact's, whatever the rule",
         {Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\n")},
         [](FeskList& l) { l.Add(MakeBirthday("Ann", "Lee", kYearUnknown, 7, 5)); },
         "B Ann Lee 1961-07-05 40 oid\n",
         0, 0, 1, 1, 1, ConflictLeaveBoth},
        {"birthdays switched off",
         {Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\nANNIVERSARY:1985-06-01\r\n")},
         none,
         "A Wedding of Ann Lee 1985-06-01 22 oid\n",
         1, 0, 0, 0, 1},
        {"anniversaries switched off",
         {Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\nANNIVERSARY:1985-06-01\r\n")},
         none,
         "B Ann Lee 1961-07-05 40 oid\n",
         1, 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
      ScanFixture f;
      for (std::size_t i = 0; i < c.cards.size(); ++i) f.WriteCard("c" + std::to_string(i) + ".vcf", c.cards[i]);
      c.before(f.list);
      f.settings.ImportBirthdays = c.importBirthdays;
      f.settings.ImportAnniversaries = c.importAnniversaries;
      f.settings.BirthdayConflictRule = c.rule;
      ContactScanReport report;
      QCOMPARE(f.Scan({}, &report), 1);
      QVERIFY2(Summary(f.list) == c.expected, (c.name + std::string(":\n") + Summary(f.list)).c_str());
      QVERIFY2(report.birthdaysAdded + report.anniversariesAdded == c.added, c.name);
      QVERIFY2(report.alreadyListed == c.listed, c.name);
      QVERIFY2(report.entriesUpdated == c.updated, c.name);
      QVERIFY2(report.saved && f.recalculations == 1, c.name);
    }
  }

  void aContactIsNeverTakenForSomeoneElse() {
    // John Williams is in the shipped stars file; the namesakes are two contacts.
    const std::string star = "John, Williams, 8.2.1932, Film composer (USA)\n";
    const std::string john = Card("u1", "Williams;John;;;", "BDAY:1975-04-12\r\n");
    const std::string namesake = Card("u2", "WILLIAMS;john;;;", "BDAY:1980-09-30\r\n");
    const struct {
      const char* name;
      std::uint32_t rule;
      std::string stars;
      std::vector<std::string> cards;
      std::string expected;
    } cases[] = {
        {"a star's namesake, the entry takes the contact's date", ConflictEntryTakesContactDate, star, {john},
         "S John Williams 1932-02-08 48\nB John Williams 1975-04-12 40 oid\n"},
        {"a star's namesake, the contact takes the entry's date", ConflictContactTakesEntryDate, star, {john},
         "S John Williams 1932-02-08 48\nB John Williams 1975-04-12 40 oid\n"},
        {"two namesakes, the contact takes the entry's date", ConflictContactTakesEntryDate, "", {john, namesake},
         "B John Williams 1975-04-12 40 oid\nB john WILLIAMS 1980-09-30 40 oid\n"},
    };
    for (const auto& c : cases) {
      ScanFixture f;
      f.settings.BirthdayConflictRule = c.rule;
      if (!c.stars.empty()) f.Folder().WriteStars(c.stars);
      f.list.LoadStars();
      for (std::size_t i = 0; i < c.cards.size(); ++i) f.WriteCard("c" + std::to_string(i) + ".vcf", c.cards[i]);
      ContactScanReport report;
      QCOMPARE(f.Scan({}, &report), 1);
      QVERIFY2(Summary(f.list) == c.expected, (c.name + std::string(":\n") + Summary(f.list)).c_str());
      QVERIFY2(report.birthdaysAdded == static_cast<int>(c.cards.size()), c.name);
      QVERIFY2(report.contactsUpdated == 0 && report.entriesUpdated == 0, c.name);
      for (std::size_t i = 0; i < c.cards.size(); ++i) {
        QVERIFY2(f.ReadCard("c" + std::to_string(i) + ".vcf") == c.cards[i], c.name);
      }
    }
  }

  void aDeletedEntryIsNotImportedAgainUntilTheRegistryIsFresh() {
    AppTestFolder folder;
    QVERIFY(WriteFirstRunScanImportDone(1));
    const std::string contacts = folder.Folder() + "contacts/";
    std::filesystem::create_directories(contacts);
    QVERIFY(testsupport::WriteFileBytes(contacts + "a.vcf",
                                        Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\nANNIVERSARY:1985-06-01\r\n")));
    QVERIFY(testsupport::WriteFileBytes(contacts + "b.vcf", Card("u2", "Roe;Bo;;;", "BDAY:1970-01-02\r\n")));
    StartupOptions options = OptionsFor(folder);
    options.createContactStore = [contacts] { return std::make_unique<platform::ContactStore>(contacts); };
    NataloApp app(options);
    QCOMPARE(app.Start(), NataloApp::kRunning);
    MainWindow& window = *app.Window();
    const auto import = [&window] {
      editortest::WhenRunning<ScanOptionsDialog>(
          [](ScanOptionsDialog& dialog) { dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left); });
      keypad::PushMessageBoxAnswer(keypad::IDOK);
      window.RunCommand(cmd::kScanContacts);
      const auto boxes = keypad::TakeMessageBoxLog();
      return boxes.size() == 1 ? boxes[0].text : QStringLiteral("%1 boxes").arg(boxes.size());
    };
    const auto report = [](int birthdays, int listed, const char* more) {
      return QStringLiteral("Import from Contacts is done.\nBirthdays added: %1\nAnniversaries added: %2\n"
                            "Already in the list: %3\nList dates changed: 0\nContacts changed: 0\n"
                            "Differences left as they were: 0%4")
          .arg(birthdays)
          .arg(listed == 0 ? 1 : 0)
          .arg(listed)
          .arg(QString::fromUtf8(more));
    };
    QCOMPARE(import(), report(2, 0, ""));
    const FeskItem* ann = nullptr;
    for (const StorageItem& item : *app.List()) {
      const FeskItem* entry = AsEntry(&item);
      if (entry->m_wKind == Birthday && entry->FirstName() == u"Ann") ann = entry;
    }
    QVERIFY(ann != nullptr && window.List().SelectRow(window.List().FindRow(ann), true));
    keypad::PushMessageBoxAnswer(keypad::IDYES);
    window.RunCommand(cmd::kDelete);
    QCOMPARE(keypad::TakeMessageBoxLog().size(), 1);
    // Her anniversary and Bo's birthday are still listed; her birthday stays deleted.
    QCOMPARE(import(), report(0, 2, "\nDeleted before, not imported again: 1"));
    QCOMPARE(app.List()->Count(), std::size_t{2});
    platform::SetRegistryFile(folder.Folder() + "fresh-registry.db");
    QCOMPARE(import(), report(1, 2, ""));
    platform::SetRegistryFile({});
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    QCOMPARE(app.Run(), 0);
  }

  void aSecondScanAddsNothing() {
    ScanFixture f;
    f.WriteCard("a.vcf", Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\nANNIVERSARY:1985-06-01\r\n"));
    f.WriteCard("b.vcf", Card("u2", "Roe;Bo;;;", "BDAY:19700102\r\n"));
    QCOMPARE(f.Scan(), 1);
    const std::string first = Summary(f.list);
    ContactScanReport report;
    QCOMPARE(f.Scan({}, &report), 1);
    QCOMPARE_TEXT(Summary(f.list), first);
    QCOMPARE(report.alreadyListed, 3);
    // The stored list holds what the scan made.
    FeskList stored(f.Folder().Folder() + "storage.dat");
    QVERIFY(stored.Load());
    QCOMPARE_TEXT(Summary(stored), first);
  }

  void rule1ResetsTheEntrysOwnReminder() {
    ScanFixture f;
    f.WriteCard("a.vcf", Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\n"));
    auto own = MakeBirthday("Ann", "Lee", 1960, 1, 1);
    ApplyReminder(*own, 3, 0x0815);
    FeskItem* entry = AsEntry(f.list.Add(std::move(own)));
    auto reference = MakeBirthday("Ann", "Lee", 1961, 7, 5);
    ApplyDefaultReminder(*reference);
    QVERIFY(entry->m_ftStart != reference->m_ftStart);
    QCOMPARE(f.Scan(), 1);
    QCOMPARE_TEXT(Summary(f.list), std::string("B Ann Lee 1961-07-05 40 oid\n"));
    QCOMPARE(entry->m_ftStart, reference->m_ftStart);
  }

  void rule2WritesOnlyTheDateLineAndTheCheckBoxKeepsTheChoice() {
    ScanFixture f;
    f.settings.BirthdayConflictRule = ConflictAsk;
    // Folded lines, a photo and an unknown property must come back unchanged.
    const std::string a = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u1\r\nN:Lee;Ann;;;\r\nNOTE:long\r\n  folded\r\n"
                          "BDAY:1961-07-05\r\nX-OTHER;TYPE=x:keep me\r\nEND:VCARD\r\n";
    const std::string b = "BEGIN:VCARD\nVERSION:3.0\nUID:u2\nN:Roe;Bo;;;\nBDAY;VALUE=date:19700102\nEND:VCARD\n";
    f.WriteCard("a.vcf", a);
    f.WriteCard("b.vcf", b);
    f.list.Add(MakeBirthday("Ann", "Lee", 1962, 8, 6));
    f.list.Add(MakeBirthday("Bo", "Roe", 1971, 2, 3));
    int asked = 0;
    ContactScanHooks hooks;
    hooks.ask = [&](const FeskItem& entry, const platform::SystemTime& date, ConflictChoice& choice) {
      ++asked;
      if (entry.FirstName() != u"Ann" || date.wYear != 1961 || date.wMonth != 7 || date.wDay != 5) return 2;
      choice.rule = ConflictContactTakesEntryDate;
      choice.askAgain = false;
      return 1;
    };
    ContactScanReport report;
    QCOMPARE(f.Scan(hooks, &report), 1);
    QCOMPARE(asked, 1);
    QCOMPARE(f.settings.BirthdayConflictRule, std::uint32_t(ConflictContactTakesEntryDate));
    QCOMPARE(report.contactsUpdated, 2);
    std::string expectedA = a;
    expectedA.replace(expectedA.find("1961-07-05"), 10, "1962-08-06");
    std::string expectedB = b;
    // The rewritten line is the store's own: the date in the form the card used.
    expectedB.replace(expectedB.find("BDAY;VALUE=date:19700102"), 24, "BDAY:19710203");
    QCOMPARE_TEXT(f.ReadCard("a.vcf"), expectedA);
    QCOMPARE_TEXT(f.ReadCard("b.vcf"), expectedB);
    QCOMPARE_TEXT(Summary(f.list), std::string("B Ann Lee 1962-08-06 40 oid\nB Bo Roe 1971-02-03 40 oid\n"));
  }

  void everyFormWithoutAYearIsImportedAndWrittenBackInItsForm() {
    // Each card's date (4 July, no year) is imported; then the entry moves to
    // 15 August, still without a year, and rule 2 writes it into the card's line.
    const struct {
      const char* version;
      const char* line;
      const char* written;
    } cases[] = {
        {"3.0", "BDAY:--0704", "BDAY:--0815"},
        {"3.0", "BDAY:--07-04", "BDAY:--08-15"},
        {"4.0", "BDAY:--07-04", "BDAY:--0815"},
        {"3.0", "BDAY;X-APPLE-OMIT-YEAR=1604:1604-07-04", "BDAY;X-APPLE-OMIT-YEAR=1604:1604-08-15"},
        {"3.0", "BDAY;VALUE=date:1604-07-04", "BDAY:1604-08-15"},
        {"3.0", "BDAY;X-OMIT-YEAR=1900:19000704", "BDAY;X-OMIT-YEAR=1900:19000815"},
        {"2.1", "BDAY;VALUE=text:July 4th", "BDAY:--08-15"},
        {"4.0", "BDAY;VALUE=text:4 jul", "BDAY:--0815"},
        {"4.0", "ANNIVERSARY:--0704", "ANNIVERSARY:--0815"},
    };
    for (const auto& c : cases) {
      ScanFixture f;
      f.settings.BirthdayConflictRule = f.settings.AnniversaryConflictRule = ConflictContactTakesEntryDate;
      const std::string card = "BEGIN:VCARD\r\nVERSION:" + std::string(c.version) +
                               "\r\nUID:u1\r\nN:Lee;Ann;;;\r\nNOTE:keep\r\n" + c.line + "\r\nEND:VCARD\r\n";
      f.WriteCard("a.vcf", card);
      ContactScanReport report;
      QCOMPARE(f.Scan(), 1);
      QVERIFY2(f.list.Count() == 1, c.line);
      FeskItem& entry = *AsEntry(&*f.list.begin());
      QVERIFY2(DateOfFileTime(entry.m_ftDate) == (CalendarDate{kYearUnknown, 7, 4}), c.line);
      QVERIFY(MidnightOf({kYearUnknown, 8, 15}, entry.m_ftDate));
      QCOMPARE(f.Scan(), 1);
      std::string expected = card;
      expected.replace(expected.find(c.line), std::strlen(c.line), c.written);
      QCOMPARE_TEXT(f.ReadCard("a.vcf"), expected);
      // Read back, the card agrees with the entry.
      QCOMPARE(f.Scan({}, &report), 1);
      QVERIFY2(report.alreadyListed == 1 && report.contactsUpdated == 0, c.line);
    }
  }

  void cancelInTheAskDialogFinishesTheContactAndStops() {
    // Alone, and after 1,200 contacts whose entries are made ahead on a second thread.
    for (const int before : {0, 1200}) {
      ScanFixture f;
      f.settings.BirthdayConflictRule = ConflictAsk;
      QVERIFY(importtest::WriteManyContacts(f.Contacts(), before));
      f.WriteCard("a.vcf", Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\nANNIVERSARY:1985-06-01\r\n"));
      f.WriteCard("b.vcf", Card("u2", "Roe;Bo;;;", "BDAY:19700102\r\n"));
      f.list.Add(MakeBirthday("Ann", "Lee", 1962, 8, 6));
      ContactScanHooks hooks;
      hooks.ask = [](const FeskItem&, const platform::SystemTime&, ConflictChoice&) { return 2; };
      ContactScanReport report;
      QCOMPARE(f.Scan(hooks, &report), 1);
      QVERIFY(report.stoppedByUser);
      // The difference left open leaves the typed entry free of the contact.
      const std::string summary = Summary(f.list);
      QCOMPARE_TEXT(summary.substr(0, summary.find('\n', summary.find('\n') + 1) + 1),
                    std::string("B Ann Lee 1962-08-06 40\n") +
                        (before == 0 ? "A Wedding of Ann Lee 1985-06-01 22 oid\n" : "B Given0 Family0 1940-01-01 40 oid\n"));
      QVERIFY(summary.ends_with("A Wedding of Ann Lee 1985-06-01 22 oid\n"));
      QCOMPARE(f.list.Count(), static_cast<std::size_t>(before + 2));
      QVERIFY(report.saved);
      // The report tells where the scan stopped.
      QCOMPARE(report.contactsRead, before + 1);
      QCOMPARE(report.contactsInFolder, before + 2);
    }
  }

  void aCardMadeReadOnlyBeforeItIsWrittenStaysAsItWas() {
    ScanFixture f;
    f.settings.BirthdayConflictRule = ConflictAsk;
    const std::string a = Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\nANNIVERSARY:1985-06-01\r\n");
    const std::string b = Card("u2", "Roe;Bo;;;", "BDAY:1970-01-02\r\n");
    f.WriteCard("a.vcf", a);
    f.WriteCard("b.vcf", b);
    f.list.Add(MakeBirthday("Ann", "Lee", 1962, 8, 6));
    f.list.Add(MakeBirthday("Bo", "Roe", 1971, 2, 3));
    ContactScanHooks hooks;
    hooks.ask = [&](const FeskItem& entry, const platform::SystemTime&, ConflictChoice& choice) {
      // The user (or another program) makes Ann's card read-only while the scan runs.
      if (entry.FirstName() == u"Ann") chmod((f.Contacts() + "a.vcf").c_str(), 0444);
      choice.rule = ConflictContactTakesEntryDate;
      return 1;
    };
    ContactScanReport report;
    QCOMPARE(f.Scan(hooks, &report), 1);
    chmod((f.Contacts() + "a.vcf").c_str(), 0644);
    QCOMPARE_TEXT(f.ReadCard("a.vcf"), a);
    std::string expectedB = b;
    expectedB.replace(expectedB.find("1970-01-02"), 10, "1971-02-03");
    QCOMPARE_TEXT(f.ReadCard("b.vcf"), expectedB);
    // The entry side of Ann's contact still ran: her anniversary is added.
    QCOMPARE_TEXT(Summary(f.list),
                  std::string("B Ann Lee 1962-08-06 40\nB Bo Roe 1971-02-03 40 oid\nA Wedding of Ann Lee 1985-06-01 22 oid\n"));
    QCOMPARE(report.contactWritesFailed, 1);
    QCOMPARE(report.contactsUpdated, 1);
    QVERIFY(report.saved);
  }

  void aFolderThatCannotBeReadChangesNothing() {
    ScanFixture f;
    f.WriteCard("a.vcf", Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\n"));
    platform::ContactStore store(f.Contacts() + "a.vcf");  // a file, not a folder
    QCOMPARE(ScanContacts(f.list, store, f.settings, {}), 0);
    QVERIFY(f.list.IsEmpty());
    QVERIFY(!QFile::exists(f.Folder().Path("storage.dat")));
  }
  void optionsDialogStartsAtImportAndAskAndWritesOnDone() {
    ScanFixture f;
    for (const bool done : {true, false}) {
      ContactScanSettings settings{0, 3, 0, 2};
      ScanOptionsDialog dialog(settings, nullptr);
      for (const bool birthdays : {true, false}) {
        QCOMPARE(dialog.ImportList(birthdays)->CurrentIndex(), 0);
        QCOMPARE(dialog.ConflictList(birthdays)->CurrentIndex(), 0);
      }
      // Not importing birthdays greys their conflict list; its index is still taken.
      dialog.ImportList(true)->SetCurrentIndex(1);
      dialog.ConflictList(true)->SetCurrentIndex(2);
      dialog.ConflictList(false)->SetCurrentIndex(3);
      QVERIFY(!dialog.ConflictList(true)->isEnabled());
      QVERIFY(dialog.ConflictList(false)->isEnabled());
      dialog.resize(240, 320);
      SaveShot(dialog, done ? "options-240x320" : "");
      dialog.SoftKeys()->Press(done ? keypad::SoftKeyBar::Left : keypad::SoftKeyBar::Right);
      QCOMPARE(dialog.Exec(), done ? keypad::kResultDone : keypad::kResultCancel);
      const ContactScanSettings expected = done ? ContactScanSettings{0, 2, 1, 3} : ContactScanSettings{0, 3, 0, 2};
      QCOMPARE(settings.ImportBirthdays, expected.ImportBirthdays);
      QCOMPARE(settings.BirthdayConflictRule, expected.BirthdayConflictRule);
      QCOMPARE(settings.ImportAnniversaries, expected.ImportAnniversaries);
      QCOMPARE(settings.AnniversaryConflictRule, expected.AnniversaryConflictRule);
    }
  }

  void askDialogShowsBothDatesAndReturnsTheChoice() {
    ScanFixture f;
    auto entry = MakeBirthday("Ann", "Lee", 1962, 8, 6);
    platform::SystemTime date;
    date.wYear = 1961;
    date.wMonth = 7;
    date.wDay = 5;
    for (const bool ticked : {false, true}) {
      ScanAskDialog dialog(*entry, date, nullptr);
      dialog.resize(176, 220);
      dialog.ActionList()->SetCurrentIndex(1);
      dialog.SameForAll()->setChecked(ticked);
      const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
      const bool named = std::any_of(labels.begin(), labels.end(), [](const QLabel* l) {
        return l->text().contains(QStringLiteral("Ann Lee")) && l->text().contains(QStringLiteral("1961"));
      });
      QVERIFY(named);
      SaveShot(dialog, ticked ? "ask-176x220" : "");
      dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left);
      QCOMPARE(dialog.Exec(), keypad::kResultDone);
      QCOMPARE(dialog.Choice().rule, std::uint32_t(ConflictContactTakesEntryDate));
      QCOMPARE(dialog.Choice().askAgain, !ticked);
    }
  }

  void askDialogCheckBoxIsReachedByKeys() {
    editortest::DialogTestWorld world;
    auto entry = MakeBirthday("Ann", "Lee", 1962, 8, 6);
    ConflictChoice choice;
    bool ticked = false;
    // The dialog opens on the action list: Down reaches the check box, the action key ticks it.
    editortest::WhenRunning<ScanAskDialog>([&](ScanAskDialog& dialog) {
      for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Return, Qt::Key_F1}) {
        if (key == Qt::Key_F1) ticked = dialog.SameForAll()->isChecked();
        QTest::keyClick(world.window.focusWidget(), key);
      }
    });
    QCOMPARE(RunScanAskDialog(*entry, editortest::Day(1961, 7, 5), choice, &world.window), keypad::kResultDone);
    QVERIFY(ticked);
    QVERIFY(!choice.askAgain);
  }

  void reportTextGivesEveryCountInItsPlace() {
    ScanFixture f;
    const ContactScanReport found{.birthdaysAdded = 3, .anniversariesAdded = 1, .alreadyListed = 4,
                                  .entriesUpdated = 2, .contactsUpdated = 8, .conflictsLeft = 5};
    const ContactScanReport skipped{
        .contactWritesFailed = 6, .filesUnreadable = 7, .deletedBefore = 9};
    const ContactScanReport cancelled{.contactsRead = 12, .birthdaysAdded = 3, .conflictsLeft = 1,
                                      .contactsInFolder = 3000, .stoppedByUser = true};
    const struct {
      const char16_t* language;
      const ContactScanReport& report;
      const char* expected;
    } cases[] = {
        {u"[English]", found,
         "Import from Contacts is done.\nBirthdays added: 3\nAnniversaries added: 1\nAlready in the list: 4\n"
         "List dates changed: 2\nContacts changed: 8\nDifferences left as they were: 5"},
        {u"[English]", skipped,
         "Import from Contacts is done.\nBirthdays added: 0\nAnniversaries added: 0\nAlready in the list: 0\n"
         "List dates changed: 0\nContacts changed: 0\nDifferences left as they were: 0\n"
         "Deleted before, not imported again: 9\n"
         "Contact files that could not be read: 7\n"
         "Contacts that could not be changed (left as they were): 6"},
        {u"[English]", cancelled,
         "Import from Contacts was cancelled at contact 12 of 3000. What was changed before stays:\n"
         "Birthdays added: 3\nAnniversaries added: 0\nAlready in the list: 0\nList dates changed: 0\n"
         "Contacts changed: 0\nDifferences left as they were: 1"},
        {u"[German]", found,
         "Die Übernahme aus den Kontakten ist fertig.\nNeue Geburtstage: 3\nNeue Jahrestage: 1\n"
         "Schon in der Liste: 4\nDaten der Liste geändert: 2\nKontakte geändert: 8\nAbweichungen belassen: 5"},
        {u"[German]", skipped,
         "Die Übernahme aus den Kontakten ist fertig.\nNeue Geburtstage: 0\nNeue Jahrestage: 0\n"
         "Schon in der Liste: 0\nDaten der Liste geändert: 0\nKontakte geändert: 0\nAbweichungen belassen: 0\n"
         "Früher gelöscht, nicht erneut übernommen: 9\n"
         "Kontaktdateien, die sich nicht lesen ließen: 7\n"
         "Kontakte, die sich nicht ändern ließen (unverändert): 6"},
        {u"[German]", cancelled,
         "Die Übernahme aus den Kontakten wurde bei Kontakt 12 von 3000 abgebrochen. Was bis dahin geändert wurde, "
         "bleibt:\nNeue Geburtstage: 3\nNeue Jahrestage: 0\nSchon in der Liste: 0\nDaten der Liste geändert: 0\n"
         "Kontakte geändert: 0\nAbweichungen belassen: 1"},
    };
    for (const auto& c : cases) {
      QVERIFY(GetLocalTable().LoadFile(f.Folder().Folder() + "local.dat", c.language));
      QCOMPARE(ContactScanReportText(c.report), QString::fromUtf8(c.expected));
    }
  }

  void turningTheDialogsBringsBackTheirFirstRow() {
    editortest::DialogTestWorld world;
    // Focus on the last field, turn: the first field has the focus and the column shows its top.
    const auto turn = [&world](keypad::FullScreenDialog& dialog, QWidget* last, QWidget* first) {
      last->setFocus();
      world.window.Turn();
      QApplication::processEvents();
      QCOMPARE(QApplication::focusWidget(), first);
      QCOMPARE(dialog.findChild<keypad::FormColumn*>()->verticalScrollBar()->value(), 0);
    };
    world.window.resize(176, 220);
    ContactScanSettings settings;
    editortest::WhenRunning<ScanOptionsDialog>(
        [&](ScanOptionsDialog& d) { turn(d, d.ConflictList(false), d.ImportList(true)); });
    RunScanOptionsDialog(settings, &world.window);
    world.window.resize(176, 220);
    auto entry = MakeBirthday("Ann", "Lee", 1962, 8, 6);
    ConflictChoice choice;
    editortest::WhenRunning<ScanAskDialog>([&](ScanAskDialog& d) { turn(d, d.SameForAll(), d.ActionList()); });
    RunScanAskDialog(*entry, editortest::Day(1961, 7, 5), choice, &world.window);
  }

  void menuImportOfTenThousandContacts() {
    AppTestFolder folder;
    QVERIFY(WriteFirstRunScanImportDone(1));
    const std::string contacts = folder.Folder() + "contacts/";
    std::filesystem::create_directories(contacts);
    QVERIFY(importtest::WriteManyContacts(contacts, 10000));
    QVERIFY(testsupport::WriteFileBytes(contacts + "yearless.vcf", Card("u", "Roe;Bo;;;", "BDAY:--03-14\r\n")));
    {
      // Contact 0 is in the list already, with another birthday.
      FeskList list(folder.Folder() + "storage.dat");
      list.Add(MakeBirthday("Given0", "Family0", 1950, 5, 5));
      QVERIFY(list.SaveStorageLocked());
    }
    StartupOptions options = OptionsFor(folder);
    options.createContactStore = [contacts] { return std::make_unique<platform::ContactStore>(contacts); };
    NataloApp app(options);
    QCOMPARE(app.Start(), NataloApp::kRunning);
    MainWindow& window = *app.Window();
    const std::string engineBefore = folder.EngineLog();

    // What the progress screen says whenever the scan lets the window paint.
    QStringList progress;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, [&] {
      auto* screen = window.findChild<ScanProgressScreen*>();
      if (screen != nullptr && screen->isVisible() && (progress.isEmpty() || progress.last() != screen->Text())) {
        progress << screen->Text();
      }
    });
    watch.start();
    editortest::WhenRunning<ScanOptionsDialog>([](ScanOptionsDialog& dialog) {
      QVERIFY(dialog.ConflictList(true)->SetCurrentIndex(ConflictLeaveBoth));
      dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left);
    });
    keypad::PushMessageBoxAnswer(keypad::IDOK);
    window.RunCommand(cmd::kScanContacts);
    watch.stop();

    const auto boxes = keypad::TakeMessageBoxLog();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Import from Contacts is done.\nBirthdays added: 8000\nAnniversaries added: 2000\n"
                                           "Already in the list: 0\nList dates changed: 0\nContacts changed: 0\n"
                                           "Differences left as they were: 1"));
    QVERIFY2(progress.size() >= 4, qPrintable(progress.join(" | ")));
    QCOMPARE(progress.first(), QStringLiteral("Reading contacts: 0 of 10001"));
    QVERIFY2(progress.contains(QStringLiteral("Reading contacts: 10001 of 10001")), qPrintable(progress.join(" | ")));
    QCOMPARE(progress.last(), QStringLiteral("Comparing with the list: 10001 of 10001"));
    QVERIFY(window.findChild<ScanProgressScreen*>() == nullptr);
    QCOMPARE(window.List().RowCount(), 10001);
    FeskList stored(folder.Folder() + "storage.dat");
    QVERIFY(stored.Load());
    QCOMPARE(stored.Count(), std::size_t{10001});
    QVERIFY(folder.EngineLog().size() > engineBefore.size());

    // Cancelled options: no scan, no report.
    editortest::WhenRunning<ScanOptionsDialog>(
        [](ScanOptionsDialog& dialog) { dialog.SoftKeys()->Press(keypad::SoftKeyBar::Right); });
    window.RunCommand(cmd::kScanContacts);
    QVERIFY(keypad::TakeMessageBoxLog().isEmpty());
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    QCOMPARE(app.Run(), 0);
  }

  void firstStartOffersTheImportOnce() {
    struct Case {
      const char* name;
      const char* stars;
      bool ownEntry;
      int answer;
      bool offered;
      std::string expected;
    };
    const Case cases[] = {
        {"empty list, yes", "", false, keypad::IDYES, true, "B Ann Lee 1961-07-05 40 oid\n"},
        {"only stars, no", "Bo, Diddley, 30.12.1928, Guitarist\n", false, keypad::IDNO, true,
         "S Bo Diddley 1928-12-30 48\n"},
        {"an own entry", "", true, keypad::IDYES, false, "B Cy Doe 1950-01-01 40\n"},
    };
    for (const Case& c : cases) {
      AppTestFolder folder;
      QVERIFY(WriteFirstRunScanImportDone(0));
      const std::string contacts = folder.Folder() + "contacts/";
      std::filesystem::create_directories(contacts);
      QVERIFY(testsupport::WriteFileBytes(contacts + "a.vcf", Card("u1", "Lee;Ann;;;", "BDAY:1961-07-05\r\n")));
      if (*c.stars != 0) folder.WriteStars(c.stars);
      if (c.ownEntry) {
        FeskList list(folder.Folder() + "storage.dat");
        list.Add(MakeBirthday("Cy", "Doe", 1950, 1, 1));
        QVERIFY(list.SaveStorageLocked());
      }
      StartupOptions options = OptionsFor(folder);
      options.createContactStore = [contacts] { return std::make_unique<platform::ContactStore>(contacts); };
      for (int start = 0; start < 2; ++start) {
        if (start == 0) keypad::PushMessageBoxAnswer(c.answer);
        NataloApp app(options);
        QCOMPARE(app.Start(), NataloApp::kRunning);
        const auto boxes = keypad::TakeMessageBoxLog();
        QVERIFY2(boxes.size() == (start == 0 && c.offered ? 1 : 0), c.name);
        if (!boxes.isEmpty()) {
          QCOMPARE(boxes[0].text, QString::fromStdU16String(GetLocalTable().Get(u"MSG_SCANCONTACTS_CONFIRMATION")));
          QCOMPARE(boxes[0].flags, keypad::MB_YESNO | keypad::MB_ICONQUESTION);
        }
        QCOMPARE_TEXT(Summary(*app.List()), c.expected);
        QCOMPARE(ReadFirstRunScanImportDone(), c.offered ? 1u : 0u);
        QTimer::singleShot(0, app.Window(), [&app] { app.Window()->close(); });
        QCOMPARE(app.Run(), 0);
      }
    }
  }
};

QTEST_MAIN(ContactScanTest)
#include "ContactScanTest.moc"
