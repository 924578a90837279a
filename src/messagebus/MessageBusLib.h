#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dll/SharedLibrary.h"
#include "dll/SharedLibraryInfo.h"
#include "businterface/BusLibraryInterface.h"
#include "messagebus/MessageBusShim.h"

namespace Corvane {

// Where the bus library is found: "EventRelay.dll" beside the host, else in the install folder.
extern const SharedLibraryInfo messageBusLibraryInfo;

// The binding to the bus library: the loaded library, its function table, one bus handle and
// the shim that does the calls. It exists only fully bound; destruction releases the handle
// and unloads the library.
class MessageBusLib : public MessageBusShim {
public:
    // An empty library loads messageBusLibraryInfo; an empty shim becomes a MessageBusShimImpl
    // over this binding. Throws ModuleException when the library cannot be bound.
    MessageBusLib(std::shared_ptr<SharedLibrary> library = nullptr,
                  std::shared_ptr<MessageBusShim> shim = nullptr);
    ~MessageBusLib() override;

    MessageBusLib(const MessageBusLib&) = delete;
    MessageBusLib& operator=(const MessageBusLib&) = delete;

    MODULE_STATUS publish(const std::shared_ptr<Message>& message) override;
    MODULE_STATUS request(const std::shared_ptr<Message>& message, std::uint64_t requestIndex,
                          ReplyFunction* context, std::uint64_t timeLimit) override;
    MODULE_STATUS cancelReplies() override;
    std::uint32_t subscribe(const std::wstring& messageName, MessageHandler* context) override;
    std::uint32_t subscribeFilter(const std::wstring& pattern, MessageHandler* context) override;
    MODULE_STATUS unsubscribe(std::uint32_t subscriptionId) override;

private:
    void bindFunctions();
    void acquireHandle();
    void releaseHandle() noexcept;

    std::shared_ptr<SharedLibrary> library_;
    std::shared_ptr<MessageBusShim> shim_;
    BusHandle handle_ = nullptr;
    BusFunctions* functions_ = nullptr;
};

} // namespace Corvane
