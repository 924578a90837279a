#include "status/GuardedCall.h"

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "status/ModuleException.h"

namespace {

using namespace Corvane;

struct NotAnException {};

TEST(GuardedCall, ReturnsTheStatusOfACallThatDoesNotThrow) {
    for (MODULE_STATUS status : {MODULE_STATUS_SUCCESS, MODULE_STATUS_NOT_FOUND, MODULE_STATUS_UNKNOWN_EXCEPTION}) {
        EXPECT_EQ(status, guardedCall([status] { return status; }));
    }
}

TEST(GuardedCall, TurnsAnythingThrownIntoUnknownException) {
    const std::function<MODULE_STATUS()> throwers[] = {
        []() -> MODULE_STATUS { throw 42; },
        []() -> MODULE_STATUS { throw std::runtime_error("standard"); },
        []() -> MODULE_STATUS { throw ModuleException("Failed to load library"); },
        []() -> MODULE_STATUS { throw std::bad_alloc(); },
        []() -> MODULE_STATUS { throw NotAnException(); },
        []() -> MODULE_STATUS { throw "text"; },
        std::function<MODULE_STATUS()>(), // an empty function counts as throwing
    };
    for (const auto& thrower : throwers) {
        EXPECT_EQ(MODULE_STATUS_UNKNOWN_EXCEPTION, guardedCall(thrower));
    }
}

TEST(ModuleExceptionText, IsKeptThroughTheStandardBase) {
    try {
        throw ModuleException("Failed to get message bus handle");
    } catch (const std::exception& caught) {
        EXPECT_STREQ("Failed to get message bus handle", caught.what());
        EXPECT_NE(nullptr, dynamic_cast<const std::runtime_error*>(&caught));
    }
}

} // namespace
