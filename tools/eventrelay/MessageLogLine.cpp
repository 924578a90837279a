#include "MessageLogLine.h"

#include <cwchar>

namespace EventRelay {

namespace {
const wchar_t* shortEscape(wchar_t c) {
    switch (c) {
    case L'"':
        return L"\\\"";
    case L'\\':
        return L"\\\\";
    case L'\b':
        return L"\\b";
    case L'\f':
        return L"\\f";
    case L'\n':
        return L"\\n";
    case L'\r':
        return L"\\r";
    case L'\t':
        return L"\\t";
    default:
        return nullptr;
    }
}

void appendControl(std::wstring& out, wchar_t c) {
    wchar_t buffer[8];
    std::swprintf(buffer, 8, L"\\u%04x", static_cast<unsigned>(c));
    out += buffer;
}

std::wstring quoted(const std::wstring& text) {
    return L"\"" + MessageLogLine::escape(text) + L"\"";
}
} // namespace

std::string MessageLogLine::format(const RelayedMessage& message, DWORD processId,
                                   const SYSTEMTIME& utcTime) {
    const Corvane::MessageHeader& header = message.header();
    std::wstring line = L"{\"time\":" + quoted(timestamp(utcTime));
    line += L",\"pid\":" + std::to_wstring(processId);
    line += L",\"name\":" + quoted(message.name());
    line += L",\"alias\":" + quoted(message.alias());
    line += L",\"payload\":" + quoted(message.payload());
    line += L",\"flags\":" + std::to_wstring(header.flags);
    line += L",\"version\":" + std::to_wstring(header.version);
    line += L",\"sessionId\":" + std::to_wstring(message.sessionId());
    line += L",\"totalSize\":" + std::to_wstring(header.totalSize);
    line += L"}\n";
    return toUtf8(line);
}

std::wstring MessageLogLine::escape(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        if (const wchar_t* replacement = shortEscape(c)) {
            out += replacement;
        } else if (c < 0x20) {
            appendControl(out, c);
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring MessageLogLine::timestamp(const SYSTEMTIME& utcTime) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", utcTime.wYear, utcTime.wMonth,
                  utcTime.wDay, utcTime.wHour, utcTime.wMinute, utcTime.wSecond, utcTime.wMilliseconds);
    return buffer;
}

std::string MessageLogLine::toUtf8(const std::wstring& text) {
    // A lone surrogate becomes U+FFFD rather than failing the whole line.
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace EventRelay
