#include "EnvironmentFile.h"

#include <atomic>
#include <utility>

#include <windows.h>

namespace EventRelayTests {

namespace {
std::wstring freshPath() {
    static std::atomic<unsigned> counter{0};
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"eventrelay-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".txt";
}
} // namespace

EnvironmentFile::EnvironmentFile(std::wstring variable) : variable_(std::move(variable)), path_(freshPath()) {
    DeleteFileW(path_.c_str());
    SetEnvironmentVariableW(variable_.c_str(), path_.c_str());
}

EnvironmentFile::~EnvironmentFile() {
    SetEnvironmentVariableW(variable_.c_str(), nullptr);
    DeleteFileW(path_.c_str());
}

std::string EnvironmentFile::content() const {
    const HANDLE file =
        CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    CloseHandle(file);
    return content;
}

std::vector<std::string> EnvironmentFile::lines() const {
    const std::string text = content();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

} // namespace EventRelayTests
