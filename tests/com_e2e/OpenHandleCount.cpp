#include "OpenHandleCount.h"

#include <vector>

#include <gtest/gtest.h>
#include <winternl.h>

namespace PelmoraTests {

namespace {
constexpr NTSTATUS success = 0;
constexpr NTSTATUS lengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
} // namespace

DWORD openHandleCount() {
    std::vector<char> table(64 * 1024);
    NTSTATUS status = lengthMismatch;
    while (status == lengthMismatch) {
        ULONG needed = 0;
        status = NtQuerySystemInformation(SystemHandleInformation, table.data(),
                                          static_cast<ULONG>(table.size()), &needed);
        if (status == lengthMismatch) {
            table.resize(table.size() * 2);
        }
    }
    if (status != success) {
        ADD_FAILURE() << "the system's handle table cannot be read: status " << std::hex << status;
        return 0;
    }
    const auto* handles = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(table.data());
    const SYSTEM_HANDLE_ENTRY* entries = handles->Handle;
    DWORD count = 0;
    for (ULONG index = 0; index < handles->Count; ++index) {
        count += entries[index].OwnerPid == GetCurrentProcessId();
    }
    return count;
}

} // namespace PelmoraTests
