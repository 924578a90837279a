#pragma once

#include <string>

#include <windows.h>

namespace Corvane::Analytics {

// Where the analytics object sends the records it builds.
class IRecordPublisher {
public:
    virtual ~IRecordPublisher() = default;

    // The report's result: S_OK, or why the record could not go out. May throw std::bad_alloc.
    virtual HRESULT publish(const std::wstring& record) = 0;
};

} // namespace Corvane::Analytics
