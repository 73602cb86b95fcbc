#pragma once
// The home-screen plug-in's notification.
//
// A plug-in is named by a class identifier in the engine's registry value "Plugin".
// After every calculation the engine runs the plug-in's hook: the executable
// "<engine folder>plugins/<identifier>" started with the identifier as its one
// argument, so the plug-in can read the new events (GetActiveEvents). Nothing
// runs when no identifier is configured.
#include <cstdint>
#include <string>

struct EngineState;

// The registry string form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits in
// either case) in upper case; empty for anything else.
std::string ParseClassIdentifier(const std::u16string& text);

// Path of the hook program of a plug-in.
std::string PluginHookPath(const EngineState& state);

// Runs the hook when an identifier is configured and logs its result: 0 when it
// was started, 0x80004005 when it could not be.
void NotifyPlugin(const EngineState& state);
