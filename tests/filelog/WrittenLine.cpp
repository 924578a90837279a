#include "WrittenLine.h"

#include <cwchar>
#include <regex>

#include "TaggedMessage.h"

namespace FileLogTests {

namespace {

// Options 0x14: the component (cut to 15 characters) and the process and thread ids.
const std::wregex fixedFields(LR"(^\d\d/\d\d/\d{4} \d\d:\d\d:\d\d [AP]M\$ -- \(Error\)\$ )"
                              LR"(\[filelog_writer\.\]\$ \[PID: *(\d+) TID: *(\d+)\]\$ )");

// The message between the fixed fields and the line end, if it is a writer's whole message.
bool parseMessage(const std::wstring& message, WrittenLine& parsed) {
    if (std::swscanf(message.c_str(), L"P%u S%4u", &parsed.writer, &parsed.sequence) != 2) {
        return false;
    }
    return message == taggedMessage(parsed.writer, parsed.sequence);
}

} // namespace

std::optional<WrittenLine> parseWrittenLine(const std::wstring& line) {
    std::wsmatch fields;
    if (line.size() < 2 || line.compare(line.size() - 2, 2, L"\r\n") != 0 ||
        !std::regex_search(line, fields, fixedFields)) {
        return std::nullopt;
    }
    WrittenLine parsed;
    parsed.processId = static_cast<DWORD>(std::stoul(fields[1].str()));
    parsed.ticket = static_cast<DWORD>(std::stoul(fields[2].str()));
    parsed.bytes = line.size() * sizeof(wchar_t);
    const std::size_t start = fields.length(0);
    if (!parseMessage(line.substr(start, line.size() - 2 - start), parsed)) {
        return std::nullopt;
    }
    return parsed;
}

} // namespace FileLogTests
