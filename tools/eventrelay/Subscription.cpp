#include "Subscription.h"

#include <utility>

namespace EventRelay {

Subscription::Subscription(const DeliveryTarget& target, std::wstring name)
    : target_(target), name_(std::move(name)) {}

Subscription::Subscription(const DeliveryTarget& target, std::wregex pattern)
    : target_(target), pattern_(std::move(pattern)) {}

std::optional<std::wregex> Subscription::compile(const wchar_t* pattern) {
    try {
        return std::wregex(pattern, std::regex_constants::ECMAScript | std::regex_constants::nosubs |
                                        std::regex_constants::optimize);
    } catch (const std::regex_error&) {
        return std::nullopt;
    }
}

bool Subscription::matches(const std::wstring& name) const {
    if (!pattern_) {
        return name == name_;
    }
    try {
        return std::regex_match(name, *pattern_);
    } catch (const std::regex_error&) {
        // A pattern too complex for this name must not stop the message reaching others.
        return false;
    }
}

} // namespace EventRelay
