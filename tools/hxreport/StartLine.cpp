#include "StartLine.h"

namespace hxreport {

bool StartLine::arriveAndWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    --notArrived_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return state_ != State::Waiting; });
    return state_ == State::Go;
}

void StartLine::waitForAll() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return notArrived_ == 0; });
}

void StartLine::release(bool go) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (state_ != State::Waiting) {
            return;
        }
        state_ = go ? State::Go : State::CalledOff;
    }
    changed_.notify_all();
}

} // namespace hxreport
