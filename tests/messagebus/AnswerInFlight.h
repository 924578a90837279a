#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <utility>

#include <gtest/gtest.h>

#include "status/ModuleStatus.h"

namespace PelmoraTests {

// A call into the client running on a thread of its own, as the bus library's callbacks do.
// The thread is joined, never detached: detached threads that end while others start are
// unreliable under Wine.
class AnswerInFlight {
public:
    template <typename Call> explicit AnswerInFlight(Call call) {
        auto done = std::make_shared<std::promise<Corvane::MODULE_STATUS>>();
        result = done->get_future();
        thread = std::make_unique<std::thread>([done, call = std::move(call)] { done->set_value(call()); });
    }
    ~AnswerInFlight() {
        if (thread) {
            take();
        }
    }
    AnswerInFlight(AnswerInFlight&&) = default;
    AnswerInFlight& operator=(AnswerInFlight&&) = delete;

    // The client's result, waited for with a generous limit.
    Corvane::MODULE_STATUS take() {
        if (result.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the client did not return";
            (void)thread.release(); // stuck inside the client: joining would hang the test run
            return Corvane::MODULE_STATUS_INVALID_STATE;
        }
        thread->join();
        thread.reset();
        return result.get();
    }

private:
    std::future<Corvane::MODULE_STATUS> result;
    std::unique_ptr<std::thread> thread;
};

} // namespace PelmoraTests
