#include "ReplyInbox.h"

#include <cstring>

#include "Limits.h"

namespace EventRelayTests {

namespace {
std::optional<std::wstring> textOf(const wchar_t* text) {
    return text != nullptr ? std::optional<std::wstring>(text) : std::nullopt;
}
} // namespace

Corvane::MODULE_STATUS ReplyInbox::receive(void* context, std::uint64_t requestIndex,
                                           const Corvane::MessageHeader* header, const wchar_t* name,
                                           const wchar_t* alias, const wchar_t* payload,
                                           Corvane::MODULE_STATUS status) {
    Answer answer{context, requestIndex, status, std::nullopt, textOf(name), textOf(alias), textOf(payload)};
    if (header != nullptr) {
        answer.header.emplace();
        const std::size_t size = header->version == Corvane::MESSAGE_HEADER_VERSION_2
                                     ? Corvane::MESSAGE_HEADER_V2_SIZE
                                     : Corvane::MESSAGE_HEADER_V1_SIZE;
        std::memcpy(&*answer.header, header, size);
    }
    ReplyInbox* inbox = static_cast<ReplyInbox*>(context);
    inbox->keep(answer);
    if (inbox->hook_) {
        inbox->hook_(answer);
    }
    return Corvane::MODULE_STATUS_SUCCESS;
}

Corvane::MODULE_STATUS ReplyInbox::receiveToo(void* context, std::uint64_t requestIndex,
                                              const Corvane::MessageHeader* header, const wchar_t* name,
                                              const wchar_t* alias, const wchar_t* payload,
                                              Corvane::MODULE_STATUS status) {
    return receive(context, requestIndex, header, name, alias, payload, status);
}

bool ReplyInbox::waitFor(std::size_t count) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, GENEROUS_LIMIT, [&] { return answers_.size() >= count; });
}

std::vector<Answer> ReplyInbox::answers() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return answers_;
}

void ReplyInbox::keep(const Answer& answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(answer);
    arrived_.notify_all();
}

} // namespace EventRelayTests
