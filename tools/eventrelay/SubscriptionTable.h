#pragma once

#include <map>
#include <string>
#include <vector>

#include "Subscription.h"

namespace EventRelay {

// Every subscription of the process by id. Not locked: the relay guards it.
class SubscriptionTable {
public:
    // A fresh non-zero id, never one still in use.
    Corvane::BusSubscriptionId add(Subscription subscription);
    // Only the connection that made a subscription may remove it.
    bool remove(Corvane::BusHandle handle, Corvane::BusSubscriptionId id);
    void removeConnection(Corvane::BusHandle handle);

    // Ids of the subscriptions the name matches, in the order they were made.
    std::vector<Corvane::BusSubscriptionId> matching(const std::wstring& name) const;
    const Subscription* find(Corvane::BusSubscriptionId id) const;

private:
    Corvane::BusSubscriptionId freshId();

    std::map<Corvane::BusSubscriptionId, Subscription> subscriptions_;
    Corvane::BusSubscriptionId lastId_ = 0;
};

} // namespace EventRelay
