#include "PublishedRecords.h"

#include <new>

#include "com/RecordPublisher.h"

namespace PelmoraTests {

PublishedRecords& PublishedRecords::instance() {
    static PublishedRecords records;
    return records;
}

void PublishedRecords::reset() {
    outcome_ = Outcome::Published;
    records_.clear();
}

HRESULT PublishedRecords::publish(const std::wstring& record) {
    switch (outcome_) {
    case Outcome::OutOfMemory:
        return E_OUTOFMEMORY;
    case Outcome::Throws:
        throw std::bad_alloc();
    case Outcome::Published:
        break;
    }
    records_.push_back(record);
    return S_OK;
}

} // namespace PelmoraTests

HRESULT Corvane::Analytics::publishRecord(const std::wstring& record) {
    return PelmoraTests::PublishedRecords::instance().publish(record);
}
