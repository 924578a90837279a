#include "message/Message.h"

#include <cstring>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Corvane::Message;
using Corvane::MessageHeader;

static_assert(!std::is_copy_constructible_v<Message> && !std::is_copy_assignable_v<Message>,
              "messages are shared, never copied");

TEST(MessageCreate, TotalSizeCountsHeaderAndTheThreeTerminatedStrings) {
    const struct {
        std::wstring name, alias, payload;
        std::uint32_t totalSize;
    } cases[] = {
        {L"ab", L"c", L"", 120},
        {L"", L"", L"", 114},
        {L"Analytics.v1.AddRecord", L"Strivan.LegacyCOM", L"{}", 114 + 2 * (22 + 17 + 2)},
        {L"\U0001F600", L"", L"", 118}, // a surrogate pair is two code units
    };
    for (const auto& c : cases) {
        const auto message = Message::create(c.name, c.alias, c.payload);
        ASSERT_NE(nullptr, message);
        EXPECT_EQ(c.totalSize, message->getHeader().totalSize) << testing::PrintToString(c.name);
    }
}

TEST(MessageCreate, KeepsItsStringsAndStartsFromTheDefaultHeader) {
    const auto message = Message::create(L"ab", L"c", L"payload");
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(L"ab", message->getName());
    EXPECT_EQ(L"c", message->getAlias());
    EXPECT_EQ(L"payload", message->getPayload());

    MessageHeader expected = Corvane::defaultMessageHeader;
    expected.totalSize = 114 + 2 * 10;
    EXPECT_EQ(0, std::memcmp(&expected, &message->getHeader(), sizeof expected));
}

TEST(MessageCreate, HoldersShareOneHeader) {
    const auto message = Message::create(L"n", L"a", L"p");
    const std::shared_ptr<Message> other = message;
    message->getHeader().setFlag(Corvane::MESSAGE_FLAG_REPLY);
    EXPECT_TRUE(other->getHeader().testFlag(Corvane::MESSAGE_FLAG_REPLY));
}

} // namespace
