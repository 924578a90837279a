#pragma once

#include <cstdint>
#include <memory>
#include <regex>
#include <string>

#include "messagebus/MessageBusTypes.h"

namespace Corvane {

// One subscription to a pattern of message names. The bus library does the matching; the
// compiled pattern is what refused a malformed one.
struct FilterSubscription {
    std::uint32_t id; // given by the bus library
    std::wstring nameRegex;
    std::wregex pattern;
    std::shared_ptr<MessageHandler> handler;
};

} // namespace Corvane
