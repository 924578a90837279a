#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

namespace Corvane::Analytics {

// Append-only store of UTF-16 text addressed by 32-bit offsets. Appending a short string
// is a bounds check and a memcpy, which the map does twice for every attribute.
class CharStore {
public:
    CharStore() = default;
    CharStore(const CharStore& other) : size_(other.size_), capacity_(other.size_) {
        if (size_ != 0) {
            chars_.reset(new wchar_t[size_]);
            std::memcpy(chars_.get(), other.chars_.get(), size_ * sizeof(wchar_t));
        }
    }
    CharStore(CharStore&&) noexcept = default;
    CharStore& operator=(CharStore other) noexcept {
        swap(other);
        return *this;
    }

    void swap(CharStore& other) noexcept {
        chars_.swap(other.chars_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    // Offset of the stored copy. Throws std::bad_alloc and then stores nothing.
    std::uint32_t append(std::wstring_view text) {
        if (text.size() > UINT32_MAX - size_) {
            throw std::bad_alloc();
        }
        const auto needed = static_cast<std::uint32_t>(size_ + text.size());
        if (needed > capacity_) {
            grow(needed);
        }
        const std::uint32_t offset = size_;
        std::memcpy(chars_.get() + offset, text.data(), text.size() * sizeof(wchar_t));
        size_ = needed;
        return offset;
    }

    std::wstring_view view(std::uint32_t offset, std::uint32_t length) const {
        return std::wstring_view(chars_.get() + offset, length);
    }

private:
    void grow(std::uint32_t needed) {
        const std::uint64_t doubled = std::uint64_t{capacity_} * 2;
        const auto capacity = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            UINT32_MAX, std::max<std::uint64_t>({doubled, needed, 256})));
        std::unique_ptr<wchar_t[]> chars(new wchar_t[capacity]);
        if (size_ != 0) {
            std::memcpy(chars.get(), chars_.get(), size_ * sizeof(wchar_t));
        }
        chars_ = std::move(chars);
        capacity_ = capacity;
    }

    std::unique_ptr<wchar_t[]> chars_;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};

} // namespace Corvane::Analytics
