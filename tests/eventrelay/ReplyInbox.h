#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "businterface/BusLibraryInterface.h"

namespace EventRelayTests {

struct Answer {
    void* context;
    std::uint64_t requestIndex;
    Corvane::MODULE_STATUS status;
    std::optional<Corvane::MessageHeader> header;
    // Empty where the library passed null.
    std::optional<std::wstring> name;
    std::optional<std::wstring> alias;
    std::optional<std::wstring> payload;
};

// The requester side of a test: keeps every answer; the context of its requests is the
// inbox itself. Two callbacks, so that withdrawing one can be told from withdrawing all.
class ReplyInbox {
public:
    static Corvane::MODULE_STATUS receive(void* context, std::uint64_t requestIndex,
                                          const Corvane::MessageHeader* header, const wchar_t* name,
                                          const wchar_t* alias, const wchar_t* payload,
                                          Corvane::MODULE_STATUS status);
    static Corvane::MODULE_STATUS receiveToo(void* context, std::uint64_t requestIndex,
                                             const Corvane::MessageHeader* header, const wchar_t* name,
                                             const wchar_t* alias, const wchar_t* payload,
                                             Corvane::MODULE_STATUS status);

    // Runs inside each answer, on the bus library's thread, after it has been kept.
    void onAnswer(std::function<void(const Answer&)> hook) { hook_ = std::move(hook); }

    bool waitFor(std::size_t count) const;
    std::vector<Answer> answers() const;

private:
    void keep(const Answer& answer);

    std::function<void(const Answer&)> hook_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<Answer> answers_;
};

} // namespace EventRelayTests
