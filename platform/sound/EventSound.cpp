#include "platform/sound/EventSound.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/text/Utf.h"

namespace platform {
namespace {

// The sounds started and not yet stopped. Ended ones are dropped on the next call.
class PlayingSounds {
 public:
  ~PlayingSounds() { StopWhere([](const SoundPlayer&) { return true; }); }

  void Add(std::unique_ptr<SoundPlayer> player) {
    std::lock_guard<std::mutex> lock(m_mutex);
    DropFinished();
    m_players.push_back(std::move(player));
  }

  template <typename Predicate>
  void StopWhere(Predicate matches) {
    std::vector<std::unique_ptr<SoundPlayer>> stopping;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      auto split = std::stable_partition(m_players.begin(), m_players.end(),
                                         [&](const auto& p) { return !matches(*p); });
      std::move(split, m_players.end(), std::back_inserter(stopping));
      m_players.erase(split, m_players.end());
    }
    // Joined outside the lock so that other categories can start meanwhile.
    for (auto& player : stopping) player->Stop();
  }

  int Count() {
    std::lock_guard<std::mutex> lock(m_mutex);
    DropFinished();
    return static_cast<int>(m_players.size());
  }

 private:
  void DropFinished() {
    std::erase_if(m_players, [](const auto& p) { return p->Finished(); });
  }

  std::mutex m_mutex;
  std::vector<std::unique_ptr<SoundPlayer>> m_players;
};

PlayingSounds& Playing() {
  static PlayingSounds playing;
  return playing;
}

}  // namespace

int PlayEventSound(const std::u16string& event, const void* /*window*/) {
  EnsureSystemSoundDefaults();
  auto player = std::make_unique<SoundPlayer>(ReadEventSoundSettings(event));
  const int result = player->Start();
  if (result != 0) return result;
  Playing().Add(std::move(player));
  return 0;
}

int StopEventSounds(const std::u16string& name) {
  Playing().StopWhere([&](const SoundPlayer& p) {
    return EqualsIgnoreCase(p.Settings().event, name) || EqualsIgnoreCase(p.Settings().category, name);
  });
  return 0;
}

int CountPlayingEventSounds() { return Playing().Count(); }

}  // namespace platform
