#include "Logging/LogLevelNames.h"

#include <iterator>

namespace ETWLogging {

namespace {
// Indexed by level - 1. Level 6 is a second Information level.
const wchar_t* const levelNames[] = {L"Normal", L"Warning",  L"Information",
                                     L"Error",  L"Critical", L"Information"};
} // namespace

const wchar_t* LogLevelName(DWORD level) noexcept {
    if (level < 1 || level > std::size(levelNames)) {
        return nullptr;
    }
    return levelNames[level - 1];
}

} // namespace ETWLogging
