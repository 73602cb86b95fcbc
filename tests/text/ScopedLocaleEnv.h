#pragma once
// Sets the locale variables for one test and restores them afterwards.
#include <cstdlib>
#include <string>

class ScopedLocaleEnv {
 public:
  // An empty value unsets the variable.
  ScopedLocaleEnv(const std::string& lang, const std::string& lcAll = {}, const std::string& lcCategory = {},
                  const std::string& language = {}) {
    Save();
    Set("LANG", lang);
    Set("LC_ALL", lcAll);
    Set("LC_TIME", lcCategory);
    Set("LC_MESSAGES", lcCategory);
    Set("LANGUAGE", language);
  }
  ~ScopedLocaleEnv() {
    for (int i = 0; i < 5; ++i) Set(kNames[i], m_had[i] ? m_old[i] : std::string());
  }
  ScopedLocaleEnv(const ScopedLocaleEnv&) = delete;
  ScopedLocaleEnv& operator=(const ScopedLocaleEnv&) = delete;

 private:
  static constexpr const char* kNames[5] = {"LANG", "LC_ALL", "LC_TIME", "LC_MESSAGES", "LANGUAGE"};
  void Save() {
    for (int i = 0; i < 5; ++i) {
      const char* v = std::getenv(kNames[i]);
      m_had[i] = v != nullptr;
      m_old[i] = v ? v : "";
    }
  }
  static void Set(const char* name, const std::string& value) {
    if (value.empty()) unsetenv(name);
    else setenv(name, value.c_str(), 1);
  }
  bool m_had[5] = {};
  std::string m_old[5];
};
