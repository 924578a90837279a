#pragma once

#include <cstddef>
#include <thread>
#include <utility>
#include <vector>

#include "StartLine.h"

namespace hxreport {

// Threads that are always joined; a run left early is called off first, so none waits forever.
class WorkerThreads {
public:
    WorkerThreads(StartLine& line, std::size_t count) : line_(line) { threads_.reserve(count); }
    ~WorkerThreads() {
        line_.release(false);
        joinAll();
    }

    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    template <typename Body> void start(Body&& body) { threads_.emplace_back(std::forward<Body>(body)); }

    void joinAll() {
        for (std::thread& thread : threads_) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }

private:
    StartLine& line_;
    std::vector<std::thread> threads_;
};

} // namespace hxreport
