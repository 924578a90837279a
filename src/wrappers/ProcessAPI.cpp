#include "wrappers/ProcessAPI.h"

namespace Corvane {

DWORD ProcessAPI::getCurrentProcessId() {
    return GetCurrentProcessId();
}

BOOL ProcessAPI::processIdToSessionId(DWORD processId, DWORD* sessionId) {
    return ProcessIdToSessionId(processId, sessionId);
}

HANDLE ProcessAPI::getCurrentProcess() {
    return GetCurrentProcess();
}

BOOL ProcessAPI::createProcessAsUser(HANDLE token, const wchar_t* application, wchar_t* commandLine,
                                     SECURITY_ATTRIBUTES* processAttributes,
                                     SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles,
                                     DWORD creationFlags, void* environment, const wchar_t* currentDirectory,
                                     STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInformation) {
    return CreateProcessAsUserW(token, application, commandLine, processAttributes, threadAttributes,
                                inheritHandles, creationFlags, environment, currentDirectory, startupInfo,
                                processInformation);
}

BOOL ProcessAPI::openProcessToken(HANDLE process, DWORD desiredAccess, HANDLE* token) {
    return OpenProcessToken(process, desiredAccess, token);
}

BOOL ProcessAPI::adjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* newState,
                                       DWORD bufferLength, TOKEN_PRIVILEGES* previousState,
                                       DWORD* returnLength) {
    return AdjustTokenPrivileges(token, disableAll, newState, bufferLength, previousState, returnLength);
}

BOOL ProcessAPI::lookupPrivilegeValue(const wchar_t* systemName, const wchar_t* privilegeName, LUID* luid) {
    return LookupPrivilegeValueW(systemName, privilegeName, luid);
}

BOOL ProcessAPI::getExitCodeProcess(HANDLE process, DWORD* exitCode) {
    return GetExitCodeProcess(process, exitCode);
}

BOOL ProcessAPI::terminateProcess(HANDLE process, UINT exitCode) {
    return TerminateProcess(process, exitCode);
}

BOOL ProcessAPI::closeHandle(HANDLE handle) {
    return CloseHandle(handle);
}

DWORD ProcessAPI::getLastError() {
    return GetLastError();
}

DWORD ProcessAPI::waitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForSingleObject(handle, milliseconds);
}

} // namespace Corvane
