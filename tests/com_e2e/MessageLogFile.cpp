#include "MessageLogFile.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

namespace PelmoraTests {

namespace {
using WideDocument = rapidjson::GenericDocument<rapidjson::UTF16<wchar_t>>;

std::wstring textMember(const WideDocument& document, const wchar_t* name) {
    const auto member = document.FindMember(name);
    if (member == document.MemberEnd() || !member->value.IsString()) {
        ADD_FAILURE() << "a message log line without " << testing::PrintToString(std::wstring(name));
        return {};
    }
    return std::wstring(member->value.GetString(), member->value.GetStringLength());
}

LoggedMessage parsed(const std::string& line) {
    WideDocument document;
    // The log is UTF-8; the payload may hold any character of the record.
    document.Parse<rapidjson::kParseDefaultFlags, rapidjson::UTF8<>>(line.c_str());
    if (document.HasParseError() || !document.IsObject()) {
        ADD_FAILURE() << "not a message log line: " << line;
        return {};
    }
    return {textMember(document, L"name"), textMember(document, L"alias"), textMember(document, L"payload")};
}
} // namespace

MessageLogFile::MessageLogFile()
    : path_(folder_.pathOf(L"messages.jsonl")), variable_(L"EVENTRELAY_LOG", path_) {}

std::vector<LoggedMessage> MessageLogFile::messages() const {
    std::vector<LoggedMessage> messages;
    std::ifstream log(std::filesystem::path(path_), std::ios::binary);
    std::string line;
    while (std::getline(log, line)) {
        messages.push_back(parsed(line));
    }
    return messages;
}

} // namespace PelmoraTests
