#include "Inbox.h"

#include <cstring>

#include "Limits.h"

namespace EventRelayTests {

Corvane::MODULE_STATUS Inbox::receive(void* context, const Corvane::MessageHeader* header,
                                      const wchar_t* name, const wchar_t* alias, const wchar_t* payload) {
    Delivery delivery{};
    const std::size_t size = header->version == Corvane::MESSAGE_HEADER_VERSION_2
                                 ? Corvane::MESSAGE_HEADER_V2_SIZE
                                 : Corvane::MESSAGE_HEADER_V1_SIZE;
    std::memcpy(&delivery.header, header, size);
    delivery.name = name;
    delivery.alias = alias;
    delivery.payload = payload;
    Inbox* inbox = static_cast<Inbox*>(context);
    inbox->keep(delivery);
    if (inbox->hook_) {
        inbox->hook_(delivery);
    }
    return Corvane::MODULE_STATUS_SUCCESS;
}

bool Inbox::waitFor(std::size_t count) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, GENEROUS_LIMIT, [&] { return deliveries_.size() >= count; });
}

std::vector<Delivery> Inbox::deliveries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return deliveries_;
}

std::vector<std::wstring> Inbox::payloads() const {
    std::vector<std::wstring> payloads;
    for (const Delivery& delivery : deliveries()) {
        payloads.push_back(delivery.payload);
    }
    return payloads;
}

void Inbox::keep(const Delivery& delivery) {
    std::lock_guard<std::mutex> lock(mutex_);
    deliveries_.push_back(delivery);
    arrived_.notify_all();
}

} // namespace EventRelayTests
