#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"

namespace hxconfig {

// The words of "hxconfig log ..." with the options taken out.
struct LogArguments {
    std::vector<std::wstring> words; // the verb first
    std::optional<std::wstring> executable; // --exe, as the base name the logger uses
    std::optional<unsigned> lines;          // --lines
};

// Options may stand anywhere after "log"; each at most once. The exit status; a reason on
// standard error for options that are wrong.
int parseLogArguments(const Arguments& arguments, LogArguments& parsed);

// An executable's name as the logger names its folder: no folder, ".exe" dropped. Empty when
// the text cannot be a file name.
std::optional<std::wstring> executableBaseName(const std::wstring& text);

} // namespace hxconfig
