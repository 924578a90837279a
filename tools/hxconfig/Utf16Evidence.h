#pragma once

#include <optional>
#include <string>

namespace hxconfig {

// Why the file's bytes are evidently UTF-16 text (a byte-order mark, or a zero byte in every
// other place), in words for a person; empty when they are not.
std::optional<std::wstring> utf16Evidence(const std::string& bytes);

} // namespace hxconfig
