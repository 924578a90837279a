#include "wrappers/OSInfoProxy.h"

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace Vornix;
using namespace Vornix::internal;

// ---------------------------------------------------------------------------------------------
// Collaborators standing in for a system

// Answers single-member comparisons the way VerifyVersionInfoW would on the system described,
// and fails the test for anything but one member with its own condition.
class SimulatedVersionAPI : public WinOSVersionAPI {
public:
    struct System {
        DWORD platformId;
        DWORD minor; // only the 9x family finds its minor version by comparisons
        WORD servicePack;
    };
    explicit SimulatedVersionAPI(System system) : system_(system) {}

    BOOL verifyVersionInfo(OSVERSIONINFOEXW* info, DWORD typeMask, DWORDLONG conditionMask) override {
        ++calls;
        EXPECT_EQ(sizeof(OSVERSIONINFOEXW), info->dwOSVersionInfoSize);
        switch (typeMask) {
        case VER_PLATFORMID:
            return holds(system_.platformId, info->dwPlatformId, conditionOf(typeMask, conditionMask));
        case VER_MINORVERSION:
            return holds(system_.minor, info->dwMinorVersion, conditionOf(typeMask, conditionMask));
        case VER_SERVICEPACKMAJOR:
            return holds(system_.servicePack, info->wServicePackMajor, conditionOf(typeMask, conditionMask));
        default:
            ADD_FAILURE() << "unexpected type mask " << typeMask;
            return FALSE;
        }
    }

    std::atomic<int> calls{0};

private:
    // Three bits per member, in the order of the type mask bits.
    static BYTE conditionOf(DWORD typeMask, DWORDLONG conditionMask) {
        unsigned shift = 0;
        while ((typeMask >> shift) != 1) {
            ++shift;
        }
        const DWORDLONG condition = conditionMask >> (3 * shift);
        EXPECT_EQ(conditionMask, condition << (3 * shift)) << "conditions for other members";
        return static_cast<BYTE>(condition & 7);
    }

    static BOOL holds(DWORD actual, DWORD requested, BYTE condition) {
        switch (condition) {
        case VER_EQUAL:
            return actual == requested;
        case VER_LESS:
            return actual < requested;
        default:
            ADD_FAILURE() << "unexpected condition " << int(condition);
            return FALSE;
        }
    }

    System system_;
};

// kernel32's product version as a system would give it; null means unreadable.
class ScriptedVersionReader : public ISystemVersionReader {
public:
    explicit ScriptedVersionReader(const wchar_t* text) : text_(text) {}

    bool readProductVersion(std::wstring& text) override {
        ++calls;
        if (text_ == nullptr) {
            return false;
        }
        text = text_;
        return true;
    }

    void answer(const wchar_t* text) { text_ = text; }

    std::atomic<int> calls{0};

private:
    const wchar_t* text_;
};

constexpr DWORD NineX = VER_PLATFORM_WIN32_WINDOWS;
constexpr DWORD NT = VER_PLATFORM_WIN32_NT;

struct Answers {
    unsigned kind;
    unsigned platformClass;
    bool versionKnown;
    OSVersionRecord version;
    bool systemVersionKnown;
    ModuleVersionQuad systemVersion;
};

// Every question that needs detection, asked in slot order.
Answers ask(OSInfoProxy& proxy) {
    Answers answers{};
    answers.kind = proxy.getOSKind();
    answers.platformClass = proxy.getPlatformClass();
    answers.version = {7, 7, 7};
    answers.versionKnown = proxy.getOSVersion(answers.version);
    unsigned kind = 99;
    unsigned platformClass = 99;
    const bool both = proxy.getOSKindAndPlatform(kind, platformClass);
    EXPECT_EQ(answers.kind, kind);
    EXPECT_EQ(answers.platformClass, platformClass);
    answers.systemVersion = {7, 7, 7, 7};
    answers.systemVersionKnown = proxy.getSystemVersion(answers.systemVersion);
    EXPECT_EQ(answers.systemVersionKnown, both);
    return answers;
}

void expectVersion(const OSVersionRecord& expected, const OSVersionRecord& actual) {
    EXPECT_EQ(expected.major, actual.major);
    EXPECT_EQ(expected.minor, actual.minor);
    EXPECT_EQ(expected.servicePackMajor, actual.servicePackMajor);
}

void expectSystemVersion(const ModuleVersionQuad& expected, const ModuleVersionQuad& actual) {
    EXPECT_EQ(expected.major, actual.major);
    EXPECT_EQ(expected.minor, actual.minor);
    EXPECT_EQ(expected.build, actual.build);
    EXPECT_EQ(expected.revision, actual.revision);
}

void expectUndetected(const Answers& answers) {
    EXPECT_EQ(OSKindUnknown, answers.kind);
    EXPECT_EQ(PlatformClassUnknown, answers.platformClass);
    EXPECT_FALSE(answers.versionKnown);
    expectVersion({0, 0, 0}, answers.version);
    EXPECT_FALSE(answers.systemVersionKnown);
    expectSystemVersion({0, 0, 0, 0}, answers.systemVersion);
}

// ---------------------------------------------------------------------------------------------
// Kinds

struct KindCase {
    const char* name;
    SimulatedVersionAPI::System system;
    const wchar_t* productVersion;
    unsigned kind;
    unsigned platformClass;
    OSVersionRecord version;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

class OSKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(OSKindTest, ClassifiesTheRelease) {
    const KindCase& c = GetParam();
    OSInfoProxy proxy(std::make_shared<SimulatedVersionAPI>(c.system),
                      std::make_shared<ScriptedVersionReader>(c.productVersion));

    const Answers answers = ask(proxy);

    EXPECT_EQ(c.kind, answers.kind);
    EXPECT_EQ(c.platformClass, answers.platformClass);
    EXPECT_EQ(c.kind != OSKindOther, answers.versionKnown);
    expectVersion(c.version, answers.version);
    EXPECT_TRUE(answers.systemVersionKnown);
}

constexpr unsigned BeforeXP = PlatformClassBeforeXP;
constexpr unsigned XPOrLater = PlatformClassXPOrLater;

// For the 9x family the version text is read but the release comes from comparisons; for NT the
// text gives the numbers and comparisons only the service pack, probed from a bound per release.
INSTANTIATE_TEST_SUITE_P(
    Releases, OSKindTest,
    testing::Values(
        KindCase{"Windows95", {NineX, 0, 0}, L"4.0.950", OSKindWindows95, BeforeXP, {4, 0, 0}},
        KindCase{"Windows98", {NineX, 10, 1}, L"4.10.2222", OSKindWindows98, BeforeXP, {4, 10, 0}},
        KindCase{"Windows98Last", {NineX, 89, 0}, L"4.89", OSKindWindows98, BeforeXP, {4, 89, 0}},
        KindCase{"WindowsMe", {NineX, 90, 0}, L"4.90.3000", OSKindWindowsMe, BeforeXP, {4, 90, 0}},
        KindCase{"NT351", {NT, 0, 5}, L"3.51.1057", OSKindNT4OrEarlier, BeforeXP, {3, 51, 0}},
        KindCase{"NT4", {NT, 0, 6}, L"4.0.1381.7", OSKindNT4OrEarlier, BeforeXP, {4, 0, 0}},
        KindCase{"Windows2000SP4", {NT, 0, 4}, L"5.0.2195.6717", OSKindWindows2000, BeforeXP, {5, 0, 4}},
        KindCase{"Windows2000BeyondProbe", {NT, 0, 5}, L"5.0.2195", OSKindWindows2000, BeforeXP, {5, 0, 0}},
        KindCase{"XPSP3", {NT, 0, 3}, L"5.1.2600.5512", OSKindWindowsXPOr2003, XPOrLater, {5, 1, 3}},
        KindCase{"Server2003SP2", {NT, 0, 2}, L"5.2.3790.3959", OSKindWindowsXPOr2003, XPOrLater, {5, 2, 2}},
        KindCase{"NT60SP2", {NT, 0, 2}, L"6.0.6002.18005", OSKindNT60, XPOrLater, {6, 0, 2}},
        KindCase{"NT60BeyondProbe", {NT, 0, 3}, L"6.0.6003", OSKindNT60, XPOrLater, {6, 0, 0}},
        KindCase{"NT61SP1", {NT, 0, 1}, L"6.1.7601.17514", OSKindNT61, XPOrLater, {6, 1, 1}},
        KindCase{"NT61", {NT, 0, 0}, L"6.1.7600.16385", OSKindNT61, XPOrLater, {6, 1, 0}},
        KindCase{"NT62NotProbed", {NT, 0, 1}, L"6.2.9200.16384", OSKindNT62, XPOrLater, {6, 2, 0}},
        KindCase{"NT63", {NT, 0, 0}, L"6.3.9600.17031", OSKindNT63OrLater, XPOrLater, {6, 3, 0}},
        KindCase{"NT64", {NT, 0, 0}, L"6.4.9841", OSKindNT63OrLater, XPOrLater, {6, 4, 0}},
        KindCase{"NT10", {NT, 0, 1}, L"10.0.19041.1", OSKindNT10, XPOrLater, {10, 0, 0}},
        KindCase{"NT10Minor1", {NT, 0, 0}, L"10.1", OSKindNT10, XPOrLater, {10, 1, 0}},
        KindCase{"Major7", {NT, 0, 0}, L"7.0", OSKindOther, XPOrLater, {7, 0, 0}},
        KindCase{"Major11", {NT, 0, 0}, L"11.0.22000", OSKindOther, XPOrLater, {11, 0, 0}},
        // Far beyond a signed 32-bit number; must not pass for an old release.
        KindCase{
            "MajorMaxUnsigned", {NT, 0, 0}, L"4294967295.0", OSKindOther, XPOrLater, {4294967295u, 0, 0}}),
    [](const testing::TestParamInfo<KindCase>& info) { return info.param.name; });

TEST(OSKindNineXTest, FindsEveryMinorVersionByComparisons) {
    for (DWORD minor = 0; minor < 104; ++minor) {
        SCOPED_TRACE(minor);
        OSInfoProxy proxy(std::make_shared<SimulatedVersionAPI>(SimulatedVersionAPI::System{NineX, minor, 0}),
                          std::make_shared<ScriptedVersionReader>(L"4.10"));
        OSVersionRecord version;
        ASSERT_TRUE(proxy.getOSVersion(version));
        expectVersion({4, minor, 0}, version);
    }
}

// ---------------------------------------------------------------------------------------------
// The product version text

struct VersionTextCase {
    const char* name;
    const wchar_t* text;
    ModuleVersionQuad systemVersion;
};

void PrintTo(const VersionTextCase& c, std::ostream* os) {
    *os << c.name;
}

class VersionTextTest : public testing::TestWithParam<VersionTextCase> {};

TEST_P(VersionTextTest, GivesTheSystemVersion) {
    OSInfoProxy proxy(std::make_shared<SimulatedVersionAPI>(SimulatedVersionAPI::System{NT, 0, 0}),
                      std::make_shared<ScriptedVersionReader>(GetParam().text));
    ModuleVersionQuad version;
    ASSERT_TRUE(proxy.getSystemVersion(version));
    expectSystemVersion(GetParam().systemVersion, version);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, VersionTextTest,
    testing::Values(VersionTextCase{"FourPieces", L"10.0.18362.1350", {10, 0, 18362, 1350}},
                    VersionTextCase{"TwoPieces", L"6.1", {6, 1, 0, 0}},
                    VersionTextCase{"OnePiece", L"10", {10, 0, 0, 0}},
                    VersionTextCase{"FifthPieceIgnored", L"10.0.1.2.x", {10, 0, 1, 2}},
                    VersionTextCase{"BuildTag", L"10.0.19041.1 (WinBuild.160101.0800)", {10, 0, 19041, 1}},
                    VersionTextCase{"Largest", L"4294967295.0", {4294967295u, 0, 0, 0}}),
    [](const testing::TestParamInfo<VersionTextCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Failed detection

struct FailureCase {
    const char* name;
    SimulatedVersionAPI::System system;
    const wchar_t* productVersion; // null: unreadable
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class FailedDetectionTest : public testing::TestWithParam<FailureCase> {};

// Unparsable text counts as a failed detection, so it is read again by every question.
TEST_P(FailedDetectionTest, AnswersDefaultsAndDetectsAgainOnEveryQuestion) {
    const FailureCase& c = GetParam();
    const auto reader = std::make_shared<ScriptedVersionReader>(c.productVersion);
    OSInfoProxy proxy(std::make_shared<SimulatedVersionAPI>(c.system), reader);

    expectUndetected(ask(proxy));
    EXPECT_EQ(5, reader->calls);
}

INSTANTIATE_TEST_SUITE_P(Failures, FailedDetectionTest,
                         testing::Values(FailureCase{"Unreadable", {NT, 0, 0}, nullptr},
                                         FailureCase{"Empty", {NT, 0, 0}, L""},
                                         FailureCase{"EmptyPiece", {NT, 0, 0}, L"10..1"},
                                         FailureCase{"TrailingDot", {NT, 0, 0}, L"10.0."},
                                         FailureCase{"NotANumber", {NT, 0, 0}, L"v10.0"},
                                         FailureCase{"Negative", {NT, 0, 0}, L"-1.0"},
                                         FailureCase{"Beyond32Bits", {NT, 0, 0}, L"10.4294967296"},
                                         FailureCase{"UnknownPlatform", {3, 0, 0}, L"10.0"},
                                         FailureCase{"NineXMinorTooLarge", {NineX, 104, 0}, L"4.104"}),
                         [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// Fails, in its own way, the first time only.
class FailingOnceReader : public ScriptedVersionReader {
public:
    enum class Failure { Unreadable, Unparsable, Throws };
    explicit FailingOnceReader(Failure failure) : ScriptedVersionReader(L"6.1.7601"), failure_(failure) {}

    bool readProductVersion(std::wstring& text) override {
        if (calls > 0) {
            return ScriptedVersionReader::readProductVersion(text);
        }
        ++calls;
        switch (failure_) {
        case Failure::Unreadable:
            return false;
        case Failure::Unparsable:
            text = L"six.one";
            return true;
        default:
            throw std::runtime_error("reader failed");
        }
    }

private:
    Failure failure_;
};

class RetryTest : public testing::TestWithParam<FailingOnceReader::Failure> {};

TEST_P(RetryTest, DetectsOnTheNextQuestionAndThenKeepsTheAnswer) {
    const auto api = std::make_shared<SimulatedVersionAPI>(SimulatedVersionAPI::System{NT, 0, 1});
    const auto reader = std::make_shared<FailingOnceReader>(GetParam());
    OSInfoProxy proxy(api, reader);

    EXPECT_EQ(PlatformClassUnknown, proxy.getPlatformClass());
    EXPECT_EQ(OSKindNT61, proxy.getOSKind());
    const int comparisons = api->calls;
    expectVersion({6, 1, 1}, ask(proxy).version);

    EXPECT_EQ(2, reader->calls);
    EXPECT_EQ(comparisons, api->calls);
}

const char* const FailureNames[] = {"Unreadable", "Unparsable", "Throws"};

INSTANTIATE_TEST_SUITE_P(Failures, RetryTest,
                         testing::Values(FailingOnceReader::Failure::Unreadable,
                                         FailingOnceReader::Failure::Unparsable,
                                         FailingOnceReader::Failure::Throws),
                         [](const testing::TestParamInfo<FailingOnceReader::Failure>& info) {
                             return FailureNames[static_cast<int>(info.param)];
                         });

// ---------------------------------------------------------------------------------------------
// Questions without detection

TEST(OSInfoProxyTest, AnswersThePlatformWithoutDetecting) {
    for (const DWORD platform : {NineX, NT}) {
        SCOPED_TRACE(platform);
        const auto reader = std::make_shared<ScriptedVersionReader>(L"10.0");
        OSInfoProxy proxy(std::make_shared<SimulatedVersionAPI>(SimulatedVersionAPI::System{platform, 0, 0}),
                          reader);
        EXPECT_EQ(platform == NT, proxy.isNTPlatform());
        EXPECT_FALSE(proxy.isWow64Process());
        EXPECT_EQ(0, reader->calls);
    }
}

// ---------------------------------------------------------------------------------------------
// Concurrent first questions

// Holds the first detection until the test opens the gate.
class GatedReader : public ScriptedVersionReader {
public:
    explicit GatedReader(std::shared_future<void> gate)
        : ScriptedVersionReader(L"10.0.19041.1"), gate_(std::move(gate)) {}

    bool readProductVersion(std::wstring& text) override {
        entered.set_value();
        EXPECT_EQ(std::future_status::ready, gate_.wait_for(std::chrono::seconds(30)));
        return ScriptedVersionReader::readProductVersion(text);
    }

    std::promise<void> entered;

private:
    std::shared_future<void> gate_;
};

TEST(OSInfoProxyTest, ConcurrentFirstQuestionsShareOneDetection) {
    constexpr int Callers = 6;
    std::promise<void> gate;
    const auto reader = std::make_shared<GatedReader>(gate.get_future().share());
    std::future<void> detecting = reader->entered.get_future();
    OSInfoProxy proxy(std::make_shared<SimulatedVersionAPI>(SimulatedVersionAPI::System{NT, 0, 0}), reader);

    std::vector<std::future<unsigned>> kinds;
    for (int i = 0; i < Callers; ++i) {
        kinds.push_back(std::async(std::launch::async, [&proxy] { return proxy.getOSKind(); }));
    }
    ASSERT_EQ(std::future_status::ready, detecting.wait_for(std::chrono::seconds(30)));
    gate.set_value();

    for (auto& kind : kinds) {
        ASSERT_EQ(std::future_status::ready, kind.wait_for(std::chrono::seconds(30)));
        EXPECT_EQ(OSKindNT10, kind.get());
    }
    EXPECT_EQ(1, reader->calls);
}

// ---------------------------------------------------------------------------------------------
// The real system: Wine reports 6.1.7601 SP1 to comparisons and carries a kernel32 of 10.0.18362.1350.

TEST(OSInfoProxyOnWineTest, TakesTheNumbersFromKernel32) {
    OSInfoProxy proxy;
    const Answers answers = ask(proxy);

    EXPECT_EQ(OSKindNT10, answers.kind);
    EXPECT_EQ(PlatformClassXPOrLater, answers.platformClass);
    EXPECT_TRUE(answers.versionKnown);
    expectVersion({10, 0, 0}, answers.version);
    EXPECT_TRUE(answers.systemVersionKnown);
    expectSystemVersion({10, 0, 18362, 1350}, answers.systemVersion);
    EXPECT_TRUE(proxy.isNTPlatform());
    EXPECT_FALSE(proxy.isWow64Process());
}

TEST(OSInfoProxyOnWineTest, ProbesTheServicePackWithTheSystemsComparisons) {
    OSInfoProxy proxy(nullptr, std::make_shared<ScriptedVersionReader>(L"6.1.7601.24214"));
    OSVersionRecord version;
    ASSERT_TRUE(proxy.getOSVersion(version));
    expectVersion({6, 1, 1}, version);
    EXPECT_EQ(OSKindNT61, proxy.getOSKind());
}

} // namespace
