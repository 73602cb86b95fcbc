#include "platform/contacts/ContactDirectory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iterator>
#include <system_error>
#include <thread>

#include "platform/contacts/ContactLog.h"
#include "platform/contacts/ObjectId.h"
#include "platform/contacts/VCardEditor.h"
#include "platform/contacts/VCardText.h"
#include "platform/contacts/WritableFile.h"
#include "platform/file/FileIo.h"

namespace platform {
namespace {

bool HasVcfExtension(std::string_view name) {
  return name.size() > 4 && EqualsIgnoreCaseAscii(name.substr(name.size() - 4), ".vcf");
}

// Lists the entries of one folder: vCard files into `files`, sub-folders into `folders`.
bool ListFolder(const std::string& folder, const std::string& prefix, std::vector<std::string>& files,
                std::vector<std::string>* folders) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.empty() || name[0] == '.') continue;
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
      struct stat st {};
      if (::stat((folder + "/" + name).c_str(), &st) != 0) continue;
      type = S_ISDIR(st.st_mode) ? DT_DIR : (S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN);
    }
    if (type == DT_REG && HasVcfExtension(name)) files.push_back(prefix + name);
    if (type == DT_DIR && folders != nullptr) folders->push_back(name);
  }
  ::closedir(dir);
  return true;
}

// Reads the card file `file` (relative to the opened root folder) as
// ReadWholeFile reads a path: at most MAX_VCARD_FILE_BYTES, to the file's end.
// Opened from the folder, so that a scan of thousands of files does not walk
// the whole path for each. The listing found a regular file (a symbolic link
// followed), so no status is asked for: the file is read into `buffer`, kept
// from file to file, and the first read that gives less than asked is the
// last, as only the end of a regular file gives less. Should the name have
// become something else since, the flag that keeps a FIFO from blocking the
// open stays set.
bool ReadCardFile(int rootFd, const std::string& file, std::vector<char>& buffer, std::string& out) {
  constexpr std::size_t kReadBytes = 64u << 10;
  out.clear();
  UniqueFd fd(::openat(rootFd, file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.IsOpen()) return false;
  buffer.resize(kReadBytes);
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    out.append(buffer.data(), static_cast<std::size_t>(n));
    if (out.size() > MAX_VCARD_FILE_BYTES) {
      out.resize(MAX_VCARD_FILE_BYTES);
      return false;
    }
    if (static_cast<std::size_t>(n) < buffer.size()) return true;
  }
}

// The card of `record` in freshly read cards: same UID, or same position without one.
const VCardCard* LocateCard(const std::vector<VCardCard>& cards, const ContactRecord& record) {
  if (!record.fields.uid.empty()) {
    for (const auto& card : cards) {
      if (CardUid(card) == record.fields.uid) return &card;
    }
    return nullptr;
  }
  if (record.ordinal < 0 || static_cast<std::size_t>(record.ordinal) >= cards.size()) return nullptr;
  const VCardCard& card = cards[static_cast<std::size_t>(record.ordinal)];
  return CardUid(card).empty() ? &card : nullptr;
}

bool ApplyDate(std::string& bytes, const ContactRecord& record, ContactDateField field, const ContactDate& date) {
  VCardReadResult read = ReadVCards(bytes);
  const VCardCard* card = LocateCard(read.cards, record);
  if (card == nullptr) return false;
  bytes = ReplaceCardDate(bytes, *card, field, date);
  return true;
}

// The reading of a folder's card files on two threads. The files are taken in
// runs of kFilesPerRun, each by whichever thread is free, so that one thread
// slowed by other work does not hold the other up; each run's records and keys
// are kept apart and joined in file order, so the result is that of one
// thread reading every file in turn.
class FolderRead {
 public:
  FolderRead(const std::string& root, const std::vector<std::string>& files)
      : m_root(root),
        m_files(files),
        m_rootFd(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
        m_runs((files.size() + kFilesPerRun - 1) / kFilesPerRun),
        m_failed(files.size(), 0) {}

  // Reads every file; `progress` is called in this thread only.
  void Run(const ContactReadProgress& progress) {
    const std::size_t count = m_files.size();
    if (progress) progress(0, count);
    // A second thread pays off only for more files than a run or two.
    std::thread helper;
    if (m_runs.size() > 2 && std::thread::hardware_concurrency() > 1) {
      try {
        helper = std::thread([this] { ReadRuns({}); });
      } catch (const std::system_error&) {
        // No thread to be had: this one reads every file.
      }
    }
    ReadRuns(progress);
    if (helper.joinable()) helper.join();
    if (progress) progress(count, count);
  }

  // Logs the files skipped, in file order, and moves the records and their keys out.
  void Collect(ContactDirectory& out, std::vector<ObjectKey>& keys) {
    for (std::size_t i = 0; i < m_files.size(); ++i) {
      if (m_failed[i] == kUnreadable) ContactLog("skipped unreadable or oversized file " + m_root + "/" + m_files[i]);
      if (m_failed[i] == kBroken) ContactLog("skipped a card without END:VCARD in " + m_root + "/" + m_files[i]);
    }
    std::size_t total = 0;
    for (const FileRun& run : m_runs) total += run.records.size();
    out.records.reserve(total);
    keys.reserve(total);
    for (FileRun& run : m_runs) {
      std::move(run.records.begin(), run.records.end(), std::back_inserter(out.records));
      std::move(run.keys.begin(), run.keys.end(), std::back_inserter(keys));
    }
  }

 private:
  static constexpr std::size_t kFilesPerRun = 32;
  static constexpr std::uint8_t kUnreadable = 1;
  static constexpr std::uint8_t kBroken = 2;

  struct FileRun {
    std::vector<ContactRecord> records;
    std::vector<ObjectKey> keys;
  };

  void ReadRuns(const ContactReadProgress& progress) {
    std::string bytes;
    std::vector<char> buffer;
    for (std::size_t r = m_next.fetch_add(1); r < m_runs.size(); r = m_next.fetch_add(1)) {
      const std::size_t first = r * kFilesPerRun;
      const std::size_t last = std::min(first + kFilesPerRun, m_files.size());
      FileRun& run = m_runs[r];
      run.records.reserve(last - first);
      run.keys.reserve(last - first);
      for (std::size_t i = first; i < last; ++i) {
        if (progress) progress(m_done.load(std::memory_order_relaxed), m_files.size());
        ReadFile(i, bytes, buffer, run);
        m_done.fetch_add(1, std::memory_order_relaxed);
      }
    }
  }

  void ReadFile(std::size_t index, std::string& bytes, std::vector<char>& buffer, FileRun& run) {
    const std::string& file = m_files[index];
    const bool read = m_rootFd.IsOpen() ? ReadCardFile(m_rootFd.Get(), file, buffer, bytes)
                                        : ReadWholeFile(m_root + "/" + file, bytes, MAX_VCARD_FILE_BYTES);
    if (!read) {
      m_failed[index] = kUnreadable;
      return;
    }
    VCardReadResult cards = ReadVCards(bytes);
    if (cards.brokenCards > 0) m_failed[index] = kBroken;
    int ordinal = 0;
    for (const auto& card : cards.cards) {
      ContactRecord record;
      record.file = file;
      record.ordinal = ordinal++;
      record.fields = ExtractContactFields(card);
      ObjectKey key;
      key.key = !record.fields.uid.empty() ? record.fields.uid
                                           : (record.ordinal == 0 ? file : file + "#" + std::to_string(record.ordinal));
      key.file = file;
      key.ordinal = record.ordinal;
      run.keys.push_back(std::move(key));
      run.records.push_back(std::move(record));
    }
  }

  const std::string& m_root;
  const std::vector<std::string>& m_files;
  const UniqueFd m_rootFd;
  std::vector<FileRun> m_runs;
  // Per file, written only by the thread that reads it.
  std::vector<std::uint8_t> m_failed;
  std::atomic<std::size_t> m_next{0};
  std::atomic<std::size_t> m_done{0};
};

}  // namespace

bool LoadContactDirectory(const std::string& root, ContactDirectory& out, const ContactReadProgress& progress) {
  out = ContactDirectory{};
  out.root = root;
  struct stat st {};
  if (::stat(root.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return false;

  std::vector<std::string> files;
  std::vector<std::string> folders;
  if (!ListFolder(root, "", files, &folders)) return false;
  for (const auto& sub : folders) {
    if (!ListFolder(root + "/" + sub, sub + "/", files, nullptr)) ContactLog("cannot list folder " + root + "/" + sub);
  }
  std::sort(files.begin(), files.end());

  std::vector<ObjectKey> keys;
  {
    FolderRead read(root, files);
    read.Run(progress);
    read.Collect(out, keys);
  }
  std::vector<std::uint32_t> ids = AssignObjectIds(keys);
  out.byOid.reserve(ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) {
    out.records[i].oid = ids[i];
    out.byOid.emplace(ids[i], i);
  }
  return true;
}

bool WriteContactDates(ContactDirectory& dir, std::size_t index, const std::optional<ContactDate>& birthday,
                       const std::optional<ContactDate>& anniversary) {
  if (index >= dir.records.size()) return false;
  ContactRecord& record = dir.records[index];
  const std::string path = dir.root + "/" + record.file;
  std::string original;
  if (!ReadWholeFile(path, original, MAX_VCARD_FILE_BYTES)) return false;
  std::string bytes = original;
  if (birthday && !ApplyDate(bytes, record, ContactDateField::Birthday, *birthday)) return false;
  if (anniversary && !ApplyDate(bytes, record, ContactDateField::Anniversary, *anniversary)) return false;
  if (bytes != original && !ReplaceWritableFile(path, bytes)) {
    ContactLog("cannot write " + path);
    return false;
  }
  VCardReadResult read = ReadVCards(bytes);
  if (const VCardCard* card = LocateCard(read.cards, record)) record.fields = ExtractContactFields(*card);
  return true;
}

}  // namespace platform
