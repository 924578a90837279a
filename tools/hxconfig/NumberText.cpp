#include "NumberText.h"

namespace hxconfig {

namespace {
int digitValue(wchar_t c, unsigned base) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (base == 16 && c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (base == 16 && c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

std::optional<unsigned long long> digitsValue(const std::wstring& digits, unsigned base,
                                              unsigned long long max) {
    if (digits.empty()) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    for (const wchar_t c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0 || static_cast<unsigned long long>(digit) > max || value > (max - digit) / base) {
            return std::nullopt;
        }
        value = value * base + static_cast<unsigned>(digit);
    }
    return value;
}

bool hasHexPrefix(const std::wstring& text) {
    return text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
}
} // namespace

std::optional<unsigned long long> parseUnsigned(const std::wstring& text, unsigned long long max) {
    return hasHexPrefix(text) ? digitsValue(text.substr(2), 16, max) : digitsValue(text, 10, max);
}

std::optional<long long> parseSigned(const std::wstring& text, long long min, long long max) {
    const bool hasSign = !text.empty() && (text[0] == L'-' || text[0] == L'+');
    if (!hasSign) {
        const auto value = parseUnsigned(text, static_cast<unsigned long long>(max));
        return value ? std::optional<long long>(static_cast<long long>(*value)) : std::nullopt;
    }
    const bool negative = text[0] == L'-';
    // The magnitude of min does not fit a long long when min is its lowest value.
    const unsigned long long limit =
        negative ? 0ull - static_cast<unsigned long long>(min) : static_cast<unsigned long long>(max);
    const auto magnitude = digitsValue(text.substr(1), 10, limit);
    if (!magnitude) {
        return std::nullopt;
    }
    return negative ? static_cast<long long>(0ull - *magnitude) : static_cast<long long>(*magnitude);
}

} // namespace hxconfig
