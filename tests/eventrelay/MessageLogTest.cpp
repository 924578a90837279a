#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <set>
#include <thread>

#include <rapidjson/document.h>
#include <shlobj.h>

#include "ChildProcess.h"
#include "PageEndHeader.h"
#include "RelayTest.h"

namespace EventRelayTests {
namespace {

using namespace Corvane;

struct LoggedLine {
    std::string time;
    DWORD pid;
    std::string rest;
};

LoggedLine split(const std::string& line) {
    static const std::regex layout(
        R"re(\{"time":"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)","pid":(\d+),(.*))re");
    std::smatch match;
    if (!std::regex_match(line, match, layout)) {
        ADD_FAILURE() << "not a message log line: " << line;
        return {};
    }
    return {match[1], static_cast<DWORD>(std::stoul(match[2])), match[3]};
}

std::string utcNow() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    char text[32];
    snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

std::string utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

using MessageLogTest = RelayTest;

TEST_F(MessageLogTest, WritesOneExactLinePerMessage) {
    BusConnection connection(bus_);
    PageEndHeader versionOne(makeHeader(8, 100, 0, MESSAGE_HEADER_VERSION_1));
    MessageHeader versionTwo = makeHeader(0x15, 120, 7);
    const std::string before = utcNow();

    ASSERT_EQ(bus_.publish(connection.handle(), &versionTwo, L"Log.Test", L"Some.Alias", L"one"),
              MODULE_STATUS_SUCCESS);
    ASSERT_EQ(bus_.publish(connection.handle(), versionOne.get(), L"Odd\"Name\\", L"", L"two"),
              MODULE_STATUS_SUCCESS);
    ASSERT_EQ(bus_.publish(connection.handle(), &versionTwo, L"No.Alias", nullptr, nullptr),
              MODULE_STATUS_SUCCESS);

    const std::string after = utcNow();
    const std::vector<std::string> expected = {
        R"("name":"Log.Test","alias":"Some.Alias","payload":"one","flags":21,"version":2,"sessionId":7,"totalSize":120})",
        R"("name":"Odd\"Name\\","alias":"","payload":"two","flags":8,"version":1,"sessionId":0,"totalSize":100})",
        R"("name":"No.Alias","alias":"","payload":"","flags":21,"version":2,"sessionId":7,"totalSize":120})",
    };
    const std::vector<std::string> lines = log_.lines();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LoggedLine line = split(lines[i]);
        EXPECT_EQ(line.rest, expected[i]);
        EXPECT_EQ(line.pid, GetCurrentProcessId());
        EXPECT_LE(before, line.time);
        EXPECT_LE(line.time, after);
    }
}

TEST_F(MessageLogTest, EscapesTextAsJsonInUtf8) {
    struct Case {
        std::wstring payload;
        std::string logged;
    };
    const std::vector<Case> cases = {
        {L"plain / text", "plain / text"},       {L"say \"hi\"", R"(say \"hi\")"},
        {L"C:\\dir\\", R"(C:\\dir\\)"},          {L"\b\f\n\r\t", R"(\b\f\n\r\t)"},
        {L"\x01\x1f\x7f", "\\u0001\\u001f\x7f"}, {L"caf\u00e9 \u20ac", "caf\xc3\xa9 \xe2\x82\xac"},
        {L"\U0001F600", "\xf0\x9f\x98\x80"},     {L"{\"a\":[1]}", R"({\"a\":[1]})"},
    };
    BusConnection connection(bus_);
    for (const Case& c : cases) {
        ASSERT_EQ(connection.publish(L"Escape.Test", c.payload.c_str()), MODULE_STATUS_SUCCESS);
    }
    const std::vector<std::string> lines = log_.lines();
    ASSERT_EQ(lines.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(split(lines[i]).rest, R"("name":"Escape.Test","alias":"Tests","payload":")" +
                                            cases[i].logged +
                                            R"(","flags":0,"version":2,"sessionId":1,"totalSize":120})");
    }
}

TEST_F(MessageLogTest, WithoutTheVariableLogsUnderProgramData) {
    SetEnvironmentVariableW(L"EVENTRELAY_LOG", nullptr);
    PWSTR programData = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &programData), S_OK);
    const std::wstring folder = std::wstring(programData) + L"\\EventRelay";
    CoTaskMemFree(programData);
    const std::wstring marker = L"default-" + std::to_wstring(GetTickCount64());

    BusConnection connection(bus_);
    ASSERT_EQ(connection.publish(L"Default.Log", marker.c_str()), MODULE_STATUS_SUCCESS);

    const HANDLE file = CreateFileW((folder + L"\\messages.jsonl").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string content(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    EXPECT_NE(content.find(R"("payload":")" + utf8(marker) + "\""), std::string::npos);
}

TEST_F(MessageLogTest, MessageThatCannotBeLoggedIsRefusedAndNotDelivered) {
    SetEnvironmentVariableW(L"EVENTRELAY_LOG", (log_.path() + L".missing\\messages.jsonl").c_str());
    Inbox inbox;
    BusConnection connection(bus_);
    ASSERT_NE(connection.subscribe(inbox, L"Unlogged"), 0u);
    EXPECT_EQ(connection.publish(L"Unlogged"), MODULE_STATUS_UNSUCCESSFUL);

    SetEnvironmentVariableW(L"EVENTRELAY_LOG", log_.path().c_str());
    flush(connection);
    EXPECT_TRUE(inbox.deliveries().empty());
}

// Publishes its share when started by the concurrency test below; skipped otherwise.
TEST(EventRelayChildPublisher, PublishesItsShare) {
    wchar_t prefix[64];
    if (GetEnvironmentVariableW(L"EVENTRELAY_TEST_PUBLISHER", prefix, 64) == 0) {
        GTEST_SKIP() << "runs only as a child of the concurrency test";
    }
    BusLibrary library(BuildTree::eventRelay());
    BusConnection connection(*library.createObject());
    for (int n = 0; n < 100; ++n) {
        ASSERT_EQ(connection.publish(L"Load.Test", (prefix + std::to_wstring(n)).c_str()),
                  MODULE_STATUS_SUCCESS);
    }
}

std::vector<std::string> keysOf(const rapidjson::Document& document) {
    std::vector<std::string> keys;
    for (auto member = document.MemberBegin(); member != document.MemberEnd(); ++member) {
        keys.emplace_back(member->name.GetString());
    }
    return keys;
}

TEST_F(MessageLogTest, ConcurrentPublishersLogEveryMessageOnceInALineOfItsOwn) {
    constexpr int THREADS = 4;
    constexpr int PROCESSES = 2;
    constexpr int EACH = 100;
    Inbox inbox;
    BusConnection connection(bus_);
    ASSERT_NE(connection.subscribe(inbox, L"Load.Test"), 0u);

    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int p = 0; p < PROCESSES; ++p) {
        SetEnvironmentVariableW(L"EVENTRELAY_TEST_PUBLISHER", (L"p" + std::to_wstring(p) + L"-").c_str());
        children.push_back(std::make_unique<ChildProcess>(L"EventRelayChildPublisher.*"));
    }
    SetEnvironmentVariableW(L"EVENTRELAY_TEST_PUBLISHER", nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < EACH; ++n) {
                const std::wstring payload = L"t" + std::to_wstring(t) + L"-" + std::to_wstring(n);
                EXPECT_EQ(connection.publish(L"Load.Test", payload.c_str()), MODULE_STATUS_SUCCESS);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (auto& child : children) {
        EXPECT_EQ(child->waitForExit(), 0u);
    }

    // This process's own messages reach its subscriber, each thread's in its order.
    ASSERT_TRUE(inbox.waitFor(THREADS * EACH));
    std::map<wchar_t, int> nextOfThread;
    for (const std::wstring& payload : inbox.payloads()) {
        const int n = std::stoi(payload.substr(payload.find(L'-') + 1));
        EXPECT_EQ(n, nextOfThread[payload[1]]++) << "delivered out of order";
    }

    std::multiset<std::string> logged;
    for (const std::string& line : log_.lines()) {
        rapidjson::Document document;
        ASSERT_FALSE(document.Parse(line.c_str()).HasParseError()) << line;
        EXPECT_EQ(keysOf(document), (std::vector<std::string>{"time", "pid", "name", "alias", "payload",
                                                              "flags", "version", "sessionId", "totalSize"}));
        logged.insert(document["payload"].GetString());
    }
    std::multiset<std::string> published;
    for (int t = 0; t < THREADS; ++t) {
        for (int n = 0; n < EACH; ++n) {
            published.insert("t" + std::to_string(t) + "-" + std::to_string(n));
        }
    }
    for (int p = 0; p < PROCESSES; ++p) {
        for (int n = 0; n < EACH; ++n) {
            published.insert("p" + std::to_string(p) + "-" + std::to_string(n));
        }
    }
    EXPECT_EQ(logged, published);
}

} // namespace
} // namespace EventRelayTests
