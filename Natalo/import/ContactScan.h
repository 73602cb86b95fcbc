#pragma once
// The contact scan: turns the birthdays and anniversaries of the contact store
// into date entries of the list. A contact already in the list is recognised
// by FindMatchingEntry; when its date differs from the entry's, the conflict
// rule of that kind decides which side takes the other's date. A date without
// a year is imported as such (in kYearUnknown); when it has the month and day
// of the entry's, the two agree, and an entry without a year takes the
// contact's year whatever the rule. Every entry the
// scan makes or recognises carries the contact's id, and a contact whose entry
// the user deleted is not imported again. The scan knows no windows: asking the
// user, saving the list and the recompute come in as functions, so the
// application and the tests give their own.
#include <cstdint>
#include <functional>

#include "platform/clock/Clock.h"

class FeskItem;
class FeskList;
namespace platform {
class ContactStore;
}

// Conflict rules, numbered as the options and ask dialogs list them.
enum ConflictRule : std::uint32_t {
  ConflictAsk = 0,
  ConflictEntryTakesContactDate = 1,
  ConflictContactTakesEntryDate = 2,
  ConflictLeaveBoth = 3,
};

// What the scan imports and how it settles conflicts. The application holds
// one for the whole run (ScanSettings()); it is never stored.
struct ContactScanSettings {
  std::uint32_t ImportBirthdays = 1;
  std::uint32_t BirthdayConflictRule = ConflictEntryTakesContactDate;
  std::uint32_t ImportAnniversaries = 1;
  std::uint32_t AnniversaryConflictRule = ConflictEntryTakesContactDate;
};

ContactScanSettings& ScanSettings();

// The answer of the ask dialog: rule 1, 2 or 3, and whether to ask again for
// later conflicts of the same kind.
struct ConflictChoice {
  std::uint32_t rule = ConflictEntryTakesContactDate;
  bool askAgain = true;
};

// What one scan did, for the report after a scan from the menu.
struct ContactScanReport {
  int contactsRead = 0;
  int birthdaysAdded = 0;
  int anniversariesAdded = 0;
  int alreadyListed = 0;      // matched with the same date
  int entriesUpdated = 0;     // rule 1
  int contactsUpdated = 0;    // rule 2, card written
  int conflictsLeft = 0;      // rule 3
  int contactWritesFailed = 0;  // rule 2, card could not be written
  int filesUnreadable = 0;    // contact files or cards the store had to skip
  int deletedBefore = 0;      // contacts whose entry the user deleted, not imported again
  int contactsInFolder = 0;   // of which contactsRead were read before the scan ended
  bool stoppedByUser = false;
  bool saved = false;
};

enum class ScanPhase { ReadingFolder, Comparing };

struct ContactScanHooks {
  // Asks about one conflict: 1 with `choice` filled, 2 to stop the scan after
  // the current contact. Without it a conflict under rule 0 is left as it is.
  std::function<int(const FeskItem& entry, const platform::SystemTime& contactDate, ConflictChoice& choice)> ask;
  // Progress of a long scan: first the contact files read of all (the store
  // reads the folder at log-on), then the contacts compared with the list of
  // all; each called before every step and once at the end.
  std::function<void(ScanPhase phase, int done, int total)> progress;
  // Stores the list; true when stored.
  std::function<bool(FeskList& list)> save;
  // Asks the engine to recompute after a successful save.
  std::function<void()> recalculate;
};

// Logs on to `store`, reads every contact in order and logs off; then saves
// and asks for the recompute. 1 when the scan ran to its end (a stop in the
// ask dialog included), 0 when the store could not be read (nothing changed).
int ScanContacts(FeskList& list, platform::ContactStore& store, ContactScanSettings& settings,
                 const ContactScanHooks& hooks, ContactScanReport* report = nullptr);

// Remembers that the user deleted `entry`, when it belongs to a contact, so
// that later scans do not bring it back. The memory lies in the registry, per
// kind and contact id; without it (a fresh registry) the scan imports the
// contact again.
void RememberDeletedContactEntry(const FeskItem& entry);
