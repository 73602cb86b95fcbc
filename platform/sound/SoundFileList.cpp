#include "platform/sound/SoundFileList.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>

#include "platform/folder/DataFolder.h"
#include "platform/text/Utf.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRingtoneNames[] = {"phone-incoming-call", "phone-outgoing-calling",
                                               "message-new-instant", "message",
                                               "bell",                "complete",
                                               "window-attention",    "service-login"};
constexpr std::string_view kAlarmNames[] = {"alarm-clock-elapsed", "bell",
                                            "complete",            "dialog-warning",
                                            "dialog-information",  "window-attention",
                                            "phone-incoming-call"};
constexpr std::string_view kAudioExtensions[] = {".oga", ".ogg", ".opus", ".wav", ".flac", ".mp3", ".m4a", ".wma"};
constexpr std::string_view kMidiExtensions[] = {".mid", ".midi", ".kar"};

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

template <std::size_t N>
bool OneOf(const std::string& value, const std::string_view (&list)[N]) {
  return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

// The user's data home without its closing '/'.
std::string DataHome() {
  std::string data = UserDataHome();
  if (!data.empty()) data.pop_back();
  return data;
}

std::vector<std::string> DataFolders() {
  std::vector<std::string> out{DataHome()};
  std::string dirs = "/usr/local/share:/usr/share";
  if (const char* v = std::getenv("XDG_DATA_DIRS"); v != nullptr && v[0] != '\0') dirs = v;
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t colon = std::min(dirs.find(':', start), dirs.size());
    if (colon > start) out.push_back(dirs.substr(start, colon - start));
    start = colon + 1;
  }
  return out;
}

// Regular, non-hidden files below `folder` (recursively), sorted by path.
std::vector<fs::path> FilesBelow(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.empty() && name[0] == '.') {
      if (it->is_directory(ec)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(ec)) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::u16string ThemeDisplayName(std::string stem) {
  std::replace(stem.begin(), stem.end(), '-', ' ');
  std::replace(stem.begin(), stem.end(), '_', ' ');
  if (!stem.empty() && stem[0] >= 'a' && stem[0] <= 'z') stem[0] = static_cast<char>(stem[0] - 'a' + 'A');
  return FromUtf8(stem);
}

class ListBuilder {
 public:
  explicit ListBuilder(std::vector<SoundFileInfo>& out) : m_out(out) {}

  void AddThemes(bool ringtones) {
    std::vector<fs::path> themes;
    for (const auto& data : DataFolders()) {
      const fs::path sounds = fs::path(data) / "sounds";
      std::error_code ec;
      std::vector<fs::path> inFolder;
      for (fs::directory_iterator it(sounds, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && it->path().filename().string()[0] != '.') inFolder.push_back(it->path());
      }
      std::sort(inFolder.begin(), inFolder.end(), [](const fs::path& a, const fs::path& b) {
        const bool aFree = a.filename() == "freedesktop";
        const bool bFree = b.filename() == "freedesktop";
        return aFree != bFree ? aFree : a < b;
      });
      themes.insert(themes.end(), inFolder.begin(), inFolder.end());
    }
    for (const auto& theme : themes) {
      for (const auto& file : FilesBelow(theme)) {
        const std::string stem = file.stem().string();
        if (ringtones ? OneOf(stem, kRingtoneNames) : OneOf(stem, kAlarmNames)) {
          Add(file, ThemeDisplayName(stem), SOUND_FILE_AUDIO);
        }
      }
    }
  }

  void AddUserFolder() {
    for (const auto& file : FilesBelow(UserSoundFolder())) Add(file, FromUtf8(file.stem().string()), SOUND_FILE_USER);
  }

 private:
  void Add(const fs::path& file, std::u16string name, std::uint32_t audioType) {
    const std::string ext = Lower(file.extension().string());
    std::uint32_t type = audioType;
    if (OneOf(ext, kMidiExtensions)) {
      type = SOUND_FILE_UNPLAYABLE;
    } else if (!OneOf(ext, kAudioExtensions)) {
      return;
    }
    const std::string path = file.lexically_normal().string();
    if (!m_seen.insert(path).second) return;
    m_out.push_back(SoundFileInfo{FromUtf8(path), std::move(name), type});
  }

  std::vector<SoundFileInfo>& m_out;
  std::set<std::string> m_seen;
};

}  // namespace

std::string UserSoundFolder() { return DataHome() + "/Natalo/sounds"; }

bool GetSoundFileList(int event, SoundLocation location, std::vector<SoundFileInfo>& out) {
  out.clear();
  if (event != SOUND_EVENT_RINGTONE && event != SOUND_EVENT_ALARM_OLD && event != SOUND_EVENT_ALARM) return false;
  ListBuilder builder(out);
  if (location != SoundLocation::User) builder.AddThemes(event == SOUND_EVENT_RINGTONE);
  if (location != SoundLocation::System) builder.AddUserFolder();
  return true;
}

}  // namespace platform
