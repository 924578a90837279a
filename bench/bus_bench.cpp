// Times one report's bus work through the client — getInstance, publish, destroy — against
// its floor: the same work done directly on the development bus library (load, resolve the
// four exports, acquire a handle, publish the same message, release, unload). Prints the ratio.

#include <cstdio>
#include <string>

#include <windows.h>

#include "BusFloor.h"
#include "InterleavedBatches.h"
#include "message/Message.h"
#include "messagebus/MessageBusClient.h"

namespace {

using namespace Corvane;
using namespace PelmoraBench;

const std::wstring messageName = L"Analytics.v1.AddRecord";
const std::wstring messageAlias = L"Strivan.LegacyCOM";
const std::wstring record = L"{\"type\":\"Benchmark\",\"unique_id\":\"u1\",\"data\":[{\"UniqueId\":\"u1\"},{"
                            L"\"Type\":\"Benchmark\"}]}";

bool direct() {
    return publishDirectly(besideExecutable(L"EventRelay.dll"), messageName, messageAlias, record);
}

bool throughClient() {
    auto bus = MessageBusClient::getInstance();
    return bus && bus->publish(Message::create(messageName, messageAlias, record)) == MODULE_STATUS_SUCCESS;
}

} // namespace

int main() {
    const TemporaryMessageLog log(L"bus_bench_messages.jsonl");

    if (!direct() || !throughClient()) {
        std::printf("the development bus library must sit beside bus_bench.exe\n");
        return 1;
    }
    const BestTimes best = bestOfInterleavedBatches(direct, throughClient, 10, 50);
    std::printf("floor (load, resolve, acquire, publish, release, unload): %9.1f us\n", best.baseline);
    std::printf("getInstance + publish + destroy:                           %9.1f us\n", best.measured);
    std::printf("ratio client/floor: %.2f (target <= 1.3: %s)\n", best.measured / best.baseline,
                best.measured / best.baseline <= 1.3 ? "met" : "NOT met");
    return 0;
}
