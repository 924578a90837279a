// Many threads publishing through one client while others subscribe, unsubscribe and ask:
// every message reaches the message log exactly once, and nothing deadlocks or crashes.

#include <atomic>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "bus/BusLibraryPlacement.h"
#include "message/Message.h"
#include "message/Reply.h"
#include "messagebus/MessageBusClient.h"
#include "support/ScratchFolder.h"

namespace {

using namespace Corvane;
using PelmoraTests::BusLibraryPlacement;

constexpr int publishers = 8;
constexpr int messagesEach = 1000;

std::string payloadOf(int thread, int index) { return "stress-" + std::to_string(thread) + "-" + std::to_string(index); }

TEST(BusStress, EveryMessageOfManyPublishersIsLoggedOnce) {
    ScratchFolder scratch;
    const std::wstring logPath = scratch.path() + L"\\messages.jsonl";
    PelmoraTests::ScopedEnvironment messages(L"EVENTRELAY_LOG", logPath);
    BusLibraryPlacement placed(BusLibraryPlacement::developmentBus());
    auto bus = MessageBusClient::getInstance();
    ASSERT_NE(nullptr, bus);

    std::atomic<bool> publishing{true};
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < publishers; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < messagesEach; ++i) {
                const std::string text = payloadOf(t, i);
                if (bus->publish(Message::create(L"Stress.Message", L"stress", std::wstring(text.begin(), text.end()))) !=
                    MODULE_STATUS_SUCCESS) {
                    ++failures;
                }
            }
        });
    }
    // Churn beside the publishers: subscriptions come and go, requests are made and answered.
    std::thread churn([&] {
        for (int round = 0; publishing; ++round) {
            const std::wstring alias = L"churn" + std::to_wstring(round % 4);
            bus->subscribe(L"Stress.Message", alias, [](std::shared_ptr<Message>) { return MODULE_STATUS_SUCCESS; });
            bus->subscribeFilter(L"Stress\\..*", alias, [](std::shared_ptr<Message>) { return MODULE_STATUS_SUCCESS; });
            bus->unsubscribe(alias);
        }
    });
    std::thread asker([&] {
        while (publishing) {
            std::shared_ptr<Reply> reply;
            if (bus->request(Message::create(L"Stress.Message", L"asker", L"question"), reply, 5) ==
                MODULE_STATUS_SUCCESS) {
                reply->wait();
            }
        }
    });
    for (auto& thread : threads) {
        thread.join();
    }
    publishing = false;
    churn.join();
    asker.join();
    bus.reset();
    EXPECT_EQ(0, failures.load());

    std::map<std::string, int> seen;
    std::ifstream log(std::string(logPath.begin(), logPath.end()));
    std::string line;
    while (std::getline(log, line)) {
        const std::size_t at = line.find("\"payload\":\"stress-");
        if (at != std::string::npos) {
            const std::size_t start = at + 11;
            ++seen[line.substr(start, line.find('"', start) - start)];
        }
    }
    int missing = 0;
    int repeated = 0;
    for (int t = 0; t < publishers; ++t) {
        for (int i = 0; i < messagesEach; ++i) {
            const auto found = seen.find(payloadOf(t, i));
            missing += found == seen.end();
            repeated += found != seen.end() && found->second != 1;
        }
    }
    EXPECT_EQ(0, missing);
    EXPECT_EQ(0, repeated);
    EXPECT_EQ(static_cast<std::size_t>(publishers * messagesEach), seen.size());
}

} // namespace
