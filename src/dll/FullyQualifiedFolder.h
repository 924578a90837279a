#pragma once

#include <string_view>

namespace Corvane {

// Whether a search folder names one place whatever the host's current directory and drive:
// "X:\...", "\\server\share\..." or their "\\?\" forms ("\\?\X:\...", "\\?\UNC\server\share\...").
// Relative names, "\dir" (root of the current drive), "C:dir" (current folder of a drive) and
// text that still holds a macro ("$(") do not; a library found through them could be anyone's.
bool isFullyQualifiedFolder(std::wstring_view folder);

} // namespace Corvane
