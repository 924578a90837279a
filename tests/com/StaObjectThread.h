#pragma once

#include <future>
#include <thread>

#include <objbase.h>

#include "utils/UniqueResource.h"

namespace PelmoraTests {

// A thread in a single-threaded apartment of its own that creates the analytics object there,
// hands it out marshalled, and serves calls to it (pumping messages) until it is destroyed.
class StaObjectThread {
public:
    StaObjectThread();
    ~StaObjectThread();
    StaObjectThread(const StaObjectThread&) = delete;
    StaObjectThread& operator=(const StaObjectThread&) = delete;

    // The object for the calling thread's apartment, through a proxy; null on failure with the
    // HRESULT in result.
    IUnknown* unmarshal(HRESULT& result);

private:
    void run();
    void serve();

    Vornix::UniqueHandle stop_;
    std::promise<IStream*> marshalled_;
    std::promise<HRESULT> created_;
    std::thread thread_;
};

} // namespace PelmoraTests
