#pragma once

#include <string>

#include "CommandLine.h"

namespace hxreport {

struct EventText {
    bool ok = false;
    std::wstring text;  // when ok
    std::wstring error; // when not
};

// The event text from the argument, a UTF-8 file or UTF-8 standard input.
EventText readEventText(const Options& options);

} // namespace hxreport
