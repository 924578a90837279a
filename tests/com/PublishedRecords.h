#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace PelmoraTests {

// What the analytics object linked into this executable hands to publishRecord, which this
// executable defines in place of the bus client's.
class PublishedRecords {
public:
    enum class Outcome { Published, OutOfMemory, Throws };

    static PublishedRecords& instance();

    // Forgets the records and publishes normally again.
    void reset();
    void setOutcome(Outcome outcome) { outcome_ = outcome; }
    const std::vector<std::wstring>& records() const { return records_; }

    HRESULT publish(const std::wstring& record);

private:
    Outcome outcome_ = Outcome::Published;
    std::vector<std::wstring> records_;
};

} // namespace PelmoraTests
