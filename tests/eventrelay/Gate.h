#pragma once

#include <atomic>
#include <future>

namespace EventRelayTests {

// Holds a callback inside its delivery until the test opens it, so that a test can act
// while a delivery is known to be running.
class Gate {
public:
    // Called inside the delivery.
    void pass();

    bool waitEntered();
    void open() { opened_.set_value(); }
    bool passed() const { return passed_; }

private:
    std::promise<void> entered_;
    std::promise<void> opened_;
    std::shared_future<void> openedFuture_{opened_.get_future().share()};
    std::atomic<bool> passed_{false};
};

} // namespace EventRelayTests
