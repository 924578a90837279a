#pragma once

#include <vector>

#include <windows.h>

#include "Logging/TraceRecord.h"

namespace ETWLogging {

// The tagged byte layout of a trace record: per field a 32-bit tag, a 32-bit kind, a 16-bit
// byte length and the bytes.
class TracePayload {
public:
    // Longest string the 16-bit length can describe in whole UTF-16 characters.
    static constexpr size_t MAX_STRING_CHARACTERS = 32767;

    // 0, or 14 when memory ran out; never throws.
    static DWORD Serialize(const TraceRecord& record, std::vector<BYTE>& payload);

private:
    static void AppendHeader(std::vector<BYTE>& payload, DWORD tag, DWORD kind, WORD length);
    static void AppendNumber(std::vector<BYTE>& payload, DWORD tag, DWORD kind, int value);
    static void AppendString(std::vector<BYTE>& payload, DWORD tag, const std::wstring& text);
    static void Reserve(std::vector<BYTE>& payload, size_t more);
};

} // namespace ETWLogging
