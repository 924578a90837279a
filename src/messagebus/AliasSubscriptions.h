#pragma once

#include <cstdint>
#include <vector>

#include "messagebus/FilterSubscription.h"
#include "messagebus/Subscription.h"

namespace Corvane {

// Everything filed under one alias, each kind in the order it was added.
struct AliasSubscriptions {
    std::vector<Subscription> subscriptions;
    std::vector<FilterSubscription> filters;

    // The bus library's ids: the plain subscriptions first, then the patterns.
    std::vector<std::uint32_t> ids() const {
        std::vector<std::uint32_t> result;
        for (const auto& subscription : subscriptions) {
            result.push_back(subscription.id);
        }
        for (const auto& filter : filters) {
            result.push_back(filter.id);
        }
        return result;
    }
};

} // namespace Corvane
