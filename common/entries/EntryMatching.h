#pragma once
// The one rule by which an entry is recognised in the list: the editors' check
// for duplicates and the contact import both use it.
//   - only own entries of the kind asked for take part, in list order; stars
//     never match (a friend may share a famous person's name);
//   - a candidate with a contact id matches the entry that carries the same id,
//     wherever it lies in the list;
//   - a birthday without such an entry matches by name: first and last name
//     both equal the candidate's, ignoring case. A candidate with a contact id
//     matches so only entries without one (typed by hand): an entry of another
//     contact is another person, however alike the names;
//   - an anniversary matches by contact id only; other dates never match.
// The first match wins.
#include <cstdint>
#include <string>
#include <string_view>

class FeskItem;
class StorageList;

// True when a listed entry matches; `uid` and `match` (both optional) receive
// the match's UID and the match, and are cleared first.
bool FindMatchingEntry(const StorageList& list, const FeskItem& candidate, std::uint16_t kind,
                       std::int32_t* uid = nullptr, const FeskItem** match = nullptr);

// Names compared as the matching rule compares them: case is ignored for the
// Latin, Greek and Cyrillic letters that have a simple upper and lower case.
bool NamesEqualIgnoringCase(std::u16string_view a, std::u16string_view b);
// The name with every letter folded as that comparison folds it: two names are
// equal ignoring case exactly when their folded forms are equal.
std::u16string FoldNameForMatching(std::u16string_view name);

// The entry made a deep copy of `from`: every schedule field (UID included),
// the kind, date, contact, picture, star, sound and reminder fields and the
// strings. The list the target belongs to stays its own.
void CopyEntry(const FeskItem& from, FeskItem& to);
