#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "businterface/BusLibraryInterface.h"

namespace PelmoraTests {

// An in-process stand-in for the bus library: CreateObject and the eight table entries are
// plain functions that record every call, with what it was given, into the one instance.
// Each entry answers with a value of its own, so that forwarding of results shows.
class RecordingBus {
public:
    struct Call {
        std::string entry;
        Corvane::BusHandle handle = nullptr;
        std::uint64_t index = 0; // request index; CreateObject's version
        void* context = nullptr;
        Corvane::BusReplyCallback replyCallback = nullptr;
        Corvane::BusMessageCallback messageCallback = nullptr;
        const Corvane::MessageHeader* header = nullptr;
        std::wstring name; // message name, or subscription name or pattern
        std::wstring alias;
        std::wstring payload;
        std::uint64_t timeLimit = 0;
        std::uint32_t id = 0;

        static Call of(const char* entry, Corvane::BusHandle handle);
        Call withMessage(const Corvane::MessageHeader* header, const wchar_t* name, const wchar_t* alias,
                         const wchar_t* payload) const;
        Call withSubscription(void* handler, Corvane::BusMessageCallback callback, const wchar_t* text) const;
        bool operator==(const Call& other) const;
    };

    // What acquireHandle hands out unless a test says otherwise.
    static const Corvane::BusHandle defaultHandle;

    static RecordingBus& instance();
    // Forgets the calls and restores the default answers.
    void reset();

    Corvane::BusFunctions* table();
    static Corvane::BusFunctions* createObject(std::uint32_t version);

    std::vector<Call> calls;
    bool offersTable = true;
    int nullEntry = -1; // the table CreateObject hands out lacks this entry (0 to 7)
    Corvane::MODULE_STATUS acquireStatus = Corvane::MODULE_STATUS_SUCCESS;
    Corvane::BusHandle acquiredHandle = defaultHandle;
    Corvane::MODULE_STATUS releaseStatus = Corvane::MODULE_STATUS_SUCCESS;

private:
    Corvane::BusFunctions offered{};
};

void PrintTo(const RecordingBus::Call& call, std::ostream* out);

} // namespace PelmoraTests
