#include "message/ReplyImpl.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"

namespace Corvane {

namespace {
constexpr const wchar_t* logSource = L"message\\ReplyImpl";

// Longer limits overflow the clock arithmetic of the wait and would end it at once.
constexpr std::chrono::milliseconds longestWait = std::chrono::hours(24 * 365 * 100);

// The client marks a timed-out request with "operation canceled"; every other mark, the
// broken promise of a destroyed client included, is a failure.
REPLY_STATUS statusOfMark(const std::error_code& mark) {
    return mark == std::errc::operation_canceled ? REPLY_STATUS_TIMED_OUT : REPLY_STATUS_FAILED;
}
} // namespace

ReplyImpl::ReplyImpl(std::shared_future<std::shared_ptr<Message>> future) : future_(std::move(future)) {}

std::shared_ptr<Message> ReplyImpl::getMessage() const {
    return status_ == REPLY_STATUS_RECEIVED ? message_ : nullptr;
}

REPLY_STATUS ReplyImpl::wait() {
    if (status_ != REPLY_STATUS_RECEIVED) {
        status_ = getReplyMessage();
    }
    return status_;
}

REPLY_STATUS ReplyImpl::waitFor(const std::chrono::milliseconds& limit) {
    if (!future_.valid()) {
        HXLOG(ETWLogging::LOG_LEVEL_ERROR, logSource, L"Corvane::ReplyImpl::waitFor",
              L"Reply future is in an invalid state. Returning.");
        status_ = REPLY_STATUS_FAILED;
        return status_;
    }
    if (future_.wait_for(std::min(limit, longestWait)) != std::future_status::ready) {
        HXLOG(ETWLogging::LOG_LEVEL_WARNING, logSource, L"Corvane::ReplyImpl::waitFor",
              L"Reply waitFor timed out. Returning.");
        return status_;
    }
    status_ = getReplyMessage();
    return status_;
}

REPLY_STATUS ReplyImpl::getReplyMessage() {
    if (!future_.valid()) {
        HXLOG(ETWLogging::LOG_LEVEL_ERROR, logSource, L"Corvane::ReplyImpl::getReplyMessage",
              L"Reply future is in an invalid state. Returning.");
        return REPLY_STATUS_FAILED;
    }
    try {
        message_ = future_.get();
    } catch (const std::future_error& error) {
        return statusOfMark(error.code());
    } catch (const std::system_error& error) {
        return statusOfMark(error.code());
    }
    return message_ ? REPLY_STATUS_RECEIVED : REPLY_STATUS_FAILED;
}

} // namespace Corvane
