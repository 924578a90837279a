#include "messagebus/MessageBusLib.h"

#include <utility>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"
#include "messagebus/MessageBusShimImpl.h"
#include "performance/PerfTimer.h"
#include "status/GuardedCall.h"
#include "status/ModuleException.h"

namespace Corvane {

const SharedLibraryInfo messageBusLibraryInfo = {L"EventRelay.dll",
                                                 {L"$(App.Folder)", L"$(Tamrok.InstallDir)"}};

namespace {

constexpr const wchar_t* logSource = L"MessageBusLib";
constexpr const wchar_t* constructorName = L"Corvane::MessageBusLib::MessageBusLib";

// Null when the library offers no CreateObject or it refuses our table version.
BusFunctions* createFunctions(SharedLibrary& library) {
    const LibraryFunctionTable* table = library.getFunctionTable();
    if (table == nullptr || table->createObject == nullptr) {
        return nullptr;
    }
    // Through the generic function pointer type, which converts to any other without a warning.
    const auto createObject =
        reinterpret_cast<BusCreateObjectFn>(reinterpret_cast<void (*)()>(table->createObject));
    return createObject(BUS_FUNCTIONS_VERSION);
}

} // namespace

using namespace ETWLogging;

MessageBusLib::MessageBusLib(std::shared_ptr<SharedLibrary> library, std::shared_ptr<MessageBusShim> shim)
    : library_(std::move(library)), shim_(std::move(shim)) {
    internal::PerfTimer timer(L"MessageBusLib::MessageBusLib");
    if (!library_) {
        library_ = std::make_shared<SharedLibrary>(messageBusLibraryInfo);
    }
    bindFunctions();
    acquireHandle();
    if (!shim_) {
        shim_ = std::make_shared<MessageBusShimImpl>(handle_, functions_);
    }
}

MessageBusLib::~MessageBusLib() {
    // The shim withdraws its reply callback before the handle goes.
    shim_.reset();
    releaseHandle();
    library_.reset();
}

void MessageBusLib::bindFunctions() {
    functions_ = createFunctions(*library_);
    if (functions_ == nullptr) {
        HXLOG(LOG_LEVEL_ERROR, logSource, constructorName,
              L"Failed to get message bus functions object. Throwing ModuleException.");
        throw ModuleException("Failed to get message bus functions object");
    }
    // Before the first call through it: acquireHandle is one of its entries.
    MessageBusShimImpl::requireUsable(functions_);
}

void MessageBusLib::acquireHandle() {
    const MODULE_STATUS status = functions_->acquireHandle(&handle_);
    if (status != MODULE_STATUS_SUCCESS) {
        HXLOG(LOG_LEVEL_ERROR, logSource, constructorName,
              L"Failed to get message bus handle. Error code: %ls(%lu). Throwing ModuleException.",
              moduleStatusName(status), static_cast<unsigned long>(status));
        throw ModuleException("Failed to get message bus handle");
    }
}

void MessageBusLib::releaseHandle() noexcept {
    guardedCall([this] {
        const MODULE_STATUS status = functions_->releaseHandle(handle_);
        if (status != MODULE_STATUS_SUCCESS) {
            HXLOG(LOG_LEVEL_WARNING, logSource, L"Corvane::MessageBusLib::~MessageBusLib",
                  L"Failed to release message bus. Error code %ls(%lu).", moduleStatusName(status),
                  static_cast<unsigned long>(status));
        }
        return status;
    });
}

MODULE_STATUS MessageBusLib::publish(const std::shared_ptr<Message>& message) {
    return shim_->publish(message);
}

MODULE_STATUS MessageBusLib::request(const std::shared_ptr<Message>& message, std::uint64_t requestIndex,
                                     ReplyFunction* context, std::uint64_t timeLimit) {
    return shim_->request(message, requestIndex, context, timeLimit);
}

MODULE_STATUS MessageBusLib::cancelReplies() {
    return shim_->cancelReplies();
}

std::uint32_t MessageBusLib::subscribe(const std::wstring& messageName, MessageHandler* context) {
    return shim_->subscribe(messageName, context);
}

std::uint32_t MessageBusLib::subscribeFilter(const std::wstring& pattern, MessageHandler* context) {
    return shim_->subscribeFilter(pattern, context);
}

MODULE_STATUS MessageBusLib::unsubscribe(std::uint32_t subscriptionId) {
    return shim_->unsubscribe(subscriptionId);
}

} // namespace Corvane
