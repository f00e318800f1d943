#pragma once
// Traces of Setup's logic for the debug output window. A trace is formatted and handed on only
// while a sink is installed; the windowed program's sink shows it while Help > Enable
// Debugging is on, tests install a recorder.
//
//     SetDebugTraceSink([](const std::string& text) { lines += text; });
//     DebugTrace("!!MATCHED!! %s\n", name);
#include <functional>
#include <string>

using DebugTraceSink = std::function<void(const std::string& text)>;

// Installs the sink (an empty one drops every trace).
void SetDebugTraceSink(DebugTraceSink sink);
// The formatted length, 0 when the trace was dropped.
int DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
