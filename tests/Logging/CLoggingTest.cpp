#include "Logging/CLogging.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FixedLogLineEnvironment.h"
#include "support/ScratchFolder.h"
#include "utils/CObfuscatedIniReader.h"
#include "utils/FileSystemHelpers.h"
#include "utils/UniqueResource.h"

namespace {

using ETWLogging::CLogging;
using PelmoraTests::FixedLogLineEnvironment;
using Vornix::CObfuscatedIniReader;
using Vornix::UniqueHandle;

constexpr DWORD MAX_SIZE = 262144;
constexpr DWORD ERROR_TIMEOUT_GIVEN_UP = 1460;
const wchar_t* const MUTEX_NAME = L"logging_tests_CAD0E02E86CD4436B6318C111B9092AC";

// The common application-data folder is a scratch folder, so that tests write nowhere else.
class FolderShell : public Vornix::ShlObjAPI {
public:
    explicit FolderShell(std::wstring folder) : folder(std::move(folder)) {}
    std::wstring folder;
    HRESULT result = S_OK;
    std::vector<DWORD> flagsAsked;

    HRESULT getKnownFolderPath(REFKNOWNFOLDERID id, DWORD flags, HANDLE, PWSTR* path) override {
        EXPECT_TRUE(IsEqualGUID(id, FOLDERID_ProgramData));
        flagsAsked.push_back(flags);
        if (FAILED(result)) {
            return result;
        }
        const std::size_t bytes = (folder.size() + 1) * sizeof(wchar_t);
        *path = static_cast<PWSTR>(CoTaskMemAlloc(bytes));
        std::memcpy(*path, folder.c_str(), bytes);
        return S_OK;
    }
};

std::string readBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// A file's bytes as UTF-16 text, the byte-order mark included as U+FEFF.
std::wstring readLog(const std::wstring& path) {
    const std::string bytes = readBytes(path);
    EXPECT_EQ(0u, bytes.size() % 2) << "odd size";
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

std::string bytesOf(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::uintmax_t sizeOf(const std::wstring& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

void writeFileOfSize(const std::wstring& path, std::size_t size) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(std::filesystem::path(path), std::ios::binary) << std::string(size, 'x');
}

std::optional<int> storedIndex(const std::wstring& ini) {
    CObfuscatedIniReader reader(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    int index = 0;
    if (reader.Load(ini) && reader.GetInt(L"Config", L"LastLogIdx", index)) {
        return index;
    }
    return std::nullopt;
}

void storeIni(const std::wstring& ini, const wchar_t* name, int value) {
    std::filesystem::create_directories(std::filesystem::path(ini).parent_path());
    CObfuscatedIniReader writer(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    writer.Load(ini);
    ASSERT_TRUE(writer.WriteInt(L"Config", name, value));
}

const std::wstring byteOrderMark = L"\xFEFF";

std::wstring errorLine(const std::wstring& message) {
    return L"12/31/2024 11:59:07 PM$ -- (Error)$ [logging_tests.e]$ " + message + L"\r\n";
}

// The log folders and files of one test, below its own scratch folder.
class LogPlace {
public:
    ScratchFolder scratch;
    std::shared_ptr<FolderShell> shell = std::make_shared<FolderShell>(scratch.path());
    std::shared_ptr<FixedLogLineEnvironment> environment = std::make_shared<FixedLogLineEnvironment>();
    std::wstring folder = scratch.pathOf(L"Halvex\\HXLOGS\\_no_group\\logging_tests");
    std::wstring perLogIni = folder + L"\\log.ini";

    std::wstring logFile(int index) const {
        wchar_t number[8];
        std::swprintf(number, 8, L"%03d", index);
        return folder + L"\\logging_tests__no_host" + number + L".log";
    }
};

class CLoggingTest : public testing::Test, public LogPlace {
protected:
    CLogging logger{shell, environment};

    void init() { ASSERT_EQ(0u, logger.Init(L"_no_group", nullptr, L"_no_host", nullptr)); }
    DWORD logError(const wchar_t* message) { return logger.Log(L"dll\\SharedLibrary", L"f", 7, 4, message); }
};

TEST_F(CLoggingTest, TheFirstWriteCreatesEveryFolderAndFile000WithItsByteOrderMark) {
    init();
    EXPECT_TRUE(scratch.entries().empty()) << "Init creates nothing";
    EXPECT_EQ(std::vector<DWORD>{KF_FLAG_CREATE}, shell->flagsAsked);

    EXPECT_EQ(0u, logError(L"LoadLibrary Failed. GLE: 126"));
    EXPECT_EQ(0u, logger.Log(L"f", L"g", 1, 1, L"\n")); // no level test here; its own line end
    const std::vector<std::wstring> created = {
        L"Halvex",
        L"Halvex\\HXLOGS",
        L"Halvex\\HXLOGS\\_no_group",
        L"Halvex\\HXLOGS\\_no_group\\logging_tests",
        L"Halvex\\HXLOGS\\_no_group\\logging_tests\\logging_tests__no_host000.log",
    };
    EXPECT_EQ(created, scratch.entries());
    EXPECT_EQ(byteOrderMark + errorLine(L"LoadLibrary Failed. GLE: 126") +
                  L"12/31/2024 11:59:07 PM$ -- (Normal)$ [logging_tests.e]$ \n",
              readLog(logFile(0)));
}

TEST(CLoggingNames, FollowGroupAndHost) {
    const struct {
        const wchar_t* group;
        const wchar_t* host;
        const wchar_t* file;
    } cases[] = {
        {L"_no_group", L"_no_host",
         L"Halvex\\HXLOGS\\_no_group\\logging_tests\\logging_tests__no_host000.log"},
        {nullptr, nullptr, L"Halvex\\HXLOGS\\logging_tests\\logging_tests000.log"},
        {L"g", nullptr, L"Halvex\\HXLOGS\\g\\logging_tests\\logging_tests000.log"},
        {nullptr, L"h", L"Halvex\\HXLOGS\\logging_tests\\logging_tests_h000.log"},
    };
    for (const auto& c : cases) {
        LogPlace place;
        CLogging logger(place.shell, place.environment);
        ASSERT_EQ(0u, logger.Init(c.group, nullptr, c.host, nullptr));
        EXPECT_EQ(0u, logger.Log(L"f", L"g", 1, 4, L"m"));
        EXPECT_TRUE(Vornix::fileExists(place.scratch.pathOf(c.file).c_str())) << c.file;
    }
}

TEST_F(CLoggingTest, ComponentIsTheModuleGivenElseTheExecutable) {
    ASSERT_EQ(0u, logger.Init(L"_no_group", GetModuleHandleW(L"kernel32.dll"), L"_no_host", nullptr));
    EXPECT_EQ(0u, logError(L"m"));
    EXPECT_EQ(byteOrderMark + L"12/31/2024 11:59:07 PM$ -- (Error)$ [   kernel32.dll]$ m\r\n",
              readLog(logFile(0)));
}

TEST_F(CLoggingTest, InitAndUninitStates) {
    EXPECT_EQ(20002u, logError(L"before Init"));
    EXPECT_EQ(20002u, logger.Uninit());
    EXPECT_EQ(87u, logger.Init(L"", nullptr, L"_no_host", nullptr));
    EXPECT_EQ(87u, logger.Init(L"_no_group", nullptr, L"", nullptr));
    EXPECT_EQ(20002u, logger.Uninit()) << "a failed Init leaves the logger uninitialised";
    init();
    EXPECT_EQ(20001u, logger.Init(L"_no_group", nullptr, L"_no_host", nullptr));
    EXPECT_EQ(0u, logger.Uninit());
    EXPECT_EQ(20002u, logger.Uninit());
    // A write while uninitialised has no folder to make and must not switch the logger off.
    EXPECT_EQ(20002u, logError(L"after Uninit"));
    EXPECT_TRUE(scratch.entries().empty());
    init();
    EXPECT_EQ(0u, logError(L"m"));
    EXPECT_EQ(byteOrderMark + errorLine(L"m"), readLog(logFile(0)));
}

TEST_F(CLoggingTest, UninitRestoresTheDefaultsAndAFailedInitToo) {
    init();
    logger.SetMaxSize(1048576);
    logger.SetMaxEntries(10);
    logger.SetSeverity(5);
    logger.SetEnabled(false);
    ASSERT_EQ(0u, logger.Uninit());
    EXPECT_EQ(262144u, logger.GetMaxSize());
    EXPECT_EQ(3u, logger.GetMaxEntries());
    EXPECT_EQ(3u, logger.GetSeverity());
    EXPECT_TRUE(logger.IsEnabled());

    logger.SetSeverity(5);
    shell->result = E_FAIL;
    EXPECT_EQ(87u, logger.Init(L"_no_group", nullptr, L"_no_host", nullptr));
    EXPECT_EQ(3u, logger.GetSeverity());
    EXPECT_EQ(20002u, logger.Uninit());
}

// The count belongs to the object's owners, not to its initialisation.
TEST(CLoggingReferences, UninitLeavesTheReferenceCountAlone) {
    LogPlace place;
    auto* logger = new CLogging(place.shell, place.environment);
    EXPECT_EQ(1u, logger->AddRef());
    EXPECT_EQ(2u, logger->AddRef());
    ASSERT_EQ(0u, logger->Init(L"_no_group", nullptr, L"_no_host", nullptr));
    ASSERT_EQ(0u, logger->Uninit());
    EXPECT_EQ(1u, logger->Release());
    EXPECT_EQ(0u, logger->Release()); // destroyed
}

TEST_F(CLoggingTest, SettersClampTheirValues) {
    const struct {
        void (CLogging::*set)(DWORD);
        DWORD (CLogging::*get)();
        DWORD given;
        DWORD stored;
    } cases[] = {
        {&CLogging::SetMaxEntries, &CLogging::GetMaxEntries, 0, 2},
        {&CLogging::SetMaxEntries, &CLogging::GetMaxEntries, 1, 2},
        {&CLogging::SetMaxEntries, &CLogging::GetMaxEntries, 2, 2},
        {&CLogging::SetMaxEntries, &CLogging::GetMaxEntries, 100, 100},
        {&CLogging::SetMaxEntries, &CLogging::GetMaxEntries, 101, 100},
        {&CLogging::SetMaxSize, &CLogging::GetMaxSize, 100, 262144},
        {&CLogging::SetMaxSize, &CLogging::GetMaxSize, 262145, 262145},
        {&CLogging::SetMaxSize, &CLogging::GetMaxSize, 10485760, 10485760},
        {&CLogging::SetMaxSize, &CLogging::GetMaxSize, 0xFFFFFFFF, 10485760},
        {&CLogging::SetSeverity, &CLogging::GetSeverity, 0, 1},
        {&CLogging::SetSeverity, &CLogging::GetSeverity, 4, 4},
        {&CLogging::SetSeverity, &CLogging::GetSeverity, 7, 6},
        {&CLogging::SetSeverity, &CLogging::GetSeverity, 0xFFFFFFFF, 6},
    };
    for (const auto& c : cases) {
        (logger.*c.set)(c.given);
        EXPECT_EQ(c.stored, (logger.*c.get)()) << c.given;
    }
    logger.SetSeverity(3);
    EXPECT_FALSE(logger.IsLevelEnabled(2));
    EXPECT_TRUE(logger.IsLevelEnabled(3));
    EXPECT_TRUE(logger.IsLevelEnabled(7)); // passes here; the line itself is refused
}

// Where the next line goes, from the stored index and the files already there (3 entries).
TEST(CLoggingRotation, WhichFileTheNextLineGoesTo) {
    struct File {
        int index;
        std::size_t size;
    };
    const struct {
        const char* what;
        std::optional<int> stored;
        std::vector<File> existing;
        int written;
        bool emptiedFirst;
        std::optional<int> storedAfter;
    } cases[] = {
        {"nothing yet", std::nullopt, {}, 0, true, std::nullopt},
        {"one byte below the limit", std::nullopt, {{0, MAX_SIZE - 1}}, 0, false, std::nullopt},
        {"exactly the limit", std::nullopt, {{0, MAX_SIZE}}, 1, true, 1},
        {"the stored index", 1, {{0, MAX_SIZE}, {1, 100}}, 1, false, 1},
        {"the next one exists already", 0, {{0, MAX_SIZE}, {1, 100}}, 1, true, 1},
        {"wrap from 002 to 000", 2, {{0, MAX_SIZE}, {1, MAX_SIZE}, {2, MAX_SIZE}}, 0, true, 0},
        {"stored index beyond the ring", 7, {{0, 100}, {7, 100}}, 0, true, 0},
        {"negative stored index", -1, {{0, 100}}, 0, true, 0},
        {"over the limit", std::nullopt, {{0, MAX_SIZE + 1}}, 1, true, 1},
    };
    for (const auto& c : cases) {
        LogPlace place;
        if (c.stored) {
            storeIni(place.perLogIni, L"LastLogIdx", *c.stored);
        }
        for (const File& file : c.existing) {
            writeFileOfSize(place.logFile(file.index), file.size);
        }
        CLogging logger(place.shell, place.environment);
        ASSERT_EQ(0u, logger.Init(L"_no_group", nullptr, L"_no_host", nullptr));
        ASSERT_EQ(0u, logger.Log(L"f", L"g", 1, 4, L"m")) << c.what;

        const std::string content = readBytes(place.logFile(c.written));
        if (c.emptiedFirst) {
            EXPECT_EQ(bytesOf(byteOrderMark + errorLine(L"m")), content) << c.what;
        } else {
            const std::string line = bytesOf(errorLine(L"m"));
            EXPECT_EQ(std::string(c.existing.back().size, 'x') + line, content) << c.what;
        }
        for (const File& file : c.existing) {
            if (file.index != c.written) {
                EXPECT_EQ(file.size, sizeOf(place.logFile(file.index))) << c.what << " " << file.index;
            } else if (!c.emptiedFirst) {
                EXPECT_EQ(file.size + errorLine(L"m").size() * 2, sizeOf(place.logFile(file.index)))
                    << c.what;
            }
        }
        EXPECT_EQ(c.storedAfter, storedIndex(place.perLogIni)) << c.what;
    }
}

// Only the low 32 bits of this size are below the limit.
TEST(CLoggingRotation, SizesBeyond4GiBCountWhole) {
    LogPlace place;
    writeFileOfSize(place.logFile(0), 0);
    {
        Vornix::UniqueFileHandle file(CreateFileW(place.logFile(0).c_str(), GENERIC_WRITE, 0, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size;
        size.QuadPart = 0x100000064LL;
        ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    CLogging logger(place.shell, place.environment);
    ASSERT_EQ(0u, logger.Init(L"_no_group", nullptr, L"_no_host", nullptr));
    ASSERT_EQ(0u, logger.Log(L"f", L"g", 1, 4, L"m"));
    EXPECT_EQ(0x100000064u, sizeOf(place.logFile(0)));
    EXPECT_EQ(byteOrderMark + errorLine(L"m"), readLog(place.logFile(1)));
    EXPECT_EQ(1, storedIndex(place.perLogIni));
}

TEST_F(CLoggingTest, SettingsFromLogIniApplyAtInit) {
    storeIni(perLogIni, L"Severity", 1);
    storeIni(perLogIni, L"Options", 0x3C);
    storeIni(perLogIni, L"MaxEntries", 5);
    storeIni(scratch.pathOf(L"Halvex\\HXLOGS\\log.ini"), L"MaxSize", 1048576);
    storeIni(scratch.pathOf(L"Halvex\\HXLOGS\\log.ini"), L"Enable", 0);
    init();
    EXPECT_EQ(1u, logger.GetSeverity());
    EXPECT_EQ(5u, logger.GetMaxEntries());
    EXPECT_EQ(1048576u, logger.GetMaxSize());
    EXPECT_FALSE(logger.IsEnabled());

    EXPECT_EQ(0u, logger.Log(L"dll\\SharedLibrary", L"Corvane::SharedLibrary::loadLibrary", 7, 1, L"m"));
    wchar_t processThread[64];
    std::swprintf(processThread, 64, L"[PID:%5d TID: 5120]$", static_cast<int>(GetCurrentProcessId()));
    EXPECT_EQ(byteOrderMark + L"12/31/2024 11:59:07 PM$ -- (Normal)$ [logging_tests.e]$ " + processThread +
                  L" [       SharedLibrary:    7]$ [     Corvane::SharedLibrary::loadLibrary()]$ m\r\n",
              readLog(logFile(0)));
}

TEST_F(CLoggingTest, PrintfFormsFollowTheSwitchAndTheSeverity) {
    init();
    logger.LogF(2, L"f", L"g", 1, L"below the severity");
    logger.LogF(4, L"f", L"g", 1, L"%ls %hs %lu", L"wide", "narrow", 5UL);
    logger.SetEnabled(false);
    logger.LogF(4, L"f", L"g", 1, L"switched off");
    logger.LogWarning(L"f", L"g", 1, L"%d", 2); // the per-level forms write regardless
    EXPECT_EQ(byteOrderMark + errorLine(L"wide narrow 5") +
                  L"12/31/2024 11:59:07 PM$ -- (Warning)$ [logging_tests.e]$ 2\r\n",
              readLog(logFile(0)));
}

TEST_F(CLoggingTest, PrintfFormsCutTheMessageTo4159Characters) {
    init();
    const std::wstring longText(5000, L'a');
    logger.LogError(L"f", L"g", 1, L"%ls", longText.c_str());
    EXPECT_EQ(byteOrderMark + errorLine(std::wstring(4159, L'a')), readLog(logFile(0)));
}

TEST_F(CLoggingTest, RefusedLinesLeaveTheFileAlone) {
    init();
    ASSERT_EQ(0u, logError(L"first"));
    EXPECT_EQ(87u, logError(L""));
    EXPECT_EQ(87u, logError(nullptr));
    EXPECT_EQ(87u, logger.Log(L"f", L"g", 1, 0, L"level 0"));
    EXPECT_EQ(87u, logger.Log(L"f", L"g", 1, 7, L"level 7"));
    EXPECT_EQ(byteOrderMark + errorLine(L"first"), readLog(logFile(0)));
}

TEST_F(CLoggingTest, AnUncreatableLogFolderSwitchesTheLoggerOffForGood) {
    const std::wstring blocker = scratch.makeFile(L"Halvex"); // a file where a folder must go
    init();
    EXPECT_EQ(87u, logError(L"m"));
    EXPECT_FALSE(logger.IsEnabled());
    for (DWORD level = 0; level <= 7; ++level) {
        EXPECT_FALSE(logger.IsLevelEnabled(level)) << level;
    }
    ASSERT_TRUE(DeleteFileW(blocker.c_str()));
    EXPECT_EQ(87u, logError(L"m")) << "off for good";
    EXPECT_TRUE(scratch.entries().empty());
}

TEST_F(CLoggingTest, GetLogRootFolderCopiesTheCommonApplicationDataFolder) {
    const std::wstring& root = scratch.path();
    std::vector<wchar_t> buffer(root.size() + 1, L'?');
    EXPECT_EQ(0u, logger.GetLogRootFolder(buffer.data(), static_cast<DWORD>(buffer.size())));
    EXPECT_EQ(root, buffer.data());
    EXPECT_EQ(80u, logger.GetLogRootFolder(buffer.data(), static_cast<DWORD>(root.size())));
    EXPECT_EQ(root.substr(0, root.size() - 1), buffer.data());
    EXPECT_EQ(87u, logger.GetLogRootFolder(nullptr, 260));
    EXPECT_EQ(87u, logger.GetLogRootFolder(buffer.data(), 0));
    shell->result = E_FAIL;
    EXPECT_EQ(87u, logger.GetLogRootFolder(buffer.data(), static_cast<DWORD>(buffer.size())));
}

// Takes the executable's log mutex in another process and keeps it until told to let go or,
// when asked to abandon it, exits holding it.
class MutexHolderProcess {
public:
    explicit MutexHolderProcess(bool abandon) {
        static std::atomic<int> counter{0};
        const std::wstring prefix =
            L"pelmora-mutex-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        const std::wstring heldName = prefix + L"-held";
        const std::wstring releaseName = prefix + L"-release";
        held_.reset(CreateEventW(nullptr, TRUE, FALSE, heldName.c_str()));
        release_.reset(CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        const std::wstring program =
            std::filesystem::path(self).parent_path().wstring() + L"\\MutexHolder.exe";
        std::wstring commandLine = L"\"" + program + L"\" " + MUTEX_NAME + L" " + heldName + L" " +
                                   (abandon ? std::wstring(L"abandon") : releaseName);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &started)) {
            process_.reset(started.hProcess);
            CloseHandle(started.hThread);
        }
    }
    ~MutexHolderProcess() {
        Release();
        if (process_ && WaitForSingleObject(process_.get(), 60000) != WAIT_OBJECT_0) {
            TerminateProcess(process_.get(), 2);
        }
    }
    MutexHolderProcess(const MutexHolderProcess&) = delete;
    MutexHolderProcess& operator=(const MutexHolderProcess&) = delete;

    bool WaitUntilHeld() const {
        const HANDLE either[] = {held_.get(), process_.get()};
        return process_ && WaitForMultipleObjects(2, either, FALSE, 60000) == WAIT_OBJECT_0;
    }
    void Release() const { SetEvent(release_.get()); }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_.get(), 60000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process_.get(), &code);
        }
        return code;
    }

private:
    UniqueHandle held_;
    UniqueHandle release_;
    UniqueHandle process_;
};

TEST_F(CLoggingTest, AWriteGivesUpWhenAnotherProcessKeepsTheMutex) {
    init();
    MutexHolderProcess holder(false);
    ASSERT_TRUE(holder.WaitUntilHeld());
    EXPECT_EQ(ERROR_TIMEOUT_GIVEN_UP, logError(L"dropped"));
    EXPECT_TRUE(scratch.entries().empty()) << "nothing done without the mutex";
    holder.Release();
    EXPECT_EQ(0u, holder.ExitCode());
    EXPECT_EQ(0u, logError(L"written"));
    EXPECT_EQ(byteOrderMark + errorLine(L"written"), readLog(logFile(0)));
}

TEST_F(CLoggingTest, AnAbandonedMutexCountsAsObtained) {
    init();
    MutexHolderProcess holder(true);
    ASSERT_TRUE(holder.WaitUntilHeld());
    EXPECT_EQ(0u, holder.ExitCode());
    EXPECT_EQ(0u, logError(L"written"));
    EXPECT_EQ(byteOrderMark + errorLine(L"written"), readLog(logFile(0)));
    // ... and given back afterwards.
    MutexHolderProcess next(false);
    EXPECT_TRUE(next.WaitUntilHeld());
}

} // namespace
