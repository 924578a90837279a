#pragma once

#include <optional>
#include <regex>
#include <string>

#include "businterface/BusLibraryInterface.h"

namespace EventRelay {

// Where and how a delivery is made.
struct DeliveryTarget {
    Corvane::BusHandle handle;
    void* context;
    Corvane::BusMessageCallback callback;
};

// One subscription of a connection: a message name matched exactly, or a pattern that
// must match the whole name.
class Subscription {
public:
    Subscription(const DeliveryTarget& target, std::wstring name);
    Subscription(const DeliveryTarget& target, std::wregex pattern);

    // Empty for a pattern that does not compile.
    static std::optional<std::wregex> compile(const wchar_t* pattern);

    bool matches(const std::wstring& name) const;
    const DeliveryTarget& target() const { return target_; }

private:
    DeliveryTarget target_;
    std::wstring name_;
    std::optional<std::wregex> pattern_;
};

} // namespace EventRelay
