#pragma once

#include <future>
#include <memory>

#include "message/Message.h"
#include "message/Reply.h"

namespace Corvane {

// A reply over the shared future of the client's promise. The future is shared so that the
// answer, or the mark of its failure, can be read any number of times, also after the
// client is gone.
class ReplyImpl : public Reply {
public:
    explicit ReplyImpl(std::shared_future<std::shared_ptr<Message>> future);

    REPLY_STATUS getStatus() const override { return status_; }
    std::shared_ptr<Message> getMessage() const override;
    REPLY_STATUS wait() override;
    REPLY_STATUS waitFor(const std::chrono::milliseconds& limit) override;

    // Blocks until the answer is there and reads it; the status is left to the caller.
    REPLY_STATUS getReplyMessage();

private:
    REPLY_STATUS status_ = REPLY_STATUS_PENDING;
    std::shared_ptr<Message> message_;
    std::shared_future<std::shared_ptr<Message>> future_;
};

} // namespace Corvane
