#pragma once
// The registry: typed values under keys, below the roots HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE, kept in one SQLite database per user.
//
// Key paths use backslashes ("Software\\Quorvex\\Natalo"); keys and value names
// compare case-insensitively (ASCII) and keep the case they were first written in.
// An empty key is the root itself; a key with an empty component ("A\\\\B", a
// leading or trailing backslash) is refused. Writing a value creates its key and the
// key's parents. Every operation reports failure by its result: a missing,
// damaged or locked database file makes reads fail (callers keep their defaults)
// and never crashes. Several processes may read and write at once.
//
// The database lives at $XDG_CONFIG_HOME/Natalo/registry.db (file mode 0600);
// the environment variable NATALO_REGISTRY_FILE or SetRegistryFile() overrides it.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// Value types, with the phone platform's type numbers.
enum class RegistryType : std::uint32_t { String = 1, Binary = 3, DWord = 4 };

struct RegistryValue {
  RegistryType type = RegistryType::Binary;
  std::vector<std::uint8_t> data;  // String: UTF-16LE with its terminating zero; DWord: 4 bytes LE
};

// A DWORD value, and the number a value holds when it is a 4-byte DWORD.
RegistryValue MakeDwordValue(std::uint32_t number);
std::optional<std::uint32_t> DwordFromValue(const RegistryValue& value);

// Parses "HKEY_CURRENT_USER" / "HKEY_LOCAL_MACHINE" exactly (case-sensitive).
std::optional<RegistryRoot> ParseRegistryRoot(const std::u16string& text);

// Database location; an empty path restores the default.
void SetRegistryFile(const std::string& path);
std::string GetRegistryFile();

bool RegReadValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                  RegistryValue& out);
bool RegWriteValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   const RegistryValue& value);
// False when there was no such value.
bool RegDeleteValue(RegistryRoot root, const std::u16string& key, const std::u16string& name);
// Reads the value and writes back what `change` makes of it, as one step that no
// other writer, in this or another process, can interleave with (a counter
// incremented this way never loses a count). `change` gets the current value and
// whether it exists; it returns false to leave the value as it is. True when the
// value was written. `change` must not call the registry itself.
bool RegUpdateValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                    const std::function<bool(RegistryValue& value, bool exists)>& change);
// The root itself (an empty key) exists whenever the database can be read.
bool RegKeyExists(RegistryRoot root, const std::u16string& key);
// Names of the immediate sub-keys and of the values of a key, in the case first
// written, sorted case-insensitively. False when the key does not exist.
bool RegListSubKeys(RegistryRoot root, const std::u16string& key, std::vector<std::u16string>& out);
bool RegListValues(RegistryRoot root, const std::u16string& key, std::vector<std::u16string>& out);

// Typed helpers: a read fails when the value is missing or of another type or size
// (a DWORD must have 4 bytes, a string an even count). A string read ends at the
// first zero character, or with the data when it has none. Failed reads leave
// `out` as it was.
bool RegReadDword(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                  std::uint32_t& out);
bool RegReadString(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   std::u16string& out);
bool RegReadBinary(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   std::vector<std::uint8_t>& out);
bool RegWriteDword(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   std::uint32_t value);
bool RegWriteString(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                    const std::u16string& value);
bool RegWriteBinary(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                    const std::vector<std::uint8_t>& value);

// Notices changes of one value, made by this or any other process. It polls a
// change counter that every write and delete of the value increments, so a write
// of the same data counts as a change too.
class RegistryWatch {
 public:
  RegistryWatch(RegistryRoot root, std::u16string key, std::u16string name);
  ~RegistryWatch();
  RegistryWatch(const RegistryWatch&) = delete;
  RegistryWatch& operator=(const RegistryWatch&) = delete;

  // True when the value was written or deleted since the last call or construction
  // (several changes in between count as one).
  bool Changed();
  // Waits up to timeoutMs for a change, polling every 25 ms; true when one happened.
  bool WaitForChange(std::uint32_t timeoutMs);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace platform
