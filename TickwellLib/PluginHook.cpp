#include "TickwellLib/PluginHook.h"

#include "TickwellLib/EngineState.h"
#include "common/log/Log.h"
#include "platform/process/Process.h"

namespace {

constexpr std::uint32_t kHookStarted = 0;
constexpr std::uint32_t kHookFailed = 0x80004005;

bool IsHex(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

}  // namespace

std::string ParseClassIdentifier(const std::u16string& text) {
  static constexpr char kPattern[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (text.size() != sizeof kPattern - 1) return {};
  std::string id;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (kPattern[i] == 'X' ? !IsHex(c) : c != static_cast<char16_t>(kPattern[i])) return {};
    id += static_cast<char>(c >= u'a' && c <= u'f' ? c - u'a' + u'A' : c);
  }
  return id;
}

std::string PluginHookPath(const EngineState& state) { return state.folder + "plugins/" + state.pluginId; }

void NotifyPlugin(const EngineState& state) {
  if (state.pluginId.empty()) return;
  const bool started = platform::StartProcess(PluginHookPath(state), {state.pluginId}) > 0;
  WriteLog("SHOnPluginDataChange result = 0x%X", started ? kHookStarted : kHookFailed);
}
