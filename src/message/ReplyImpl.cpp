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

ReplyImpl::ReplyImpl(std::shared_future<std::shared_ptr<Message>> future) : future(std::move(future)) {}

std::shared_ptr<Message> ReplyImpl::getMessage() const {
    return status == REPLY_STATUS_RECEIVED ? message : nullptr;
}

REPLY_STATUS ReplyImpl::wait() {
    if (status != REPLY_STATUS_RECEIVED) {
        status = getReplyMessage();
    }
    return status;
}

REPLY_STATUS ReplyImpl::waitFor(const std::chrono::milliseconds& limit) {
    if (!future.valid()) {
        HXLOG(ETWLogging::LOG_LEVEL_ERROR, logSource, L"Corvane::ReplyImpl::waitFor",
              L"Reply future is in an invalid state. Returning.");
        status = REPLY_STATUS_FAILED;
        return status;
    }
    if (future.wait_for(std::min(limit, longestWait)) != std::future_status::ready) {
        HXLOG(ETWLogging::LOG_LEVEL_WARNING, logSource, L"Corvane::ReplyImpl::waitFor",
              L"Reply waitFor timed out. Returning.");
        return status;
    }
    status = getReplyMessage();
    return status;
}

REPLY_STATUS ReplyImpl::getReplyMessage() {
    if (!future.valid()) {
        HXLOG(ETWLogging::LOG_LEVEL_ERROR, logSource, L"Corvane::ReplyImpl::getReplyMessage",
              L"Reply future is in an invalid state. Returning.");
        return REPLY_STATUS_FAILED;
    }
    try {
        message = future.get();
    } catch (const std::future_error& error) {
        return statusOfMark(error.code());
    } catch (const std::system_error& error) {
        return statusOfMark(error.code());
    }
    return message ? REPLY_STATUS_RECEIVED : REPLY_STATUS_FAILED;
}

} // namespace Corvane
