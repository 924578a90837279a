#include "IniCommands.h"

#include <climits>
#include <cstdio>
#include <optional>
#include <string>

#include <windows.h>

#include "ConsoleText.h"
#include "IniValue.h"
#include "NumberText.h"
#include "ToolError.h"
#include "utils/CObfuscatedIniReader.h"

namespace hxconfig {

namespace {
using Vornix::CObfuscatedIniReader;

const wchar_t* const intRange = L" (decimal or 0x-hexadecimal, -2147483648 to 2147483647)";

// Decimal numbers keep their sign, as the product's reader takes them.
std::optional<int> parseInt(const std::wstring& text) {
    const auto number = parseSigned(text, INT_MIN, INT_MAX);
    return number ? std::optional<int>(static_cast<int>(*number)) : std::nullopt;
}

int get(const std::wstring& file, const std::wstring& section, const std::wstring& name) {
    CObfuscatedIniReader reader(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    std::wstring text;
    if (!reader.Load(absoluteIniPath(file)) || !reader.GetText(section, name, text)) {
        return reportFailure(L"no scrambled value " + section + L"." + name + L" in " + file);
    }
    hxtools::writeLine(stdout, text);
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
    return writeIniValue(arguments[1], value);
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
