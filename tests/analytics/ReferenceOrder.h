#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "analytics/AttributeMap.h"

// The attribute map's order rule written the slow and obvious way, to check the map against:
// a new key goes before the first key of its bucket, else to the end; past one key per bucket
// the bucket count grows (x8 below 512, else x2) and the keys are re-inserted in their order.
class ReferenceOrder {
public:
    void insert(const std::wstring& key) {
        for (const auto& present : sequence_) {
            if (present == key) {
                return;
            }
        }
        sequence_.insert(sequence_.begin() + placeFor(key, buckets_), key);
        if (sequence_.size() > buckets_) {
            buckets_ *= buckets_ < 512 ? 8 : 2;
            std::vector<std::wstring> old;
            old.swap(sequence_);
            for (const auto& k : old) {
                sequence_.insert(sequence_.begin() + placeFor(k, buckets_), k);
            }
        }
    }
    const std::vector<std::wstring>& sequence() const { return sequence_; }
    std::size_t buckets() const { return buckets_; }

private:
    std::size_t placeFor(const std::wstring& key, std::size_t buckets) const {
        using Corvane::Analytics::AttributeMap;
        const auto bucket = AttributeMap::hashKey(key) & (buckets - 1);
        for (std::size_t i = 0; i < sequence_.size(); ++i) {
            if ((AttributeMap::hashKey(sequence_[i]) & (buckets - 1)) == bucket) {
                return i;
            }
        }
        return sequence_.size();
    }

    std::vector<std::wstring> sequence_;
    std::size_t buckets_ = 8;
};
