#pragma once
// The contacts of a vCard folder, read into memory, and the writing of their dates.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/contacts/ContactCard.h"

namespace platform {

struct ContactRecord {
  std::string file;  // path relative to the folder
  int ordinal = 0;   // position of the card in its file, from 0
  ContactFields fields;
  std::uint32_t oid = 0;
};

struct ContactDirectory {
  std::string root;
  std::vector<ContactRecord> records;  // by file path (byte order), then by position in the file
  std::unordered_map<std::uint32_t, std::size_t> byOid;
};

// Files larger than this are skipped (a card with a huge photo is not a contact list).
inline constexpr std::size_t MAX_VCARD_FILE_BYTES = 64u << 20;

// Reads every "*.vcf" file (any case) of `root` and of its immediate sub-folders
// (the collections of a synchronised address book); names starting with "." are
// skipped. A missing folder is an empty one. Unreadable files and broken cards
// are skipped with a log line. False only when `root` exists and is not a
// readable folder. A large folder's files are read on two threads; `progress`,
// when given, is called on the caller's thread only: it hears the files read so
// far of all, first 0, then before each file that thread reads, and all at the end.
using ContactReadProgress = std::function<void(std::size_t filesRead, std::size_t files)>;
bool LoadContactDirectory(const std::string& root, ContactDirectory& out, const ContactReadProgress& progress = {});

// Writes the given dates (an unset date removes it) into the record's card and
// replaces the file atomically; then the record holds what the card now says.
// The card is found again by its UID, or by its position when it has none, so
// changes made to the file by others since reading are kept.
bool WriteContactDates(ContactDirectory& dir, std::size_t index, const std::optional<ContactDate>& birthday,
                       const std::optional<ContactDate>& anniversary);

}  // namespace platform
