#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace hxreport {

// Holds every runner until all are ready, so that set-up stays out of the measured time.
class StartLine {
public:
    explicit StartLine(std::size_t runners) : notArrived_(runners) {}

    StartLine(const StartLine&) = delete;
    StartLine& operator=(const StartLine&) = delete;

    // Once per runner. False when the run was called off.
    bool arriveAndWait();
    void waitForAll();
    // Only the first call counts.
    void release(bool go);

private:
    enum class State { Waiting, Go, CalledOff };

    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t notArrived_;
    State state_ = State::Waiting;
};

} // namespace hxreport
