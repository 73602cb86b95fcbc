#pragma once
// The registry: typed values under keys, below the roots HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE, kept in one SQLite database per user.
//
// Key paths use backslashes ("Software\\Quorvex\\Natalo"); keys and value names
// compare case-insensitively (ASCII). Writing a value creates its key and the
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

// Parses "HKEY_CURRENT_USER" / "HKEY_LOCAL_MACHINE" exactly (case-sensitive).
std::optional<RegistryRoot> ParseRegistryRoot(const std::u16string& text);

// Database location; an empty path restores the default.
void SetRegistryFile(const std::string& path);
std::string GetRegistryFile();

bool RegReadValue(RegistryRoot root, const std::u16string& key, const std::u16string& name, RegistryValue& out);
bool RegWriteValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   const RegistryValue& value);
bool RegDeleteValue(RegistryRoot root, const std::u16string& key, const std::u16string& name);
bool RegKeyExists(RegistryRoot root, const std::u16string& key);
// Names of the immediate sub-keys and of the values of a key.
bool RegListSubKeys(RegistryRoot root, const std::u16string& key, std::vector<std::u16string>& out);
bool RegListValues(RegistryRoot root, const std::u16string& key, std::vector<std::u16string>& out);

// Typed helpers: a read fails when the value is missing or of another type or size.
bool RegReadDword(RegistryRoot root, const std::u16string& key, const std::u16string& name, std::uint32_t& out);
bool RegReadString(RegistryRoot root, const std::u16string& key, const std::u16string& name, std::u16string& out);
bool RegReadBinary(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                   std::vector<std::uint8_t>& out);
bool RegWriteDword(RegistryRoot root, const std::u16string& key, const std::u16string& name, std::uint32_t value);
bool RegWriteString(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                    const std::u16string& value);
bool RegWriteBinary(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                    const std::vector<std::uint8_t>& value);

// Notices changes of one value, made by this or any other process.
class RegistryWatch {
 public:
  RegistryWatch(RegistryRoot root, std::u16string key, std::u16string name);
  ~RegistryWatch();
  RegistryWatch(const RegistryWatch&) = delete;
  RegistryWatch& operator=(const RegistryWatch&) = delete;

  // True once for every change (write or delete) since the last call or construction.
  bool Changed();
  // Waits up to timeoutMs for a change; true when one happened.
  bool WaitForChange(std::uint32_t timeoutMs);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace platform
