#pragma once

#include <windows.h>

namespace Corvane {

// Process and token calls of the bus client, replaceable so that a host or a test can
// answer them differently. Every operation forwards unchanged to the Windows function of
// the same name.
class ProcessAPI {
public:
    virtual ~ProcessAPI() = default;

    virtual DWORD getCurrentProcessId();
    virtual BOOL processIdToSessionId(DWORD processId, DWORD* sessionId);
    virtual HANDLE getCurrentProcess();
    virtual BOOL createProcessAsUser(HANDLE token, const wchar_t* application, wchar_t* commandLine,
                                     SECURITY_ATTRIBUTES* processAttributes,
                                     SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles,
                                     DWORD creationFlags, void* environment, const wchar_t* currentDirectory,
                                     STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInformation);
    virtual BOOL openProcessToken(HANDLE process, DWORD desiredAccess, HANDLE* token);
    virtual BOOL adjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* newState,
                                       DWORD bufferLength, TOKEN_PRIVILEGES* previousState,
                                       DWORD* returnLength);
    virtual BOOL lookupPrivilegeValue(const wchar_t* systemName, const wchar_t* privilegeName, LUID* luid);
    virtual BOOL getExitCodeProcess(HANDLE process, DWORD* exitCode);
    virtual BOOL terminateProcess(HANDLE process, UINT exitCode);
    virtual BOOL closeHandle(HANDLE handle);
    virtual DWORD getLastError();
    virtual DWORD waitForSingleObject(HANDLE handle, DWORD milliseconds);
};

} // namespace Corvane
