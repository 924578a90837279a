#include "wrappers/ProcessAPI.h"

#include <gtest/gtest.h>

#include "utils/UniqueResource.h"

namespace {

using Corvane::ProcessAPI;

TEST(ProcessAPITest, AnswersForTheCurrentProcess) {
    ProcessAPI api;
    EXPECT_EQ(GetCurrentProcessId(), api.getCurrentProcessId());
    EXPECT_EQ(GetCurrentProcess(), api.getCurrentProcess());

    DWORD expected = 0;
    ASSERT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &expected));
    DWORD session = 0xDEADBEEF;
    EXPECT_TRUE(api.processIdToSessionId(api.getCurrentProcessId(), &session));
    EXPECT_EQ(expected, session);
}

TEST(ProcessAPITest, ReportsFailuresAsWindowsDoes) {
    ProcessAPI api;
    DWORD session = 0;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(api.processIdToSessionId(0xFFFFFFF0, &session));
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), api.getLastError());

    SetLastError(1234);
    EXPECT_EQ(1234u, api.getLastError());
}

TEST(ProcessAPITest, OpensAndClosesTheProcessToken) {
    ProcessAPI api;
    HANDLE token = nullptr;
    ASSERT_TRUE(api.openProcessToken(api.getCurrentProcess(), TOKEN_QUERY, &token));
    EXPECT_NE(nullptr, token);
    EXPECT_TRUE(api.closeHandle(token));

    LUID luid{};
    EXPECT_TRUE(api.lookupPrivilegeValue(nullptr, SE_SHUTDOWN_NAME, &luid));
    EXPECT_FALSE(api.lookupPrivilegeValue(nullptr, L"NoSuchPrivilege", &luid));
}

TEST(ProcessAPITest, WaitsForAnObject) {
    ProcessAPI api;
    Vornix::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), api.waitForSingleObject(event.get(), 0));
    SetEvent(event.get());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), api.waitForSingleObject(event.get(), 0));
}

} // namespace
