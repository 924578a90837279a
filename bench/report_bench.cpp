// Times one ReportEventData through IHxClientAnalytics of the built Pelmora.dll against the
// floor of its bus work: the same record published directly on the development bus library
// (load, resolve the four exports, acquire a handle, publish, release, unload). Prints the ratio.
//
// The object is made once, through the DLL's DllGetClassObject (loaded beside the bench) rather
// than after regsvr32, so that the bench leaves nothing in the registry.

#include <cstdio>
#include <string>

#include <windows.h>

#include <objbase.h>

#include "AnalyticsAPI.h"
#include "BusFloor.h"
#include "InterleavedBatches.h"
#include "analytics/AnalyticsRecordBuilder.h"
#include "utils/ComPtr.h"
#include "utils/UniqueBstr.h"
#include "utils/UniqueResource.h"

namespace {

using namespace PelmoraBench;
using Corvane::Com::ComPtr;
using Corvane::Com::UniqueBstr;

const wchar_t* const event = L"{\"UniqueId\":\"u1\",\"Type\":\"Benchmark\",\"Product\":\"Pelmora\"}";

using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

ComPtr<IHxClientAnalytics> createObject(HMODULE pelmora) {
    ComPtr<IHxClientAnalytics> analytics;
    const auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(pelmora, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    if (getClassObject != nullptr &&
        SUCCEEDED(getClassObject(CLSID_AnalyticsAPI, IID_IClassFactory, factory.putVoid()))) {
        factory->CreateInstance(nullptr, IID_IHxClientAnalytics, analytics.putVoid());
    }
    return analytics;
}

LONGLONG fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return static_cast<LONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// The DLL answers S_OK also when no bus library is found: only the log shows that it published.
bool reportReachesTheLog(IHxClientAnalytics& analytics, BSTR eventText, const std::wstring& log) {
    const LONGLONG before = fileSize(log);
    return analytics.ReportEventData(nullptr, eventText, nullptr) == S_OK && fileSize(log) > before;
}

} // namespace

int main() {
    const TemporaryMessageLog log(L"report_bench_messages.jsonl");
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    int exitCode = 1;
    {
        const Vornix::UniqueModule pelmora(LoadLibraryW(besideExecutable(L"Pelmora.dll").c_str()));
        const ComPtr<IHxClientAnalytics> analytics =
            pelmora ? createObject(pelmora.get()) : ComPtr<IHxClientAnalytics>();
        const UniqueBstr eventText(SysAllocString(event));
        std::wstring record;
        const std::wstring bus = besideExecutable(L"EventRelay.dll");
        const auto direct = [&] {
            return publishDirectly(bus, L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", record);
        };
        const auto report = [&] {
            return analytics->ReportEventData(nullptr, eventText.get(), nullptr) == S_OK;
        };

        if (!analytics || !eventText || !Corvane::Analytics::buildAnalyticsRecord(event, record) ||
            !reportReachesTheLog(*analytics.get(), eventText.get(), log.path()) || !direct()) {
            std::printf("Pelmora.dll and the development bus library must sit beside report_bench.exe\n");
        } else {
            const BestTimes best = bestOfInterleavedBatches(direct, report, 10, 50);
            std::printf("floor (load, resolve, acquire, publish, release, unload): %9.1f us\n",
                        best.baseline);
            std::printf("ReportEventData through IHxClientAnalytics:               %9.1f us\n",
                        best.measured);
            std::printf("ratio report/floor: %.2f (target <= 1.3: %s)\n", best.measured / best.baseline,
                        best.measured / best.baseline <= 1.3 ? "met" : "NOT met");
            exitCode = 0;
        }
    }
    CoUninitialize();
    return exitCode;
}
