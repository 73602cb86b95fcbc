#pragma once
// FindMatchingEntry for many candidates against one list, as the contact scan
// asks it: the entries are indexed by their contact id and their names once,
// so each question costs a hash look-up instead of a walk of the whole list.
// The answer is the walk's: the first matching entry in list order. It stays so
// while the list changes only by appended entries that are passed to
// Appended(), and no listed entry's kind or names change, nor its contact id
// other than by Linked() (a new date is fine).
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class FeskItem;
class StorageList;

class EntryMatchIndex {
 public:
  explicit EntryMatchIndex(const StorageList& list);

  // The entry FindMatchingEntry(list, candidate, kind) finds, or nullptr.
  // `nameKey`, when given, receives the key of the candidate's names when one
  // was built (empty otherwise), for Appended() of that same candidate.
  const FeskItem* Find(const FeskItem& candidate, std::uint16_t kind, std::u16string* nameKey = nullptr) const;
  // Takes in an entry just appended to the list; `nameKey` is what Find() gave
  // for it, or empty to build the key here.
  void Appended(const FeskItem& entry, std::u16string nameKey = {});
  // Makes room for `more` entries to be appended.
  void Reserve(std::size_t more);
  // Takes in the contact id just given to a listed entry that had none, when
  // no other entry of its kind carries that id.
  void Linked(const FeskItem& entry);

 private:
  // Each contact key keeps the first entry that gave it: later ones come after it in the list.
  std::unordered_map<std::uint64_t, const FeskItem*> m_byContact;
  // The own birthdays of each name pair, in list order; their contact ids are read when asked.
  std::unordered_map<std::u16string, std::vector<const FeskItem*>> m_birthdays;
};
