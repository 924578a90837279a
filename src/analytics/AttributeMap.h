#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/CharStore.h"
#include "analytics/KeyIndex.h"

namespace Corvane::Analytics {

// Map of event attributes whose iteration order is part of the published record:
// FNV-1a buckets, a new key goes before the first entry of its bucket (or to the end
// when the bucket is empty), and growth rebuilds the sequence in its old order.
// Names and values live in one character store, so an entry costs no allocation of its own.
// Names are looked up through a keyed index, never by walking a bucket: names chosen to share
// one bucket would otherwise make every insertion walk all of them.
class AttributeMap {
public:
    struct Entry {
        std::wstring_view key;
        std::wstring_view value;
    };

private:
    static constexpr std::uint32_t npos = UINT32_MAX;

    struct Span {
        std::uint32_t offset;
        std::uint32_t length;
    };

    struct Node {
        std::uint64_t hash;
        Span key;
        Span value;
        std::uint32_t prev;
        std::uint32_t next;
    };

    // A bucket's entries are contiguous in the sequence; only where they start matters.
    struct Bucket {
        std::uint32_t first = npos;
    };

public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Entry;

        struct Arrow {
            Entry entry;
            const Entry* operator->() const { return &entry; }
        };

        const_iterator() = default;
        Entry operator*() const { return map_->entryAt(index_); }
        Arrow operator->() const { return Arrow{**this}; }
        const_iterator& operator++() {
            index_ = map_->nodes_[index_].next;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }
        bool operator!=(const const_iterator& other) const { return index_ != other.index_; }

    private:
        friend class AttributeMap;
        const_iterator(const AttributeMap* map, std::uint32_t index) : map_(map), index_(index) {}
        const AttributeMap* map_ = nullptr;
        std::uint32_t index_ = npos;
    };

    static constexpr std::size_t initialBucketCount = 8;

    AttributeMap();

    // Inserts a new key by the order rule, or replaces the value of a present key in place.
    // Returns true when the key was new. Throws std::bad_alloc and then leaves the map as it was.
    bool insertOrAssign(std::wstring_view key, std::wstring_view value);

    // Empty when the key is absent. The view lasts until the map changes.
    std::optional<std::wstring_view> find(std::wstring_view key) const;

    std::size_t size() const { return nodes_.size(); }
    bool empty() const { return nodes_.empty(); }
    std::size_t bucketCount() const { return buckets_.size(); }

    const_iterator begin() const { return const_iterator(this, head_); }
    const_iterator end() const { return const_iterator(this, npos); }

    // 64-bit FNV-1a over the key's UTF-16 code units, low byte first.
    static std::uint64_t hashKey(std::wstring_view key);

private:
    // Memory for a rebuild, taken before the map changes.
    struct Growth {
        std::vector<std::uint32_t> order;
        std::vector<Bucket> buckets;
        KeyIndex::Slots indexSlots;
    };

    std::wstring_view view(Span span) const { return chars_.view(span.offset, span.length); }
    Entry entryAt(std::uint32_t index) const { return Entry{view(nodes_[index].key), view(nodes_[index].value)}; }
    Span store(std::wstring_view text);
    KeyIndex::Probe probe(std::wstring_view key) const;
    void link(std::uint32_t index);
    Growth prepareGrowth(std::size_t newSize) const;
    void rebuild(Growth& growth) noexcept;

    std::vector<Node> nodes_;
    std::vector<Bucket> buckets_;
    CharStore chars_;
    KeyIndex index_;
    std::uint32_t head_ = npos;
    std::uint32_t tail_ = npos;
};

} // namespace Corvane::Analytics
