#include "platform/sound/SoundCategory.h"

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string_view>

#include "platform/registry/Registry.h"
#include "platform/text/Utf.h"

namespace platform {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

std::u16string EventKey(const std::u16string& event) { return std::u16string(SOUND_EVENTS_KEY) + u"\\" + event; }

std::u16string CategoryKey(const std::u16string& category) {
  return std::u16string(SOUND_CATEGORIES_KEY) + u"\\" + category;
}

bool EnsureString(const std::u16string& key, const std::u16string& name, const std::u16string& value) {
  std::u16string existing;
  if (RegReadString(kUser, key, name, existing)) return true;
  return RegWriteString(kUser, key, name, value);
}

bool EnsureDword(const std::u16string& key, const std::u16string& name, std::uint32_t value) {
  std::uint32_t existing = 0;
  if (RegReadDword(kUser, key, name, existing)) return true;
  return RegWriteDword(kUser, key, name, value);
}

}  // namespace

EventSoundSettings ReadEventSoundSettings(const std::u16string& event) {
  EventSoundSettings s;
  s.event = event;
  std::u16string text;
  if (RegReadString(kUser, EventKey(event), u"Sound", text)) s.file = ToUtf8(text);
  if (RegReadString(kUser, EventKey(event), u"Category", text) && !text.empty()) {
    s.category = text;
  } else {
    s.category = event;
  }
  if (RegReadString(kUser, CategoryKey(s.category), u"Script", text)) s.script = ToUtf8(text);
  RegReadDword(kUser, CategoryKey(s.category), u"InitVol", s.volume);
  RegReadDword(kUser, CategoryKey(s.category), u"AttenuationCategory", s.attenuation);
  return s;
}

double VolumeStepToGain(std::uint32_t step) {
  if (step == 0) return 0.0;
  if (step >= SOUND_VOLUME_FULL) return 1.0;
  return std::pow(10.0, -6.0 * static_cast<double>(SOUND_VOLUME_FULL - step) / 20.0);
}

std::string SystemAlarmSoundFile() {
  constexpr std::string_view kRelative = "/sounds/freedesktop/stereo/alarm-clock-elapsed.oga";
  std::string dirs = "/usr/local/share:/usr/share";
  if (const char* env = std::getenv("XDG_DATA_DIRS"); env != nullptr && env[0] != '\0') dirs = env;
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    std::string candidate = dirs.substr(start, colon - start) + std::string(kRelative);
    if (colon > start && ::access(candidate.c_str(), R_OK) == 0) return candidate;
    start = colon + 1;
  }
  return "/usr/share" + std::string(kRelative);
}

bool EnsureSystemSoundDefaults() {
  const std::u16string clock = EventKey(SYSTEM_CLOCK_EVENT);
  const std::u16string alarm = CategoryKey(SYSTEM_ALARM_CATEGORY);
  bool ok = EnsureString(clock, u"Sound", FromUtf8(SystemAlarmSoundFile()));
  ok = EnsureString(clock, u"Category", SYSTEM_ALARM_CATEGORY) && ok;
  ok = EnsureString(alarm, u"Script", FromUtf8(SYSTEM_ALARM_SCRIPT)) && ok;
  ok = EnsureDword(alarm, u"InitVol", SYSTEM_ALARM_VOLUME) && ok;
  ok = EnsureDword(alarm, u"AttenuationCategory", 2) && ok;
  return ok;
}

}  // namespace platform
