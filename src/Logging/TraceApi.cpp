#include "Logging/TraceApi.h"

namespace ETWLogging {

ULONG TraceApi::RegisterTraceGuids(WMIDPREQUEST callback, void* context, const GUID* controlId, ULONG count,
                                   TRACE_GUID_REGISTRATION* classes, TRACEHANDLE* registration) {
    return ::RegisterTraceGuidsW(callback, context, controlId, count, classes, nullptr, nullptr, registration);
}

ULONG TraceApi::UnregisterTraceGuids(TRACEHANDLE registration) {
    return ::UnregisterTraceGuids(registration);
}

TRACEHANDLE TraceApi::GetTraceLoggerHandle(void* buffer) {
    return ::GetTraceLoggerHandle(buffer);
}

UCHAR TraceApi::GetTraceEnableLevel(TRACEHANDLE session) {
    return ::GetTraceEnableLevel(session);
}

ULONG TraceApi::GetTraceEnableFlags(TRACEHANDLE session) {
    return ::GetTraceEnableFlags(session);
}

ULONG TraceApi::TraceEvent(TRACEHANDLE session, EVENT_TRACE_HEADER* header) {
    return ::TraceEvent(session, header);
}

} // namespace ETWLogging
