#include "SharedTicketCounter.h"

namespace FileLogTests {

// The first process to name it creates it, zero-filled; the others open the same memory.
SharedTicketCounter::SharedTicketCounter(const std::wstring& name)
    : mapping_(
          CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), name.c_str())) {
    if (mapping_) {
        view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LONG)));
    }
}

LONG SharedTicketCounter::next() {
    return InterlockedIncrement(counter());
}

LONG SharedTicketCounter::last() const {
    return InterlockedCompareExchange(counter(), 0, 0);
}

} // namespace FileLogTests
