#include "IniCommands.h"

#include <climits>
#include <cstdio>
#include <optional>
#include <string>

#include <windows.h>

#include "ConsoleText.h"
#include "NumberText.h"
#include "ToolError.h"
#include "utils/CObfuscatedIniReader.h"

namespace hxconfig {

namespace {
using Vornix::CObfuscatedIniReader;

// The private-profile functions take a bare file name to mean the Windows folder.
std::wstring absolute(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : path;
}

const wchar_t* const intRange = L" (decimal or 0x-hexadecimal, -2147483648 to 2147483647)";

// Decimal numbers keep their sign, as the product's reader takes them.
std::optional<int> parseInt(const std::wstring& text) {
    const auto number = parseSigned(text, INT_MIN, INT_MAX);
    return number ? std::optional<int>(static_cast<int>(*number)) : std::nullopt;
}

int get(const std::wstring& file, const std::wstring& section, const std::wstring& name) {
    CObfuscatedIniReader reader(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    std::wstring text;
    if (!reader.Load(absolute(file)) || !reader.GetText(section, name, text)) {
        return reportFailure(L"no scrambled value " + section + L"." + name + L" in " + file);
    }
    hxtools::writeLine(stdout, text);
    return exitOk;
}

int set(const std::wstring& file, const std::wstring& section, const std::wstring& name, const std::wstring& type,
        const std::wstring& value) {
    CObfuscatedIniReader reader(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    reader.Load(absolute(file)); // a missing file is created by the write
    bool written = false;
    if (type == L"int") {
        const auto number = parseInt(value);
        if (!number) {
            return reportFailure(L"\"" + value + L"\" is not a 32-bit integer" + intRange);
        }
        written = reader.WriteInt(section, name, *number);
    } else {
        written = reader.WriteText(section, name, value);
    }
    return written ? exitOk : reportFailure(L"cannot write " + section + L"." + name + L" to " + file);
}
} // namespace

int runIniCommand(const Arguments& arguments) {
    if (arguments.size() == 4 && arguments[0] == L"get") {
        return get(arguments[1], arguments[2], arguments[3]);
    }
    if (arguments.size() == 6 && arguments[0] == L"set" && (arguments[4] == L"int" || arguments[4] == L"text")) {
        return set(arguments[1], arguments[2], arguments[3], arguments[4], arguments[5]);
    }
    return exitUsage;
}

} // namespace hxconfig
