#include "analytics/JsonEscape.h"

namespace Corvane::Analytics {

namespace {
bool needsEscape(wchar_t c) { return c < 0x20 || c == L'"' || c == L'\\'; }

void appendEscape(std::wstring& out, wchar_t c) {
    switch (c) {
    case L'"': out += L"\\\""; return;
    case L'\\': out += L"\\\\"; return;
    case L'\b': out += L"\\b"; return;
    case L'\f': out += L"\\f"; return;
    case L'\n': out += L"\\n"; return;
    case L'\r': out += L"\\r"; return;
    case L'\t': out += L"\\t"; return;
    default: break;
    }
    static const wchar_t hex[] = L"0123456789abcdef";
    const wchar_t escape[] = {L'\\', L'u', L'0', L'0', hex[(c >> 4) & 0xF], hex[c & 0xF]};
    out.append(escape, 6);
}
} // namespace

void appendJsonEscaped(std::wstring& out, std::wstring_view text) {
    std::size_t plainStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (needsEscape(text[i])) {
            out.append(text.data() + plainStart, i - plainStart);
            appendEscape(out, text[i]);
            plainStart = i + 1;
        }
    }
    out.append(text.data() + plainStart, text.size() - plainStart);
}

} // namespace Corvane::Analytics
