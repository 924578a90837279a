#pragma once

#include <string>
#include <vector>

namespace Corvane {

// What a caller wants loaded: the library's file name and the folders to look in, in order.
// The folders may contain path macros such as "$(App.Folder)".
struct SharedLibraryInfo {
    std::wstring name;
    std::vector<std::wstring> searchPaths;
};

} // namespace Corvane
