#include "NataloUtil/ReminderSound.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "common/entries/FeskItem.h"
#include "common/log/Log.h"
#include "common/settings/RegistryAccess.h"
#include "platform/text/Utf.h"

namespace {

constexpr std::u16string_view kAlarmScriptPath = u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\Alarm\\Script";
constexpr std::u16string_view kAlarmVolumePath = u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\Alarm\\InitVol";
constexpr std::u16string_view kClockFilePath = u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\Clock\\Sound";

bool FileExists(const std::u16string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(platform::ToUtf8(path), ec);
}

const std::u16string& KindFile(const FeskItem& item, const AppSettings& s) {
  if (item.m_wKind == Anniversary) return s.g_szASoundFile;
  if (item.m_wKind == OtherDate) return s.g_szOSoundFile;
  return s.g_szBSoundFile;
}

std::uint32_t KindFlag(const FeskItem& item, const AppSettings& s) {
  if (item.m_wKind == Anniversary) return s.g_dwASoundType;
  if (item.m_wKind == OtherDate) return s.g_dwOSoundType;
  return s.g_dwBSoundType;
}

bool WriteString(std::u16string_view path, const std::u16string& value) {
  return WriteRegistryStringRetry(path, value, RetryRule{1, std::chrono::milliseconds(0)});
}

}  // namespace

std::u16string ScriptOfSoundType(std::uint32_t type) {
  switch (type) {
    case 1:
      return u"apw2r";
    case 2:
      return u"at80v3w3r";
    case 3:
      return u"at80v0.2w0.5v0.2w0.5v0.2w3r";
    case 4:
      return u"at80v0.6w0.3v0.3w0.3v0.6w0.3v0.3w0.3v0.6w3r";
    case 5:
      return u"at80v3w3pw3r";
    case 6:
      return u"at80v0pw2r";
    default:
      return u"apw1.5c120pw1.5c120pw1.5c120pw1.5c120pw1.5c120pw1.5c120pw1.5c120pw3r";
  }
}

std::u16string NormaliseAlarmScript(std::u16string script) {
  if (script.find(u'r') == std::u16string::npos) script += u"w2r";
  if (script.empty() || script.front() != u'a') script.insert(script.begin(), u'a');
  const std::size_t w = script.rfind(u'w');
  if (w == std::u16string::npos || w + 1 >= script.size()) return script;
  const char16_t next = script[w + 1];
  if (next >= u'0' && next <= u'9') script.replace(w, std::u16string::npos, u"w2r");
  return script;
}

ReminderSoundChoice ChooseReminderSound(const FeskItem& item, const AppSettings& settings) {
  ReminderSoundChoice choice;
  std::uint32_t type = settings.g_dwSoundType;
  std::u16string alarmScript;
  ReadRegistryString(kAlarmScriptPath, alarmScript);
  choice.script = NormaliseAlarmScript(alarmScript);
  choice.volume = 3;
  ReadRegistryDword(kAlarmVolumePath, choice.volume);
  std::u16string clockFile;
  ReadRegistryString(kClockFilePath, clockFile);
  choice.file = clockFile;

  if (item.m_bOwnSound == 1) {
    type = item.m_dwSoundType;
    if (item.m_dwSoundSource > 1) {
      choice.file = item.SoundFile().str();
    } else if (item.m_dwSoundSource == 0) {
      choice.file = KindFile(item, settings);
    }
    if (!FileExists(choice.file)) choice.file = clockFile;
    if (type != 0) choice.volume = item.m_dwVolume + 1;
  } else {
    if (item.m_dwSoundSource == 0) {
      if (KindFlag(item, settings) != 0) choice.file = KindFile(item, settings);
    } else if (item.m_dwSoundSource > 1 && !item.SoundFile().empty()) {
      choice.file = item.SoundFile().str();
    }
    if (!FileExists(choice.file)) choice.file = clockFile;
    if (type != 0) choice.volume = settings.g_dwSoundVolume + 1;
  }
  if (type != 0) choice.script = ScriptOfSoundType(type);
  return choice;
}

bool WriteReminderSoundCategory(const ReminderSoundChoice& choice) {
  const std::u16string events = u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\QV_FESK_Reminder\\";
  const std::u16string categories = u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\QV_FESK_Reminder\\";
  const RetryRule once{1, std::chrono::milliseconds(0)};
  bool ok = WriteString(events + u"Category", kReminderSoundCategory);
  ok = WriteString(categories + u"Script", choice.script) && ok;
  ok = WriteRegistryDwordRetry(categories + u"InitVol", choice.volume, once) && ok;
  ok = WriteRegistryDwordRetry(categories + u"AttenuationCategory", 2, once) && ok;
  ok = WriteString(events + u"Sound", choice.file) && ok;
  return ok;
}

void ReminderSoundPlayer::StartSound(const void* window) {
  if (std::exchange(m_bStartedAhead, false)) return;
  StartSoundAhead(window);
  m_bStartedAhead = false;
}

void ReminderSoundPlayer::StartSoundAhead(const void* window, std::function<void()> prepare) {
  if (!m_play || !m_stop) return;
  FinishStart();
  m_bStartedAhead = true;
  if (m_bInBackground) {
    m_starting = std::thread([this, window, prepare = std::move(prepare)] { Start(window, prepare); });
  } else {
    Start(window, prepare);
  }
}

void ReminderSoundPlayer::Start(const void* window, const std::function<void()>& prepare) {
  if (prepare) prepare();
  m_stop(m_category);
  if (m_play(m_category, window) != 0) {
    WriteLog("StartSound: falling back to the alarm clock");
    m_category = kClockSoundEvent;
    m_play(m_category, window);
  }
}

void ReminderSoundPlayer::StopSound() {
  m_bStartedAhead = false;
  FinishStart();
  if (m_stop) m_stop(m_category);
}
