#include "status/GuardedCall.h"

namespace Corvane {

MODULE_STATUS guardedCall(const std::function<MODULE_STATUS()>& call) noexcept {
    try {
        return call();
    } catch (...) {
        // std::bad_function_call of an empty function lands here as well.
        return MODULE_STATUS_UNKNOWN_EXCEPTION;
    }
}

} // namespace Corvane
