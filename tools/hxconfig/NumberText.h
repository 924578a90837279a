#pragma once

#include <optional>
#include <string>

namespace hxconfig {

// Decimal or 0x-hexadecimal digits and nothing else: "010" is ten, never octal eight, and
// blanks are refused rather than skipped. Empty when the text is no such number or above max.
std::optional<unsigned long long> parseUnsigned(const std::wstring& text, unsigned long long max);

// As parseUnsigned, and a decimal number may carry a sign; min <= 0 <= max.
std::optional<long long> parseSigned(const std::wstring& text, long long min, long long max);

} // namespace hxconfig
