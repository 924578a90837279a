#include "IniCommands.h"

#include <climits>
#include <cstdio>
#include <optional>
#include <string>

#include <windows.h>

#include "ConsoleText.h"
#include "FileSnapshot.h"
#include "NumberText.h"
#include "ToolError.h"
#include "Utf16Evidence.h"
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

// The value of one "ini set": a number for type int, else the text.
struct IniValue {
    std::wstring section;
    std::wstring name;
    std::optional<int> number;
    std::wstring text;
};

bool write(const std::wstring& path, const IniValue& value) {
    CObfuscatedIniReader writer(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    writer.Load(path); // a missing file is created by the write
    return value.number ? writer.WriteInt(value.section, value.name, *value.number)
                        : writer.WriteText(value.section, value.name, value.text);
}

// Through a reader of its own, as the product would load the file.
bool readsBack(const std::wstring& path, const IniValue& value) {
    CObfuscatedIniReader reader(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    int number = 0;
    std::wstring text;
    if (!reader.Load(path)) {
        return false;
    }
    return value.number ? reader.GetInt(value.section, value.name, number) && number == *value.number
                        : reader.GetText(value.section, value.name, text) && text == value.text;
}

int undo(const FileSnapshot& before, const std::wstring& what) {
    if (const DWORD error = before.restore()) {
        return reportError(what + L"; putting the file back failed", error);
    }
    return reportFailure(what + L"; the file is left as it was");
}

int set(const std::wstring& file, const IniValue& value) {
    const std::wstring path = absolute(file);
    FileSnapshot before;
    if (const DWORD error = before.take(path)) {
        return reportError(L"cannot read " + file, error);
    }
    // The profile functions would write the value in UTF-16, or turn such a file into ANSI
    // text and lose its entries; the product's reader finds nothing in UTF-16.
    if (const auto evidence = utf16Evidence(before.bytes())) {
        return reportFailure(file + L" is UTF-16 text (" + *evidence +
                             L"); the product reads INI files as ANSI text only, so nothing was written");
    }
    const std::wstring where = value.section + L"." + value.name;
    if (!write(path, value)) {
        return undo(before, L"cannot write " + where + L" to " + file);
    }
    if (!readsBack(path, value)) {
        return undo(before, where + L" does not read back as written from " + file);
    }
    return exitOk;
}

int set(const Arguments& arguments) {
    IniValue value{arguments[2], arguments[3], std::nullopt, arguments[5]};
    if (arguments[4] == L"int") {
        value.number = parseInt(value.text);
        if (!value.number) {
            return reportFailure(L"\"" + value.text + L"\" is not a 32-bit integer" + intRange);
        }
    }
    return set(arguments[1], value);
}
} // namespace

int runIniCommand(const Arguments& arguments) {
    if (arguments.size() == 4 && arguments[0] == L"get") {
        return get(arguments[1], arguments[2], arguments[3]);
    }
    if (arguments.size() == 6 && arguments[0] == L"set" && (arguments[4] == L"int" || arguments[4] == L"text")) {
        return set(arguments);
    }
    return exitUsage;
}

} // namespace hxconfig
