#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace PelmoraTests {

// The calls a fake bus binding received, in order. Shared with the test, so that it outlives
// the binding and shows the binding's own destruction too.
class CallJournal {
public:
    void add(std::string call) {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(std::move(call));
    }
    std::vector<std::string> calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

} // namespace PelmoraTests
