#pragma once

#include <optional>
#include <string>

namespace hxreport {

enum class EventFrom { Argument, File, StandardInput };

struct Options {
    bool record = false;
    bool dispatch = false;
    bool mta = false;
    bool underLoad = false; // --threads or --count given
    unsigned threads = 1;
    unsigned count = 1;
    EventFrom from = EventFrom::StandardInput;
    std::wstring event; // the event text, or the file path
};

// Empty when the command line is not understood.
std::optional<Options> parseCommandLine(int argc, wchar_t** argv);

extern const char* const usageText;

} // namespace hxreport
