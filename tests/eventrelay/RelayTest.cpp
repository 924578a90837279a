#include "RelayTest.h"

namespace EventRelayTests {

void RelayTest::flush(const BusConnection& through) {
    Inbox flushed;
    const Corvane::BusSubscriptionId id = through.subscribe(flushed, L"Relay.Flush");
    ASSERT_NE(id, 0u);
    ASSERT_EQ(through.publish(L"Relay.Flush"), Corvane::MODULE_STATUS_SUCCESS);
    ASSERT_TRUE(flushed.waitFor(1));
    through.unsubscribe(id);
}

} // namespace EventRelayTests
