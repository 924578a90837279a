#include "SubscriptionTable.h"

#include <utility>

namespace EventRelay {

Corvane::BusSubscriptionId SubscriptionTable::add(Subscription subscription) {
    const Corvane::BusSubscriptionId id = freshId();
    subscriptions_.emplace(id, std::move(subscription));
    return id;
}

bool SubscriptionTable::remove(Corvane::BusHandle handle, Corvane::BusSubscriptionId id) {
    const auto found = subscriptions_.find(id);
    if (found == subscriptions_.end() || found->second.target().handle != handle) {
        return false;
    }
    subscriptions_.erase(found);
    return true;
}

void SubscriptionTable::removeConnection(Corvane::BusHandle handle) {
    for (auto it = subscriptions_.begin(); it != subscriptions_.end();) {
        it = it->second.target().handle == handle ? subscriptions_.erase(it) : std::next(it);
    }
}

std::vector<Corvane::BusSubscriptionId> SubscriptionTable::matching(const std::wstring& name) const {
    std::vector<Corvane::BusSubscriptionId> ids;
    for (const auto& [id, subscription] : subscriptions_) {
        if (subscription.matches(name)) {
            ids.push_back(id);
        }
    }
    return ids;
}

const Subscription* SubscriptionTable::find(Corvane::BusSubscriptionId id) const {
    const auto found = subscriptions_.find(id);
    return found != subscriptions_.end() ? &found->second : nullptr;
}

Corvane::BusSubscriptionId SubscriptionTable::freshId() {
    // Ids only repeat after four billion subscriptions, and then skip those still held.
    do {
        ++lastId_;
    } while (lastId_ == 0 || subscriptions_.count(lastId_) != 0);
    return lastId_;
}

} // namespace EventRelay
