#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace hxtools {

// Empty when the bytes are not valid UTF-8. A leading byte-order mark is dropped.
std::optional<std::wstring> fromUtf8(std::string_view bytes);

std::string toUtf8(std::wstring_view text);

// Writes the text as UTF-8 bytes, untranslated, followed by a line feed.
void writeLine(std::FILE* stream, std::wstring_view text);

} // namespace hxtools
