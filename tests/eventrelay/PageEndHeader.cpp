#include "PageEndHeader.h"

#include <cstring>
#include <stdexcept>

#include <windows.h>

namespace EventRelayTests {

namespace {
std::size_t pageSize() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}
} // namespace

PageEndHeader::PageEndHeader(const Corvane::MessageHeader& content)
    : pages_(VirtualAlloc(nullptr, 2 * pageSize(), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)),
      header_(nullptr) {
    DWORD previous = 0;
    if (pages_ == nullptr ||
        !VirtualProtect(static_cast<char*>(pages_) + pageSize(), pageSize(), PAGE_NOACCESS, &previous)) {
        throw std::runtime_error("cannot set up a guarded header");
    }
    char* start = static_cast<char*>(pages_) + pageSize() - Corvane::MESSAGE_HEADER_V1_SIZE;
    std::memcpy(start, &content, Corvane::MESSAGE_HEADER_V1_SIZE);
    header_ = reinterpret_cast<Corvane::MessageHeader*>(start);
}

PageEndHeader::~PageEndHeader() {
    VirtualFree(pages_, 0, MEM_RELEASE);
}

} // namespace EventRelayTests
