#pragma once

#include "message/MessageHeader.h"

namespace EventRelayTests {

// A version-1 header in its 100 bytes right before an inaccessible page: a library that
// reads past byte 99 faults.
class PageEndHeader {
public:
    explicit PageEndHeader(const Corvane::MessageHeader& content);
    ~PageEndHeader();
    PageEndHeader(const PageEndHeader&) = delete;
    PageEndHeader& operator=(const PageEndHeader&) = delete;

    Corvane::MessageHeader* get() const { return header_; }

private:
    void* pages_;
    Corvane::MessageHeader* header_;
};

} // namespace EventRelayTests
