#include "message/ReplyImpl.h"

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Logging/LogLevels.h"
#include "support/CapturingLogger.h"
#include "support/LogLine.h"

namespace {

using namespace Corvane;
using PelmoraTests::LogLine;
using Answer = std::shared_ptr<Message>;
using std::chrono::milliseconds;

// The marks the client puts on a request that did not get a usable answer.
std::exception_ptr mark(std::errc condition) {
    return std::make_exception_ptr(std::system_error(std::make_error_code(condition)));
}

LogLine line(DWORD level, const std::wstring& operation, const std::wstring& text) {
    return {level, L"message\\ReplyImpl", L"Corvane::ReplyImpl::" + operation, text};
}

class ReplyImplTest : public testing::Test {
protected:
    void SetUp() override { log = &PelmoraTests::InstallCapturingLogger(); }
    std::vector<LogLine> logged() const { return logLinesOf(*log); }

    // Sets the answer from a thread of its own, as the bus library's callback does.
    void answerFromAnotherThread(Answer message) {
        answering = std::thread([this, message] { promise.set_value(message); });
    }
    void TearDown() override {
        if (answering.joinable()) {
            answering.join();
        }
    }

    PelmoraTests::CapturingLogger* log = nullptr;
    std::promise<Answer> promise;
    ReplyImpl reply{promise.get_future().share()};
    Answer answer = Message::create(L"Test.v1.Pong", L"Tests", L"{}");
    std::thread answering;
};

TEST_F(ReplyImplTest, StartsPendingWithoutMessage) {
    EXPECT_EQ(REPLY_STATUS_PENDING, reply.getStatus());
    EXPECT_EQ(nullptr, reply.getMessage());
}

TEST_F(ReplyImplTest, WaitSettlesEveryOutcomeTheSameWayEachTime) {
    const struct {
        const char* outcome;
        std::function<void(std::promise<Answer>&, const Answer&)> settle;
        REPLY_STATUS expected;
    } cases[] = {
        {"answer", [](std::promise<Answer>& p, const Answer& a) { p.set_value(a); }, REPLY_STATUS_RECEIVED},
        {"answer without message", [](std::promise<Answer>& p, const Answer&) { p.set_value(nullptr); },
         REPLY_STATUS_FAILED},
        {"timed out",
         [](std::promise<Answer>& p, const Answer&) { p.set_exception(mark(std::errc::operation_canceled)); },
         REPLY_STATUS_TIMED_OUT},
        {"bus error",
         [](std::promise<Answer>& p, const Answer&) {
             p.set_exception(mark(std::errc::no_message_available));
         },
         REPLY_STATUS_FAILED},
        {"promise abandoned",
         [](std::promise<Answer>& p, const Answer&) { std::promise<Answer> dropped(std::move(p)); },
         REPLY_STATUS_FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outcome);
        std::promise<Answer> source;
        ReplyImpl subject(source.get_future().share());
        c.settle(source, answer);

        EXPECT_EQ(c.expected, subject.wait());
        EXPECT_EQ(c.expected, subject.wait());
        EXPECT_EQ(c.expected, subject.getStatus());
        EXPECT_EQ(c.expected == REPLY_STATUS_RECEIVED ? answer : nullptr, subject.getMessage());
    }
    EXPECT_TRUE(logged().empty());
}

TEST_F(ReplyImplTest, WaitForWithoutTimeLeftOnlyLooks) {
    for (const milliseconds limit : {milliseconds(0), milliseconds(-5)}) {
        EXPECT_EQ(REPLY_STATUS_PENDING, reply.waitFor(limit));
    }
    const auto timedOut =
        line(ETWLogging::LOG_LEVEL_WARNING, L"waitFor", L"Reply waitFor timed out. Returning.");
    EXPECT_EQ((std::vector<LogLine>{timedOut, timedOut}), logged());

    promise.set_value(answer);
    EXPECT_EQ(REPLY_STATUS_RECEIVED, reply.waitFor(milliseconds(0)));
    EXPECT_EQ(answer, reply.getMessage());
}

TEST_F(ReplyImplTest, WaitForReturnsWithTheAnswerFromAnotherThread) {
    answerFromAnotherThread(answer);
    EXPECT_EQ(REPLY_STATUS_RECEIVED, reply.waitFor(milliseconds(20000)));
    EXPECT_EQ(answer, reply.getMessage());
    EXPECT_TRUE(logged().empty());
}

TEST_F(ReplyImplTest, WaitForTheLongestLimitWaitsForTheAnswer) {
    auto waited = std::async(std::launch::async, [this] { return reply.waitFor(milliseconds::max()); });
    // Correct code cannot be ready here; a limit that overflowed the clock would be.
    ASSERT_EQ(std::future_status::timeout, waited.wait_for(milliseconds(200)));
    promise.set_value(answer);
    ASSERT_EQ(std::future_status::ready, waited.wait_for(milliseconds(20000)));
    EXPECT_EQ(REPLY_STATUS_RECEIVED, waited.get());
    EXPECT_TRUE(logged().empty());
}

TEST_F(ReplyImplTest, ReadsAnAnswerThatCameAfterAFailedLook) {
    EXPECT_EQ(REPLY_STATUS_PENDING, reply.waitFor(milliseconds(0)));
    promise.set_exception(mark(std::errc::operation_canceled));
    EXPECT_EQ(REPLY_STATUS_TIMED_OUT, reply.wait());
    EXPECT_EQ(REPLY_STATUS_TIMED_OUT, reply.waitFor(milliseconds(0)));
    EXPECT_EQ(nullptr, reply.getMessage());
}

TEST(ReplyImplWithoutFuture, FailsWithItsErrorLine) {
    const struct {
        const char* operation;
        std::function<REPLY_STATUS(ReplyImpl&)> call;
        std::wstring loggedBy;
    } cases[] = {
        {"wait", [](ReplyImpl& r) { return r.wait(); }, L"getReplyMessage"},
        {"waitFor", [](ReplyImpl& r) { return r.waitFor(milliseconds(1000)); }, L"waitFor"},
        {"getReplyMessage", [](ReplyImpl& r) { return r.getReplyMessage(); }, L"getReplyMessage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        auto& log = PelmoraTests::InstallCapturingLogger();
        ReplyImpl subject{std::shared_future<Answer>()};
        EXPECT_EQ(REPLY_STATUS_FAILED, c.call(subject));
        EXPECT_EQ(nullptr, subject.getMessage());
        EXPECT_EQ((std::vector<LogLine>{line(ETWLogging::LOG_LEVEL_ERROR, c.loggedBy,
                                             L"Reply future is in an invalid state. Returning.")}),
                  logLinesOf(log));
    }
}

} // namespace
