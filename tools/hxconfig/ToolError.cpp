#include "ToolError.h"

#include <cstdio>

#include "Arguments.h"
#include "ConsoleText.h"

namespace hxconfig {

namespace {
std::wstring systemText(DWORD error) {
    wchar_t text[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512, nullptr);
    std::wstring trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == L'\n' || trimmed.back() == L'\r' || trimmed.back() == L' ')) {
        trimmed.pop_back();
    }
    return trimmed.empty() ? L"error" : trimmed;
}
} // namespace

int reportError(const std::wstring& what, DWORD error) {
    return reportFailure(what + L": " + systemText(error) + L" (" + std::to_wstring(error) + L")");
}

int reportFailure(const std::wstring& text) {
    hxtools::writeLine(stderr, L"hxconfig: " + text);
    return exitFailed;
}

int reportUsage(const std::wstring& text) {
    hxtools::writeLine(stderr, L"hxconfig: " + text);
    return exitUsage;
}

} // namespace hxconfig
