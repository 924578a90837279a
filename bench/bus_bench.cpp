// Times one report's bus work through the client — getInstance, publish, destroy — against
// its floor: the same work done directly on the development bus library (load, resolve the
// four exports, acquire a handle, publish the same message, release, unload). Prints the ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "message/Message.h"
#include "messagebus/BusLibraryInterface.h"
#include "messagebus/MessageBusClient.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace Corvane;

const wchar_t* const messageName = L"Analytics.v1.AddRecord";
const wchar_t* const messageAlias = L"Strivan.LegacyCOM";
const wchar_t* const record =
    L"{\"type\":\"Benchmark\",\"unique_id\":\"u1\",\"data\":[{\"UniqueId\":\"u1\"},{\"Type\":\"Benchmark\"}]}";

std::wstring besideExecutable(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\') + 1) + name;
}

bool direct() {
    HMODULE library = LoadLibraryW(besideExecutable(L"EventRelay.dll").c_str());
    if (library == nullptr) {
        return false;
    }
    bool ok = false;
    // Through void(*)(): the one function-pointer type a cast may pass without complaint.
    auto create = reinterpret_cast<BusCreateObjectFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, BUS_EXPORT_CREATE_OBJECT)));
    const bool resolved = create != nullptr && GetProcAddress(library, BUS_EXPORT_RELEASE_OBJECT) != nullptr &&
                          GetProcAddress(library, BUS_EXPORT_GET_VERSION_STR) != nullptr &&
                          GetProcAddress(library, BUS_EXPORT_GET_VERSION_NUM) != nullptr;
    if (BusFunctions* functions = resolved ? create(BUS_FUNCTIONS_VERSION) : nullptr) {
        BusHandle handle = nullptr;
        if (functions->acquireHandle(&handle) == MODULE_STATUS_SUCCESS) {
            const auto message = Message::create(messageName, messageAlias, record);
            ok = functions->publish(handle, &message->getHeader(), messageName, messageAlias, record) ==
                 MODULE_STATUS_SUCCESS;
            functions->releaseHandle(handle);
        }
    }
    FreeLibrary(library);
    return ok;
}

bool throughClient() {
    auto bus = MessageBusClient::getInstance();
    return bus && bus->publish(Message::create(messageName, messageAlias, record)) == MODULE_STATUS_SUCCESS;
}

using Work = bool (*)();

double batchMicroseconds(Work work, int calls) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) {
        work();
    }
    const std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
    return elapsed.count() / calls;
}

} // namespace

int main() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"bus_bench_messages.jsonl";
    SetEnvironmentVariableW(L"EVENTRELAY_LOG", log.c_str());

    if (!direct() || !throughClient()) {
        std::printf("the development bus library must sit beside bus_bench.exe\n");
        return 1;
    }
    const int calls = 50;
    double bestDirect = 1e300;
    double bestClient = 1e300;
    // Batches take turns, so that a slow spell of the machine weighs on both alike.
    for (int round = 0; round < 10; ++round) {
        bestDirect = std::min(bestDirect, batchMicroseconds(direct, calls));
        bestClient = std::min(bestClient, batchMicroseconds(throughClient, calls));
    }
    DeleteFileW(log.c_str());
    std::printf("floor (load, resolve, acquire, publish, release, unload): %9.1f us\n", bestDirect);
    std::printf("getInstance + publish + destroy:                           %9.1f us\n", bestClient);
    std::printf("ratio client/floor: %.2f (target <= 1.3: %s)\n", bestClient / bestDirect,
                bestClient / bestDirect <= 1.3 ? "met" : "NOT met");
    return 0;
}
