#include "NataloCli/EngineAccess.h"

#include <chrono>
#include <thread>

#include "common/store/StorageMutexName.h"
#include "common/text/ProgramFolder.h"
#include "platform/clock/Clock.h"
#include "platform/folder/DataFolder.h"
#include "platform/folder/ProgramFolder.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

bool EngineAccess::Load() {
  const std::string folder = platform::ToUtf8(GetProgramFolder());
  if (!m_library.Open(folder + platform::MapPlatformFileName("Natalo.dll"))) return false;
  m_pfnGetActiveEvents = m_library.Function<GetActiveEventsFn>("GetActiveEvents", TICKWELL_VERSION_NODE);
  m_pfnReleaseActiveEvents =
      m_library.Function<ReleaseActiveEventsFn>("ReleaseActiveEvents", TICKWELL_VERSION_NODE);
  m_pfnCalculateEvents = m_library.Function<CalculateEventsFn>("CalculateEvents", TICKWELL_VERSION_NODE);
  return m_pfnGetActiveEvents != nullptr && m_pfnReleaseActiveEvents != nullptr && m_pfnCalculateEvents != nullptr;
}

ActiveEvents EngineAccess::NextEvents() const {
  std::int32_t count = 0;
  std::int32_t nearest = 0;
  EngineItem** items = nullptr;
  m_pfnGetActiveEvents(&count, &nearest, &items);
  ActiveEvents events;
  // The array is sorted by the moment each item asks for attention next; a
  // skipped one-time item carries no time and cannot come first.
  if (count > 0 && items != nullptr && items[0]->fields.m_ftNext != platform::TIME_NONE) {
    events.moment = items[0]->fields.m_ftNext;
    for (std::int32_t i = 0; i < count && items[i]->fields.m_ftNext == events.moment; ++i) {
      events.uids.push_back(items[i]->fields.m_nUID);
    }
  }
  if (items != nullptr) m_pfnReleaseActiveEvents(count, items);
  return events;
}

void EngineAccess::CalculateEventsAndWait() const {
  const std::u16string storage = platform::FromUtf8(platform::DataFolderPath() + "storage.dat");
  const auto calculating = platform::NamedMutex::Create(CalculateMutexName(storage));
  if (m_pfnCalculateEvents() == 0 || !calculating) return;
  // The worker takes the calculation mutex for its whole run: once it has been
  // seen taken, getting it ourselves means the run is over. A run so short
  // that it is never seen taken is over by the end of the watch.
  using Clock = std::chrono::steady_clock;
  const auto watchEnd = Clock::now() + std::chrono::milliseconds(1500);
  while (Clock::now() < watchEnd) {
    if (calculating->Wait(0) == platform::WaitResult::Acquired) {
      calculating->Release();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    const platform::NamedMutexLock done(*calculating, 180'000);
    return;
  }
}
