#pragma once

#include <string>
#include <vector>

namespace Corvane {

// Our own sibling libraries, by lower-case file name. They are never checked against the
// version block list.
class KnownLibraries {
public:
    // Built on first use and never changed.
    static const std::vector<std::wstring>& names();

    // Exact, full-length comparison: the caller lower-cases the name first.
    static bool contains(const std::wstring& lowerCaseName);
};

} // namespace Corvane
