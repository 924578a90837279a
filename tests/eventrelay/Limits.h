#pragma once

#include <chrono>

namespace EventRelayTests {

// How long a test waits for something that should happen at once; only reached on failure.
constexpr std::chrono::seconds GENEROUS_LIMIT{10};

} // namespace EventRelayTests
