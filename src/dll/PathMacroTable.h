#pragma once

#include <functional>
#include <regex>
#include <string>
#include <unordered_map>

#include "dll/PathHelpers.h"

namespace Corvane {

// The process-wide macro syntax and the providers of the 19 macros, built at library load and
// read-only afterwards. A provider's empty answer means "no value".
class PathMacroTable {
public:
    using Provider = std::function<std::wstring(const PathHelpers::_Impl&)>;

    // "$(" then one or more characters other than "$", "(" and ")", then ")".
    static const std::wregex& syntax();

    // Null when the macro is unknown; names are case-sensitive.
    static const Provider* find(const std::wstring& macro);
};

} // namespace Corvane
