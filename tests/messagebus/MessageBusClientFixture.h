#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/LogLevels.h"
#include "message/Message.h"
#include "messagebus/CallJournal.h"
#include "messagebus/FakeMessageBusShim.h"
#include "messagebus/FakeProcessAPI.h"
#include "messagebus/MessageBusClient.h"
#include "support/CapturingLogger.h"
#include "support/LogLine.h"

namespace PelmoraTests {

// A client in session 5 of process 4242 over a fake binding, with a clean log.
class MessageBusClientFixture : public testing::Test {
protected:
    static constexpr DWORD processId = 4242;
    static constexpr DWORD clientSession = 5;

    void SetUp() override {
        log = &InstallCapturingLogger();
        client = makeClient(clientSession);
        log->clear();
    }

    std::unique_ptr<Corvane::MessageBusClient> makeClient(DWORD session) {
        return std::make_unique<Corvane::MessageBusClient>(
            shim, std::make_shared<FakeProcessAPI>(processId, TRUE, session));
    }

    // Lines of the client's own source file.
    static LogLine line(DWORD level, const std::wstring& operation, const std::wstring& text) {
        return {level, L"MessageBusClient", L"Corvane::MessageBusClient::" + operation, text};
    }
    std::vector<LogLine> logged() const { return logLinesOf(*log); }
    std::vector<std::string> calls() const { return journal->calls(); }

    static std::shared_ptr<Corvane::Message> message(const std::wstring& name = L"Test.v1.Ping") {
        return Corvane::Message::create(name, L"Tests", L"{}");
    }

    CapturingLogger* log = nullptr;
    std::shared_ptr<CallJournal> journal = std::make_shared<CallJournal>();
    std::shared_ptr<FakeMessageBusShim> shim = std::make_shared<FakeMessageBusShim>(journal);
    std::unique_ptr<Corvane::MessageBusClient> client;
};

} // namespace PelmoraTests
