#include "NativeThread.h"

#include <stdexcept>
#include <utility>

namespace PelmoraTests {

NativeThread::NativeThread(std::function<void()> body)
    : body_(std::move(body)), thread_(CreateThread(nullptr, 0, &NativeThread::run, this, 0, nullptr)) {
    if (!thread_) {
        throw std::runtime_error("a thread does not start");
    }
}

void NativeThread::join() {
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
}

DWORD WINAPI NativeThread::run(void* self) {
    static_cast<NativeThread*>(self)->body_();
    return 0;
}

} // namespace PelmoraTests
