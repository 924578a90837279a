#include "analytics/AttributeMap.h"

#include <new>

namespace Corvane::Analytics {

namespace {
constexpr std::uint64_t fnvOffsetBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t fnvPrime = 0x100000001b3ULL;
constexpr double maxLoadFactor = 1.0;

std::size_t grownBucketCount(std::size_t count) { return count < 512 ? count * 8 : count * 2; }
} // namespace

AttributeMap::AttributeMap() : buckets_(initialBucketCount) {}

std::uint64_t AttributeMap::hashKey(std::wstring_view key) {
    std::uint64_t hash = fnvOffsetBasis;
    for (wchar_t unit : key) {
        const auto code = static_cast<std::uint16_t>(unit);
        hash = (hash ^ (code & 0xFFu)) * fnvPrime;
        hash = (hash ^ (code >> 8)) * fnvPrime;
    }
    return hash;
}

std::uint32_t AttributeMap::findIndex(std::wstring_view key, std::uint64_t hash) const {
    const Bucket& bucket = buckets_[hash & (buckets_.size() - 1)];
    for (std::uint32_t i = bucket.first; i != npos; i = nodes_[i].next) {
        const Node& node = nodes_[i];
        if (node.hash == hash && node.entry.key == key) {
            return i;
        }
        if (i == bucket.last) {
            break;
        }
    }
    return npos;
}

const std::wstring* AttributeMap::find(std::wstring_view key) const {
    const std::uint32_t i = findIndex(key, hashKey(key));
    return i == npos ? nullptr : &nodes_[i].entry.value;
}

bool AttributeMap::insertOrAssign(std::wstring_view key, std::wstring_view value) {
    const std::uint64_t hash = hashKey(key);
    const std::uint32_t present = findIndex(key, hash);
    if (present != npos) {
        nodes_[present].entry.value.assign(value);
        return false;
    }
    if (nodes_.size() >= npos - 1) {
        throw std::bad_alloc();
    }
    // Everything that can throw happens before the map changes.
    Growth growth = prepareGrowth(nodes_.size() + 1);
    nodes_.push_back(Node{Entry{std::wstring(key), std::wstring(value)}, hash, npos, npos});
    link(static_cast<std::uint32_t>(nodes_.size() - 1));
    if (!growth.buckets.empty()) {
        rebuild(growth);
    }
    return true;
}

// Places a node that is in no sequence yet: before the first entry of its bucket,
// or at the end of the sequence when its bucket is empty.
void AttributeMap::link(std::uint32_t index) {
    Node& node = nodes_[index];
    Bucket& bucket = bucketOf(node.hash);
    if (bucket.first == npos) {
        node.prev = tail_;
        node.next = npos;
        (tail_ == npos ? head_ : nodes_[tail_].next) = index;
        tail_ = index;
        bucket.first = bucket.last = index;
        return;
    }
    Node& first = nodes_[bucket.first];
    node.prev = first.prev;
    node.next = bucket.first;
    (first.prev == npos ? head_ : nodes_[first.prev].next) = index;
    first.prev = index;
    bucket.first = index;
}

AttributeMap::Growth AttributeMap::prepareGrowth(std::size_t newSize) const {
    Growth growth;
    if (static_cast<double>(newSize) / static_cast<double>(buckets_.size()) > maxLoadFactor) {
        growth.order.reserve(newSize);
        growth.buckets.resize(grownBucketCount(buckets_.size()));
    }
    return growth;
}

// Re-inserts every entry in its old sequence order under the new bucket count.
void AttributeMap::rebuild(Growth& growth) noexcept {
    for (std::uint32_t i = head_; i != npos; i = nodes_[i].next) {
        growth.order.push_back(i);
    }
    buckets_.swap(growth.buckets);
    head_ = tail_ = npos;
    for (std::uint32_t i : growth.order) {
        link(i);
    }
}

} // namespace Corvane::Analytics
