#include "IniValue.h"

#include <windows.h>

#include "Arguments.h"
#include "FileSnapshot.h"
#include "ToolError.h"
#include "Utf16Evidence.h"
#include "utils/CObfuscatedIniReader.h"

namespace hxconfig {

namespace {
using Vornix::CObfuscatedIniReader;

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
} // namespace

std::wstring absoluteIniPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : path;
}

int writeIniValue(const std::wstring& file, const IniValue& value) {
    const std::wstring path = absoluteIniPath(file);
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

} // namespace hxconfig
