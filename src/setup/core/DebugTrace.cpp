// Traces of Setup's logic, handed to the installed sink.
#include "setup/core/DebugTrace.h"

#include "setup/core/TextFormat.h"

#include <cstdarg>

namespace {

DebugTraceSink& Sink() {
    static DebugTraceSink s_Sink;
    return s_Sink;
}

} // namespace

void SetDebugTraceSink(DebugTraceSink sink) {
    Sink() = std::move(sink);
}

int DebugTrace(const char* format, ...) {
    if (!Sink()) {
        return 0;
    }
    va_list args;
    va_start(args, format);
    const std::string text = FormatTextV(format, args);
    va_end(args);
    Sink()(text);
    return static_cast<int>(text.size());
}
