#include "analytics/JsonEscape.h"

#include <cstring>

#include <emmintrin.h>

namespace Corvane::Analytics {

namespace {
bool needsEscape(wchar_t c) { return c < 0x20 || c == L'"' || c == L'\\'; }

int specialMask(const wchar_t* eight) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(eight));
    const __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(units, _mm_set1_epi16(0x1F)), _mm_setzero_si128());
    const __m128i quote = _mm_cmpeq_epi16(units, _mm_set1_epi16(L'"'));
    const __m128i backslash = _mm_cmpeq_epi16(units, _mm_set1_epi16(L'\\'));
    return _mm_movemask_epi8(_mm_or_si128(control, _mm_or_si128(quote, backslash)));
}

std::size_t firstUnit(int mask) { return static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2; }

// Index of the first character that needs escaping, or the length when none does.
// Records are mostly plain text, so this looks at eight characters at a time; the last
// eight are read once more rather than one by one.
std::size_t findSpecial(const wchar_t* text, std::size_t length) {
    if (length < 8) {
        std::size_t i = 0;
        while (i < length && !needsEscape(text[i])) {
            ++i;
        }
        return i;
    }
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        if (const int mask = specialMask(text + i)) {
            return i + firstUnit(mask);
        }
    }
    if (i == length) {
        return length;
    }
    const std::size_t last = length - 8;
    const int mask = specialMask(text + last);
    return mask != 0 ? last + firstUnit(mask) : length;
}

std::size_t escapeLength(wchar_t c) {
    switch (c) {
    case L'"':
    case L'\\':
    case L'\b':
    case L'\f':
    case L'\n':
    case L'\r':
    case L'\t': return 2;
    default: return 6;
    }
}

wchar_t* writeEscape(wchar_t* out, wchar_t c) {
    wchar_t shortForm = 0;
    switch (c) {
    case L'"': shortForm = L'"'; break;
    case L'\\': shortForm = L'\\'; break;
    case L'\b': shortForm = L'b'; break;
    case L'\f': shortForm = L'f'; break;
    case L'\n': shortForm = L'n'; break;
    case L'\r': shortForm = L'r'; break;
    case L'\t': shortForm = L't'; break;
    default: break;
    }
    *out++ = L'\\';
    if (shortForm != 0) {
        *out++ = shortForm;
        return out;
    }
    static const wchar_t hex[] = L"0123456789abcdef";
    *out++ = L'u';
    *out++ = L'0';
    *out++ = L'0';
    *out++ = hex[(c >> 4) & 0xF];
    *out++ = hex[c & 0xF];
    return out;
}
} // namespace

std::size_t jsonEscapedLength(std::wstring_view text) {
    std::size_t length = 0;
    std::size_t i = 0;
    for (;;) {
        const std::size_t plain = findSpecial(text.data() + i, text.size() - i);
        length += plain;
        i += plain;
        if (i == text.size()) {
            return length;
        }
        length += escapeLength(text[i++]);
    }
}

wchar_t* writeJsonEscaped(wchar_t* out, std::wstring_view text) {
    std::size_t i = 0;
    for (;;) {
        const std::size_t plain = findSpecial(text.data() + i, text.size() - i);
        std::memcpy(out, text.data() + i, plain * sizeof(wchar_t));
        out += plain;
        i += plain;
        if (i == text.size()) {
            return out;
        }
        out = writeEscape(out, text[i++]);
    }
}

} // namespace Corvane::Analytics
