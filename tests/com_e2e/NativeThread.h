#pragma once

#include <functional>

#include "utils/UniqueResource.h"

namespace PelmoraTests {

// A thread made with CreateThread, joined by join or at the latest when the object goes.
// Unlike std::thread its start and end run no winpthreads code of this executable, whose
// mutexes make an event the first time two threads end at once: a handle that would count
// against the code under test.
class NativeThread {
public:
    explicit NativeThread(std::function<void()> body);
    ~NativeThread() { join(); }
    NativeThread(const NativeThread&) = delete;
    NativeThread& operator=(const NativeThread&) = delete;

    void join();

private:
    static DWORD WINAPI run(void* self);

    std::function<void()> body_;
    Vornix::UniqueHandle thread_;
};

} // namespace PelmoraTests
