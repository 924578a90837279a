#include "Logging/LoggingMechanism.h"

#include <gtest/gtest.h>

#include "Logging/CDefaultLogBuilder.h"
#include "Logging/LogLevels.h"
#include "support/TestRegistryKey.h"
#include "utils/CObfuscatedRegKey.h"

namespace {

using namespace ETWLogging;

// "Logging Mechanism" counts only when stored scrambled; 1 selects log files.
TEST(LoggingMechanism, OnlyAScrambledOneSelectsLogFiles) {
    enum class Stored { Absent, Scrambled, Plain };
    const struct {
        Stored stored;
        DWORD value;
        DWORD read;
        LoggerKind kind;
    } cases[] = {
        {Stored::Absent, 0, 0, LoggerKind::Trace},
        {Stored::Scrambled, 1, 1, LoggerKind::File},
        {Stored::Scrambled, 2, 2, LoggerKind::Trace},
        {Stored::Scrambled, 0, 0, LoggerKind::Trace},
        {Stored::Plain, 1, 0, LoggerKind::Trace},
    };
    for (const auto& c : cases) {
        PelmoraTests::TestRegistryKey test;
        if (c.stored == Stored::Scrambled) {
            Vornix::CObfuscatedRegKey writer;
            ASSERT_EQ(0u, writer.Open(test.root(), test.path().c_str()));
            ASSERT_EQ(0u, writer.WriteDword(L"Logging Mechanism", c.value));
        } else if (c.stored == Stored::Plain) {
            ASSERT_EQ(0, RegSetValueExW(test.handle(), L"Logging Mechanism", 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&c.value), sizeof c.value));
        }
        Vornix::CObfuscatedRegKey settings;
        ASSERT_EQ(0u, settings.Open(test.root(), test.path().c_str(), KEY_QUERY_VALUE));
        EXPECT_EQ(c.read, ReadLoggingMechanism(&settings)) << c.value;
        EXPECT_EQ(c.kind, CDefaultLogBuilder::ChooseKind(LOG_MECHANISM_CONFIGURED, &settings)) << c.value;
        // The argument 1 does not ask the registry.
        EXPECT_EQ(LoggerKind::File, CDefaultLogBuilder::ChooseKind(LOG_MECHANISM_FILE, &settings));
    }
}

// Without a settings key the machine-wide key is read.
TEST(LoggingMechanism, ReadsTheMachineKeyByDefault) {
    HKEY raw = nullptr;
    ASSERT_EQ(0, RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Halvex\\Logging", 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &raw, nullptr));
    RegCloseKey(raw);
    {
        Vornix::CObfuscatedRegKey writer;
        ASSERT_EQ(0u, writer.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Halvex\\Logging"));
        ASSERT_EQ(0u, writer.WriteDword(L"Logging Mechanism", 1));
    }
    EXPECT_EQ(1u, ReadLoggingMechanism(nullptr));
    EXPECT_EQ(LoggerKind::File, CDefaultLogBuilder::ChooseKind(LOG_MECHANISM_CONFIGURED, nullptr));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Halvex\\Logging");
    EXPECT_EQ(0u, ReadLoggingMechanism(nullptr));
}

} // namespace
