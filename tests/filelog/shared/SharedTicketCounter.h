#pragma once

#include <string>

#include <windows.h>

#include "MappedViewTraits.h"
#include "utils/UniqueResource.h"

namespace FileLogTests {

// A counter in named shared memory, the same for every process that names it: tickets 1, 2,
// 3 ... in the order they are taken, across processes.
class SharedTicketCounter {
public:
    explicit SharedTicketCounter(const std::wstring& name);

    bool valid() const { return view_.valid(); }
    LONG next();
    // The last ticket handed out, 0 before the first.
    LONG last() const;

private:
    volatile LONG* counter() const { return static_cast<volatile LONG*>(view_.get()); }

    Vornix::UniqueHandle mapping_;
    UniqueMappedView view_;
};

} // namespace FileLogTests
