#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "businterface/BusLibraryInterface.h"

namespace EventRelayTests {

struct Delivery {
    Corvane::MessageHeader header;
    std::wstring name;
    std::wstring alias;
    std::wstring payload;
};

// The subscriber side of a test: keeps every delivery made to it; the context of its
// subscriptions is the inbox itself, so it must outlive the connections that deliver to it.
class Inbox {
public:
    static Corvane::MODULE_STATUS receive(void* context, const Corvane::MessageHeader* header,
                                          const wchar_t* name, const wchar_t* alias, const wchar_t* payload);

    // Runs inside each delivery, on the bus library's thread, after it has been kept.
    void onDelivery(std::function<void(const Delivery&)> hook) { hook_ = std::move(hook); }

    bool waitFor(std::size_t count) const;
    std::vector<Delivery> deliveries() const;
    std::vector<std::wstring> payloads() const;

private:
    void keep(const Delivery& delivery);

    std::function<void(const Delivery&)> hook_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<Delivery> deliveries_;
};

} // namespace EventRelayTests
