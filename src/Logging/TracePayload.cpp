#include "Logging/TracePayload.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ETWLogging {
namespace {

constexpr DWORD KIND_NUMBER = 2;
constexpr DWORD KIND_STRING = 4;
constexpr DWORD KIND_LINE = 5;
constexpr size_t FIELD_HEADER_BYTES = 10;
constexpr size_t GROWTH_SLACK = 50;

void AppendBytes(std::vector<BYTE>& payload, const void* bytes, size_t count) {
    const auto* first = static_cast<const BYTE*>(bytes);
    payload.insert(payload.end(), first, first + count);
}

// A cut must not leave the first half of a surrogate pair at the end.
size_t FittingCharacters(const std::wstring& text) {
    size_t count = std::min(text.size(), TracePayload::MAX_STRING_CHARACTERS);
    if (count < text.size() && count > 0 && IS_HIGH_SURROGATE(text[count - 1])) {
        --count;
    }
    return count;
}

} // namespace

DWORD TracePayload::Serialize(const TraceRecord& record, std::vector<BYTE>& payload) {
    try {
        payload.clear();
        AppendNumber(payload, 4, KIND_NUMBER, record.processId);
        AppendNumber(payload, 5, KIND_NUMBER, record.threadId);
        AppendString(payload, 13, record.processName);
        AppendString(payload, 6, record.sourceFile);
        AppendNumber(payload, 7, KIND_LINE, record.line);
        AppendString(payload, 8, record.function);
        AppendString(payload, 9, record.libraryFileName);
        AppendString(payload, 10, record.libraryVersion);
        AppendString(payload, 11, record.group);
        AppendString(payload, 12, record.messageText);
        return 0;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

void TracePayload::Reserve(std::vector<BYTE>& payload, size_t more) {
    if (payload.capacity() - payload.size() < more) {
        payload.reserve(payload.size() + more + GROWTH_SLACK);
    }
}

void TracePayload::AppendHeader(std::vector<BYTE>& payload, DWORD tag, DWORD kind, WORD length) {
    AppendBytes(payload, &tag, sizeof tag);
    AppendBytes(payload, &kind, sizeof kind);
    AppendBytes(payload, &length, sizeof length);
}

void TracePayload::AppendNumber(std::vector<BYTE>& payload, DWORD tag, DWORD kind, int value) {
    Reserve(payload, FIELD_HEADER_BYTES + sizeof value);
    AppendHeader(payload, tag, kind, sizeof value);
    AppendBytes(payload, &value, sizeof value);
}

void TracePayload::AppendString(std::vector<BYTE>& payload, DWORD tag, const std::wstring& text) {
    const size_t characters = FittingCharacters(text);
    const size_t bytes = characters * sizeof(wchar_t);
    Reserve(payload, FIELD_HEADER_BYTES + bytes);
    AppendHeader(payload, tag, KIND_STRING, static_cast<WORD>(bytes));
    AppendBytes(payload, text.data(), bytes);
}

} // namespace ETWLogging
