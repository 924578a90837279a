#pragma once

#include <windows.h>
#include <evntrace.h>

namespace ETWLogging {

// The classic trace provider calls of advapi32, behind one seam so that tests can play the
// trace system and capture every event.
class TraceApi {
public:
    virtual ~TraceApi() = default;
    virtual ULONG RegisterTraceGuids(WMIDPREQUEST callback, void* context, const GUID* controlId, ULONG count,
                                     TRACE_GUID_REGISTRATION* classes, TRACEHANDLE* registration);
    virtual ULONG UnregisterTraceGuids(TRACEHANDLE registration);
    virtual TRACEHANDLE GetTraceLoggerHandle(void* buffer);
    virtual UCHAR GetTraceEnableLevel(TRACEHANDLE session);
    virtual ULONG GetTraceEnableFlags(TRACEHANDLE session);
    virtual ULONG TraceEvent(TRACEHANDLE session, EVENT_TRACE_HEADER* header);
};

} // namespace ETWLogging
