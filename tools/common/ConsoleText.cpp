#include "ConsoleText.h"

#include <climits>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace hxtools {

std::optional<std::wstring> fromUtf8(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (bytes.empty()) {
        return std::wstring();
    }
    if (bytes.size() > INT_MAX) {
        return std::nullopt;
    }
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), needed);
    return text;
}

std::string toUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return std::string();
    }
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return std::string();
    }
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

void writeLine(std::FILE* stream, std::wstring_view text) {
    _setmode(_fileno(stream), _O_BINARY);
    std::string bytes = toUtf8(text);
    bytes += '\n';
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

} // namespace hxtools
