#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "businterface/BusLibraryInterface.h"
#include "messagebus/MessageBusShim.h"

namespace Corvane {

// Calls the bus library's function table directly, with the bus handle first, and receives
// what the library calls back.
class MessageBusShimImpl : public MessageBusShim {
public:
    // Neither is owned. Throws ModuleException when either is null or the table lacks an entry.
    MessageBusShimImpl(BusHandle handle, BusFunctions* functions);
    // Withdraws the reply callback, so that no answer arrives after this object is gone.
    ~MessageBusShimImpl() override;

    MessageBusShimImpl(const MessageBusShimImpl&) = delete;
    MessageBusShimImpl& operator=(const MessageBusShimImpl&) = delete;

    MODULE_STATUS publish(const std::shared_ptr<Message>& message) override;
    MODULE_STATUS request(const std::shared_ptr<Message>& message, std::uint64_t requestIndex,
                          ReplyFunction* context, std::uint64_t timeLimit) override;
    MODULE_STATUS cancelReplies() override;
    std::uint32_t subscribe(const std::wstring& messageName, MessageHandler* context) override;
    std::uint32_t subscribeFilter(const std::wstring& pattern, MessageHandler* context) override;
    MODULE_STATUS unsubscribe(std::uint32_t subscriptionId) override;

    // The library's callbacks; context is the MessageHandler or ReplyFunction given with the
    // call. Nothing thrown gets back into the library: it becomes MODULE_STATUS_UNKNOWN_EXCEPTION.
    static MODULE_STATUS onBusMessage(void* context, const MessageHeader* header, const wchar_t* name,
                                      const wchar_t* alias, const wchar_t* payload);
    // Logs and throws ModuleException unless the table is there with all its entries.
    static void requireUsable(const BusFunctions* functions);

    static MODULE_STATUS onBusReply(void* context, std::uint64_t requestIndex, const MessageHeader* header,
                                    const wchar_t* name, const wchar_t* alias, const wchar_t* payload,
                                    MODULE_STATUS status);

private:
    BusHandle handle_;
    BusFunctions* functions_;
};

} // namespace Corvane
