#pragma once

#include "businterface/BusLibraryInterface.h"

namespace EventRelay {

// What the relay thread is calling right now, so that a withdrawal can wait for it.
struct ActiveCallback {
    Corvane::BusHandle handle = nullptr;
    Corvane::BusSubscriptionId subscription = 0;
    Corvane::BusReplyCallback replyCallback = nullptr;
};

} // namespace EventRelay
