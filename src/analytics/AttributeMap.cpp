#include "analytics/AttributeMap.h"

#include <algorithm>
#include <new>

namespace Corvane::Analytics {

namespace {
constexpr std::uint64_t fnvOffsetBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t fnvPrime = 0x100000001b3ULL;
constexpr double maxLoadFactor = 1.0;

// Inline: the library's wmemcmp is a call per comparison, and keys are short.
bool sameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

std::size_t grownBucketCount(std::size_t count) { return count < 512 ? count * 8 : count * 2; }

// With no more entries than buckets, the index stays at most half full.
std::size_t indexSlotCount(std::size_t bucketCount) { return bucketCount * 2; }
} // namespace

AttributeMap::AttributeMap() : buckets_(initialBucketCount), index_(indexSlotCount(initialBucketCount)) {}

std::uint64_t AttributeMap::hashKey(std::wstring_view key) {
    // A code unit below 0x100 feeds a zero high byte, and (h ^ 0) * p * p == h * p²:
    // one multiplication instead of two for the common case.
    constexpr std::uint64_t fnvPrimeSquared = fnvPrime * fnvPrime;
    std::uint64_t hash = fnvOffsetBasis;
    for (wchar_t unit : key) {
        const auto code = static_cast<std::uint16_t>(unit);
        if (code < 0x100) {
            hash = (hash ^ code) * fnvPrimeSquared;
        } else {
            hash = (hash ^ (code & 0xFFu)) * fnvPrime;
            hash = (hash ^ (code >> 8)) * fnvPrime;
        }
    }
    return hash;
}

KeyIndex::Probe AttributeMap::probe(std::wstring_view key) const {
    return index_.probe(index_.hash(key), [&](std::uint32_t i) { return sameText(view(nodes_[i].key), key); });
}

std::optional<std::wstring_view> AttributeMap::find(std::wstring_view key) const {
    const std::uint32_t i = probe(key).entry;
    if (i == KeyIndex::none) {
        return std::nullopt;
    }
    return view(nodes_[i].value);
}

// A replaced value stays behind in the character store, unused until the map goes.
AttributeMap::Span AttributeMap::store(std::wstring_view text) {
    return Span{chars_.append(text), static_cast<std::uint32_t>(text.size())};
}

bool AttributeMap::insertOrAssign(std::wstring_view key, std::wstring_view value) {
    const KeyIndex::Probe found = probe(key);
    if (found.entry != KeyIndex::none) {
        nodes_[found.entry].value = store(value);
        return false;
    }
    if (nodes_.size() >= npos - 1) {
        throw std::bad_alloc();
    }
    // Everything that can throw happens before the sequence changes; characters stored
    // by a failed insertion are merely unused.
    const std::uint64_t hash = hashKey(key);
    const bool grows = static_cast<double>(nodes_.size() + 1) / static_cast<double>(buckets_.size()) > maxLoadFactor;
    Growth growth = grows ? prepareGrowth(nodes_.size() + 1) : Growth();
    if (nodes_.size() == nodes_.capacity()) {
        nodes_.reserve(std::max<std::size_t>(16, nodes_.capacity() * 2));
    }
    const Span keySpan = store(key);
    const Span valueSpan = store(value);
    nodes_.push_back(Node{hash, keySpan, valueSpan, npos, npos});
    const auto added = static_cast<std::uint32_t>(nodes_.size() - 1);
    link(added);
    index_.add(found, added);
    if (grows) {
        rebuild(growth);
    }
    return true;
}

// Places a node that is in no sequence yet: before the first entry of its bucket,
// or at the end of the sequence when its bucket is empty.
void AttributeMap::link(std::uint32_t index) {
    Node& node = nodes_[index];
    Bucket& bucket = buckets_[node.hash & (buckets_.size() - 1)];
    if (bucket.first == npos) {
        node.prev = tail_;
        node.next = npos;
        (tail_ == npos ? head_ : nodes_[tail_].next) = index;
        tail_ = index;
        bucket.first = index;
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
    growth.order.reserve(newSize);
    growth.buckets.resize(grownBucketCount(buckets_.size()));
    growth.indexSlots = KeyIndex::emptySlots(indexSlotCount(growth.buckets.size()));
    return growth;
}

// Re-inserts every entry in its old sequence order under the new bucket count.
void AttributeMap::rebuild(Growth& growth) noexcept {
    for (std::uint32_t i = head_; i != npos; i = nodes_[i].next) {
        growth.order.push_back(i);
    }
    buckets_.swap(growth.buckets);
    index_.moveTo(growth.indexSlots);
    head_ = tail_ = npos;
    for (std::uint32_t i : growth.order) {
        link(i);
    }
}

} // namespace Corvane::Analytics
