// Times building the analytics record against the bare parse of the same event text
// (RapidJSON's SAX reader, same flags, a handler that does nothing), at three sizes.
// Prints ratios, which are comparable across machines; absolute times are for reference.
// A last row builds an event whose member names all share one bucket of the attribute map
// against one of random names of the same length.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "analytics/AnalyticsRecordBuilder.h"
#include "analytics/JsonReader.h"
#include "support/CollidingNames.h"

namespace {

using namespace Corvane::Analytics;
using Clock = std::chrono::steady_clock;

// An event of about the given size in bytes (UTF-16), with many members.
std::wstring eventOfSize(std::size_t bytes) {
    std::wstring text = L"{\"UniqueId\":\"4d6f2a9c-17b3-4e0f-9a55-0c2b7e81d3f4\",\"Type\":\"Benchmark.Event\"";
    for (int i = 0; text.size() * 2 < bytes; ++i) {
        text += L",\"attribute" + std::to_wstring(i) + L"\":\"value of attribute " + std::to_wstring(i) + L"\"";
    }
    text += L"}";
    return text;
}

std::wstring eventWithMembers(const std::vector<std::wstring>& names) {
    std::wstring text = L"{\"UniqueId\":\"u1\",\"Type\":\"Benchmark.Event\"";
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += L",\"" + names[i] + L"\":\"" + std::to_wstring(i) + L"\"";
    }
    text += L"}";
    return text;
}

bool bareParse(const std::wstring& text) {
    rapidjson::BaseReaderHandler<WideJson> handler;
    EventJsonReader reader;
    rapidjson::GenericStringStream<WideJson> stream(text.c_str());
    return !reader.Parse<eventJsonParseFlags>(stream, handler).IsError();
}

bool build(const std::wstring& text) {
    std::wstring record;
    return buildAnalyticsRecord(text.c_str(), record);
}

// The least any record costs: a fresh block of the record's size, written once. Above the
// heap's large-block threshold every such block is new memory, whose first touch faults.
bool freshRecordMemory(const std::wstring& text) {
    std::wstring block(text.size(), L'\0');
    return block.size() == text.size();
}

using Work = bool (*)(const std::wstring&);

// Calls per batch so that one batch lasts about 20 ms.
int batchSize(const std::wstring& text, Work work) {
    int calls = 1;
    for (;;) {
        const auto start = Clock::now();
        for (int i = 0; i < calls; ++i) {
            work(text);
        }
        if (Clock::now() - start >= std::chrono::milliseconds(20)) {
            return calls;
        }
        calls *= 2;
    }
}

double batchNanoseconds(const std::wstring& text, Work work, int calls) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) {
        work(text);
    }
    const std::chrono::duration<double, std::nano> elapsed = Clock::now() - start;
    return elapsed.count() / calls;
}

struct Trial {
    const std::wstring* text;
    Work work;
};

// Best time of one call of each trial, in nanoseconds. Batches of the trials take turns,
// so that a slow spell of the machine weighs on all of them alike.
std::vector<double> bestNanoseconds(const std::vector<Trial>& trials, int rounds) {
    std::vector<int> calls;
    for (const Trial& trial : trials) {
        calls.push_back(batchSize(*trial.text, trial.work));
    }
    std::vector<double> best(trials.size(), 1e300);
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < trials.size(); ++k) {
            best[k] = std::min(best[k], batchNanoseconds(*trials[k].text, trials[k].work, calls[k]));
        }
    }
    return best;
}

// Colliding names cost one bucket walk over all earlier names per insertion unless the map
// finds names another way; a handful of rounds, since that walk can take seconds.
bool collidingNamesRow() {
    constexpr unsigned pieces = 16;
    const std::wstring colliding = eventWithMembers(fnvLowBitCollidingNames(pieces, 1));
    const std::wstring random =
        eventWithMembers(randomNames(std::size_t{1} << pieces, fnvLowBitCollidingNameLength(pieces), 2));
    if (!build(colliding) || !build(random)) {
        std::printf("colliding or random event does not build\n");
        return false;
    }
    const std::vector<double> best = bestNanoseconds({{&random, build}, {&colliding, build}}, 3);
    std::printf("\n%zu members named %zu characters: random names %.1f ms, colliding names %.1f ms\n",
                std::size_t{1} << pieces, fnvLowBitCollidingNameLength(pieces), best[0] / 1e6, best[1] / 1e6);
    const double ratio = best[1] / best[0];
    std::printf("colliding/random: %.2f, target <= 2: %s\n", ratio, ratio <= 2 ? "met" : "NOT met");
    return true;
}

} // namespace

int main() {
    const struct {
        const char* label;
        std::size_t bytes;
    } sizes[] = {{"1 KB", 1024}, {"64 KB", 64 * 1024}, {"1 MB", 1024 * 1024}};

    std::printf("%-6s %9s %8s %12s %12s %12s %14s\n", "size", "bytes", "members", "parse ns/B", "build ns/B",
                "build/parse", "fresh/parse");
    std::vector<double> buildPerByte;
    bool ok = true;
    for (const auto& size : sizes) {
        const std::wstring text = eventOfSize(size.bytes);
        if (!bareParse(text) || !build(text)) {
            std::printf("event of %s does not parse\n", size.label);
            return 1;
        }
        const double bytes = static_cast<double>(text.size() * 2);
        const std::vector<double> best =
            bestNanoseconds({{&text, bareParse}, {&text, build}, {&text, freshRecordMemory}}, 15);
        const double parse = best[0] / bytes;
        const double record = best[1] / bytes;
        const double fresh = best[2] / bytes;
        const std::size_t members = std::count(text.begin(), text.end(), L':');
        std::printf("%-6s %9.0f %8zu %12.3f %12.3f %12.2f %14.2f\n", size.label, bytes, members, parse, record,
                    record / parse, fresh / parse);
        buildPerByte.push_back(record);
        ok = ok && record / parse <= 1.5;
    }
    const double growth = buildPerByte.back() / buildPerByte.front();
    std::printf("build cost per byte, 1 MB relative to 1 KB: %.2f\n", growth);
    ok = ok && growth <= 1.3;
    std::printf("targets (build/parse <= 1.5, per-byte growth <= 1.3): %s\n", ok ? "met" : "NOT met");
    std::printf("fresh/parse: allocating and filling a block of the record's size, the floor of any build\n");
    return collidingNamesRow() ? 0 : 1;
}
