#include "LogArguments.h"

#include <cwchar>

#include "NumberText.h"
#include "ToolError.h"

namespace hxconfig {

namespace {
constexpr unsigned maxLines = 1000000;

bool endsWithExe(const std::wstring& text) {
    return text.size() >= 4 && _wcsicmp(text.c_str() + text.size() - 4, L".exe") == 0;
}

// Characters no file name holds; a trailing dot or blank would be dropped by the file system,
// so the folder would belong to another name.
bool usableFileName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L".." || name.back() == L'.' || name.back() == L' ') {
        return false;
    }
    for (const wchar_t c : name) {
        if (c < 32 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr) {
            return false;
        }
    }
    return true;
}

int takeExecutable(const std::wstring& text, LogArguments& parsed) {
    parsed.executable = executableBaseName(text);
    if (!parsed.executable) {
        return reportUsage(L"--exe takes an executable's file name such as dllhost or dllhost.exe, without a folder; \"" +
                           text + L"\" is none");
    }
    return exitOk;
}

int takeLines(const std::wstring& text, LogArguments& parsed) {
    const auto number = parseUnsigned(text, maxLines);
    if (!number || *number == 0) {
        return reportUsage(L"--lines takes a number from 1 to " + std::to_wstring(maxLines) + L"; \"" + text +
                           L"\" is none");
    }
    parsed.lines = static_cast<unsigned>(*number);
    return exitOk;
}

int takeOption(const std::wstring& option, const std::wstring& value, LogArguments& parsed) {
    if (option == L"--exe") {
        return parsed.executable ? reportUsage(L"--exe is given twice") : takeExecutable(value, parsed);
    }
    return parsed.lines ? reportUsage(L"--lines is given twice") : takeLines(value, parsed);
}
} // namespace

std::optional<std::wstring> executableBaseName(const std::wstring& text) {
    const std::wstring name = endsWithExe(text) ? text.substr(0, text.size() - 4) : text;
    return usableFileName(name) ? std::optional<std::wstring>(name) : std::nullopt;
}

int parseLogArguments(const Arguments& arguments, LogArguments& parsed) {
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::wstring& word = arguments[at];
        if (word.compare(0, 2, L"--") != 0) {
            parsed.words.push_back(word);
            continue;
        }
        if (word != L"--exe" && word != L"--lines") {
            return reportUsage(L"unknown option " + word);
        }
        if (at + 1 == arguments.size()) {
            return reportUsage(word + L" needs a value");
        }
        if (const int status = takeOption(word, arguments[++at], parsed)) {
            return status;
        }
    }
    return exitOk;
}

} // namespace hxconfig
