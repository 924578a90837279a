#pragma once

#include <functional>
#include <future>
#include <memory>

#include "message/Message.h"

namespace Corvane {

// A request waiting for its answer. Dropping it unfulfilled breaks the promise, which the
// waiting reply reads as a failure.
struct PendingReply {
    std::promise<std::shared_ptr<Message>> promise;
    // Empty for a request with an out reply; hands the settled reply to a ReplyHandler.
    std::function<void()> onComplete;
};

} // namespace Corvane
