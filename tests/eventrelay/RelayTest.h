#pragma once

#include <gtest/gtest.h>

#include "BuildTree.h"
#include "BusConnection.h"
#include "BusLibrary.h"
#include "EnvironmentFile.h"

namespace EventRelayTests {

// EventRelay.dll loaded from the build tree, logging to a file of the test's own.
class RelayTest : public testing::Test {
protected:
    // Returns once every message published before has been delivered: the relay delivers
    // one message at a time, in publish order.
    void flush(const BusConnection& through);

    EnvironmentFile log_{L"EVENTRELAY_LOG"};
    BusLibrary library_{BuildTree::eventRelay()};
    const Corvane::BusFunctions& bus_ = *library_.createObject();
};

} // namespace EventRelayTests
