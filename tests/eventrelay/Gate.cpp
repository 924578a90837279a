#include "Gate.h"

#include "Limits.h"

namespace EventRelayTests {

void Gate::pass() {
    entered_.set_value();
    openedFuture_.wait_for(GENEROUS_LIMIT);
    passed_ = true;
}

bool Gate::waitEntered() {
    return entered_.get_future().wait_for(GENEROUS_LIMIT) == std::future_status::ready;
}

} // namespace EventRelayTests
