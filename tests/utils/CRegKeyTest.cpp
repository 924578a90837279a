#include "utils/CRegKey.h"

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TestRegistryKey.h"
#include "utils/CRegKeyImpl.h"

namespace {

using Vornix::CRegKey;
using Vornix::UniqueHandle;
using Vornix::UniqueRegKey;
using Vornix::internal::CRegKeyImpl;
using Bytes = std::vector<BYTE>;

// {6B29FC40-CA47-1067-B31D-00DD010662DA}
constexpr GUID kSampleId = {0x6B29FC40, 0xCA47, 0x1067, {0xB3, 0x1D, 0x00, 0xDD, 0x01, 0x06, 0x62, 0xDA}};

Bytes bytesOf(const std::wstring& text) {
    const auto* first = reinterpret_cast<const BYTE*>(text.data());
    return Bytes(first, first + text.size() * sizeof(wchar_t));
}

// Keeps values in memory: shows which operations go through the two storage slots.
class MemoryImpl : public CRegKeyImpl {
  public:
    DWORD ReadValue(const wchar_t* name, DWORD* type, void* buffer, DWORD* size) override {
        const auto found = values.find(name ? name : L"");
        if (found == values.end()) {
            return ERROR_FILE_NOT_FOUND;
        }
        const auto& [storedType, data] = found->second;
        if (type) {
            *type = storedType;
        }
        if (!size) {
            return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
        }
        const DWORD needed = static_cast<DWORD>(data.size());
        const bool fits = *size >= needed;
        if (buffer && fits) {
            std::memcpy(buffer, data.data(), needed);
        }
        *size = needed;
        return buffer && !fits ? ERROR_MORE_DATA : ERROR_SUCCESS;
    }

    DWORD WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size) override {
        if (!data || size == 0) {
            return ERROR_INVALID_PARAMETER;
        }
        const auto* first = static_cast<const BYTE*>(data);
        values[name ? name : L""] = {type, Bytes(first, first + size)};
        return ERROR_SUCCESS;
    }

    std::map<std::wstring, std::pair<DWORD, Bytes>> values;
};

class CRegKeyTest : public testing::Test {
  protected:
    // Stores exactly the given bytes: the system would count a zero character that follows
    // unterminated text as part of it, so what follows here is never zero.
    void setRaw(const wchar_t* name, DWORD type, const Bytes& data) {
        Bytes guarded = data;
        guarded.insert(guarded.end(), {'?', '?', '?'});
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(testKey.handle(), name, 0, type, guarded.data(),
                                                static_cast<DWORD>(data.size())));
    }

    // Removing the contents may or may not take the key itself along; either way nothing is left.
    bool holdsNothing(const std::wstring& child) {
        UniqueRegKey opened;
        const LSTATUS status =
            RegOpenKeyExW(testKey.root(), testKey.path(child).c_str(), 0, KEY_READ, opened.put());
        if (status == ERROR_FILE_NOT_FOUND) {
            return true;
        }
        DWORD subKeys = MAXDWORD;
        DWORD values = MAXDWORD;
        RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr);
        return subKeys == 0 && values == 0;
    }

    // Type and byte size as the registry holds them.
    std::pair<DWORD, DWORD> rawTypeAndSize(const wchar_t* name) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(testKey.handle(), name, nullptr, &type, nullptr, &size));
        return {type, size};
    }

    DWORD rawValueCount() {
        DWORD count = MAXDWORD;
        RegQueryInfoKeyW(testKey.handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr);
        return count;
    }

    void createRaw(const std::wstring& child) {
        UniqueRegKey created;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(testKey.root(), testKey.path(child).c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, created.put(), nullptr));
    }

    UniqueRegKey openRaw(const std::wstring& child) {
        UniqueRegKey opened;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(testKey.root(), testKey.path(child).c_str(), 0, KEY_ALL_ACCESS,
                                               opened.put()));
        return opened;
    }

    void openTestKey(CRegKey& key) {
        ASSERT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path().c_str()));
    }

    PelmoraTests::TestRegistryKey testKey;
};

struct RoundTrip {
    const wchar_t* name;
    DWORD storedType;
    std::function<DWORD(CRegKey&)> write;
    std::function<void(CRegKey&)> readBack;
};

const std::vector<RoundTrip>& roundTrips() {
    static const std::vector<RoundTrip> cases = {
        {L"dword", REG_DWORD, [](CRegKey& key) { return key.WriteDword(L"dword", 0xDEADBEEF); },
         [](CRegKey& key) {
             DWORD value = 0;
             EXPECT_EQ(ERROR_SUCCESS, key.ReadDword(L"dword", value));
             EXPECT_EQ(0xDEADBEEFu, value);
         }},
        {L"qword", REG_QWORD, [](CRegKey& key) { return key.WriteQword(L"qword", 0x0123456789ABCDEFull); },
         [](CRegKey& key) {
             ULONGLONG value = 0;
             EXPECT_EQ(ERROR_SUCCESS, key.ReadQword(L"qword", value));
             EXPECT_EQ(0x0123456789ABCDEFull, value);
         }},
        {L"string", REG_SZ,
         [](CRegKey& key) { return key.WriteString(L"string", L"Gr\u00FC\u00DFe aus Pelmora"); },
         [](CRegKey& key) {
             std::wstring text;
             EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"string", text));
             EXPECT_EQ(L"Gr\u00FC\u00DFe aus Pelmora", text);
             wchar_t buffer[32] = {};
             DWORD count = 32;
             EXPECT_EQ(ERROR_SUCCESS, key.ReadStringBuffer(L"string", buffer, &count));
             EXPECT_EQ(18u, count);
         }},
        {L"empty", REG_SZ, [](CRegKey& key) { return key.WriteString(L"empty", L""); },
         [](CRegKey& key) {
             std::wstring text = L"old";
             EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"empty", text));
             EXPECT_EQ(L"", text);
         }},
        {L"expand", REG_EXPAND_SZ,
         [](CRegKey& key) { return key.WriteString(L"expand", L"%TEMP%\\logs", REG_EXPAND_SZ); },
         [](CRegKey& key) {
             std::wstring text;
             EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"expand", text));
             EXPECT_EQ(L"%TEMP%\\logs", text);
         }},
        {L"binary", REG_BINARY,
         [](CRegKey& key) {
             const BYTE data[] = {0x00, 0x01, 0x7F, 0xFF, 0x00};
             return key.WriteBinary(L"binary", data, sizeof data);
         },
         [](CRegKey& key) {
             BYTE data[8] = {};
             DWORD size = sizeof data;
             EXPECT_EQ(ERROR_SUCCESS, key.ReadBinary(L"binary", data, &size));
             EXPECT_EQ((Bytes{0x00, 0x01, 0x7F, 0xFF, 0x00}), Bytes(data, data + size));
         }},
        {L"multi", REG_MULTI_SZ, [](CRegKey& key) { return key.WriteMultiString(L"multi", L"one\0two\0"); },
         [](CRegKey& key) {
             wchar_t buffer[16];
             DWORD count = 16;
             EXPECT_EQ(ERROR_SUCCESS, key.ReadMultiString(L"multi", buffer, &count));
             EXPECT_EQ(std::wstring(L"one\0two\0", 9), std::wstring(buffer, count));
         }},
        {L"guid", REG_SZ, [](CRegKey& key) { return key.WriteGuid(L"guid", kSampleId); },
         [](CRegKey& key) {
             GUID id{};
             EXPECT_EQ(ERROR_SUCCESS, key.ReadGuid(L"guid", id));
             EXPECT_TRUE(IsEqualGUID(kSampleId, id));
             std::wstring text;
             EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"guid", text));
             EXPECT_EQ(L"{6B29FC40-CA47-1067-B31D-00DD010662DA}", text);
         }},
    };
    return cases;
}

TEST_F(CRegKeyTest, TypedValuesRoundTripThroughTheRegistry) {
    CRegKey key;
    openTestKey(key);
    for (const RoundTrip& trip : roundTrips()) {
        SCOPED_TRACE(testing::Message() << trip.name);
        ASSERT_EQ(ERROR_SUCCESS, trip.write(key));
        EXPECT_EQ(trip.storedType, rawTypeAndSize(trip.name).first);
        trip.readBack(key);
    }
}

TEST_F(CRegKeyTest, TypedOperationsGoThroughTheStorageSlotsOfADerivedImplementation) {
    const auto memory = std::make_shared<MemoryImpl>();
    CRegKey key(memory);
    openTestKey(key);
    for (const RoundTrip& trip : roundTrips()) {
        SCOPED_TRACE(testing::Message() << trip.name);
        ASSERT_EQ(ERROR_SUCCESS, trip.write(key));
        ASSERT_EQ(1u, memory->values.count(trip.name));
        EXPECT_EQ(trip.storedType, memory->values[trip.name].first);
        trip.readBack(key);
    }
    EXPECT_EQ(0u, rawValueCount());
}

TEST_F(CRegKeyTest, ReadDwordAcceptsOnlyFourBytesOfTypeDword) {
    setRaw(L"short text", REG_SZ, bytesOf(std::wstring(L"1", 2)));
    setRaw(L"long text", REG_SZ, bytesOf(std::wstring(L"12345678", 9)));
    setRaw(L"two bytes", REG_DWORD, Bytes{1, 2});
    setRaw(L"eight bytes", REG_DWORD, Bytes(8, 1));
    const struct {
        const wchar_t* name;
        DWORD expected;
    } cases[] = {
        {L"short text", ERROR_INVALID_DATA},
        {L"long text", ERROR_INVALID_DATA}, // the wrong type counts, not the size
        {L"two bytes", ERROR_INVALID_DATA},
        {L"eight bytes", ERROR_MORE_DATA},
        {L"missing", ERROR_FILE_NOT_FOUND},
    };
    CRegKey key;
    openTestKey(key);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        DWORD value = 77;
        EXPECT_EQ(c.expected, key.ReadDword(c.name, value));
        EXPECT_EQ(77u, value);
    }
}

TEST_F(CRegKeyTest, ReadStringBufferChecksTypeAndTermination) {
    setRaw(L"unterminated", REG_SZ, bytesOf(L"ab"));
    setRaw(L"odd", REG_SZ, Bytes{'a', 0, 0});
    setRaw(L"empty", REG_SZ, Bytes{});
    setRaw(L"expand", REG_EXPAND_SZ, bytesOf(std::wstring(L"x", 2)));
    setRaw(L"number", REG_DWORD, Bytes(4, 0));
    setRaw(L"long", REG_SZ, bytesOf(std::wstring(L"0123456789", 11)));
    const struct {
        const wchar_t* name;
        DWORD capacity;
        DWORD expected;
        DWORD count;
        const wchar_t* text;
    } cases[] = {
        {L"unterminated", 8, ERROR_INVALID_DATA, 0, nullptr},
        {L"odd", 8, ERROR_INVALID_DATA, 0, nullptr},
        {L"empty", 8, ERROR_SUCCESS, 0, L""},
        {L"empty", 0, ERROR_SUCCESS, 0, L"??"}, // no room, so nothing is written
        {L"expand", 8, ERROR_SUCCESS, 2, L"x"},
        {L"number", 8, ERROR_INVALID_DATA, 0, nullptr},
        {L"long", 8, ERROR_MORE_DATA, 0, nullptr},
        {L"missing", 8, ERROR_FILE_NOT_FOUND, 0, nullptr},
    };
    CRegKey key;
    openTestKey(key);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        wchar_t buffer[8] = {L'?', L'?'};
        DWORD count = c.capacity;
        EXPECT_EQ(c.expected, key.ReadStringBuffer(c.name, buffer, &count));
        EXPECT_EQ(c.count, count);
        if (c.text) {
            EXPECT_STREQ(c.text, buffer);
        }
    }
}

TEST_F(CRegKeyTest, StringSizeQueryCountsEnoughCharactersForTheRead) {
    setRaw(L"text", REG_SZ, bytesOf(std::wstring(L"abc", 4)));
    setRaw(L"odd", REG_SZ, Bytes{'a', 0, 0});
    setRaw(L"empty", REG_SZ, Bytes{});
    CRegKey key;
    openTestKey(key);
    DWORD count = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.ReadStringBuffer(L"text", nullptr, &count));
    EXPECT_EQ(4u, count);
    // Rounded up, so that the read that follows sees the whole value and rejects it.
    EXPECT_EQ(ERROR_SUCCESS, key.ReadStringBuffer(L"odd", nullptr, &count));
    EXPECT_EQ(2u, count);
    std::wstring text = L"kept";
    EXPECT_EQ(ERROR_INVALID_DATA, key.ReadString(L"odd", text));
    EXPECT_EQ(L"kept", text);
    EXPECT_EQ(ERROR_SUCCESS, key.ReadStringBuffer(L"empty", nullptr, &count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"empty", text));
    EXPECT_EQ(L"", text);
}

TEST_F(CRegKeyTest, ReadMultiStringRequiresTwoClosingZeros) {
    setRaw(L"odd", REG_MULTI_SZ, Bytes{'a', 0, 0, 0, 0});
    setRaw(L"zero bytes", REG_MULTI_SZ, Bytes{});
    setRaw(L"one byte", REG_MULTI_SZ, Bytes{0});
    setRaw(L"no zero", REG_MULTI_SZ, bytesOf(L"a"));
    setRaw(L"one zero", REG_MULTI_SZ, bytesOf(std::wstring(L"a", 2)));
    setRaw(L"plain string", REG_SZ, bytesOf(std::wstring(L"a\0", 3)));
    setRaw(L"empty list", REG_MULTI_SZ, bytesOf(std::wstring(1, L'\0')));
    setRaw(L"one item", REG_MULTI_SZ, bytesOf(std::wstring(L"a\0", 3)));
    const struct {
        const wchar_t* name;
        DWORD capacity;
        DWORD expected;
        DWORD count;
    } cases[] = {
        {L"odd", 8, ERROR_INVALID_DATA, 0},
        {L"zero bytes", 8, ERROR_INVALID_DATA, 0},
        {L"one byte", 8, ERROR_INVALID_DATA, 0},
        {L"no zero", 8, ERROR_INVALID_DATA, 0},
        {L"one zero", 8, ERROR_INVALID_DATA, 0},
        {L"plain string", 8, ERROR_INVALID_DATA, 0},
        {L"empty list", 8, ERROR_SUCCESS, 1},
        {L"one item", 8, ERROR_SUCCESS, 3},
        {L"one item", 2, ERROR_MORE_DATA, 0},
        {L"one item", 1, ERROR_INSUFFICIENT_BUFFER, 1},
        {L"one item", 0, ERROR_INSUFFICIENT_BUFFER, 0},
    };
    CRegKey key;
    openTestKey(key);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << ", capacity " << c.capacity);
        wchar_t buffer[8];
        DWORD count = c.capacity;
        EXPECT_EQ(c.expected, key.ReadMultiString(c.name, buffer, &count));
        EXPECT_EQ(c.count, count);
    }
}

TEST_F(CRegKeyTest, ReadGuidAcceptsOnlyBracedIdentifiers) {
    const struct {
        const wchar_t* text;
        DWORD expected;
    } cases[] = {
        {L"{6B29FC40-CA47-1067-B31D-00DD010662DA}", ERROR_SUCCESS},
        {L"6B29FC40-CA47-1067-B31D-00DD010662DA", ERROR_INVALID_DATA},
        {L"{6B29FC40-CA47-1067-B31D-00DD010662DZ}", ERROR_INVALID_DATA},
        {L"{6B29FC40-CA47-1067-B31D-00DD010662DA}x", ERROR_INVALID_DATA},
        {L"", ERROR_INVALID_DATA},
    };
    CRegKey key;
    openTestKey(key);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.text)));
        ASSERT_EQ(ERROR_SUCCESS, key.WriteString(L"id", c.text));
        GUID id = kSampleId;
        EXPECT_EQ(c.expected, key.ReadGuid(L"id", id));
        EXPECT_TRUE(IsEqualGUID(c.expected == ERROR_SUCCESS ? kSampleId : GUID{}, id));
    }
}

TEST_F(CRegKeyTest, WriteMultiStringStoresEveryStringAndTheClosingZero) {
    const struct {
        std::wstring list;
        DWORD bytes;
    } cases[] = {
        {std::wstring(L"a\0b\0", 5), 10},
        {std::wstring(L"abc\0", 5), 10},
        {std::wstring(1, L'\0'), 2},
    };
    CRegKey key;
    openTestKey(key);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bytes);
        ASSERT_EQ(ERROR_SUCCESS, key.WriteMultiString(L"list", c.list.c_str()));
        EXPECT_EQ(std::make_pair(DWORD{REG_MULTI_SZ}, c.bytes), rawTypeAndSize(L"list"));
    }
}

TEST_F(CRegKeyTest, OpenOverAHeldKeyClosesItFirst) {
    createRaw(L"old\\child");
    createRaw(L"new");
    setRaw(L"marker", REG_DWORD, Bytes{7, 0, 0, 0});
    CRegKeyImpl key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path(L"old").c_str(), KEY_ALL_ACCESS));
    // Deleting on close makes the close of the old key visible.
    key.SetDeleteOnClose(true);
    EXPECT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path().c_str()));
    EXPECT_TRUE(holdsNothing(L"old"));
    EXPECT_TRUE(testKey.exists(L"new"));
    EXPECT_FALSE(key.GetDeleteOnClose());
    DWORD marker = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.ReadDword(L"marker", marker));
    EXPECT_EQ(7u, marker);
}

TEST_F(CRegKeyTest, FailedOpenOrCreateKeepsTheHeldKey) {
    setRaw(L"marker", REG_DWORD, Bytes{7, 0, 0, 0});
    CRegKeyImpl key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path().c_str(), KEY_ALL_ACCESS));
    key.SetDeleteOnClose(true);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(testKey.root(), testKey.path(L"missing").c_str()));
    EXPECT_EQ(ERROR_INVALID_HANDLE, key.Create(nullptr, L"x"));
    EXPECT_TRUE(key.GetDeleteOnClose());
    DWORD marker = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.ReadDword(L"marker", marker));
    EXPECT_EQ(7u, marker);
    key.SetDeleteOnClose(false);
}

TEST_F(CRegKeyTest, CreateReportsWhetherTheKeyExisted) {
    CRegKey key;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(testKey.root(), testKey.path(L"made").c_str(), nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(DWORD{REG_CREATED_NEW_KEY}, disposition);
    ASSERT_EQ(ERROR_SUCCESS, key.Create(testKey.root(), testKey.path(L"made").c_str(), nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(DWORD{REG_OPENED_EXISTING_KEY}, disposition);
    EXPECT_EQ(ERROR_SUCCESS, key.WriteDword(L"inside", 1));
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(openRaw(L"made").get(), L"inside", nullptr, nullptr, nullptr, nullptr));
}

TEST_F(CRegKeyTest, DeleteTreeRemovesNestedSubKeysAndNothingElse) {
    for (const wchar_t* child : {L"tree\\a\\b\\c", L"tree\\a\\d", L"tree\\e", L"keep\\x"}) {
        createRaw(child);
    }
    const Bytes text = bytesOf(std::wstring(L"x", 2));
    RegSetValueExW(openRaw(L"tree\\a\\b").get(), L"v", 0, REG_SZ, text.data(), 4);
    CRegKey key;
    openTestKey(key);
    EXPECT_EQ(ERROR_SUCCESS, key.DeleteTree(L"tree"));
    EXPECT_FALSE(testKey.exists(L"tree"));
    EXPECT_TRUE(testKey.exists(L"keep\\x"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.DeleteTree(L"tree"));
}

TEST_F(CRegKeyTest, DeleteSubKeyRemovesOnlyALeaf) {
    createRaw(L"parent\\child");
    CRegKey key;
    openTestKey(key);
    EXPECT_NE(ERROR_SUCCESS, key.DeleteSubKey(L"parent"));
    EXPECT_TRUE(testKey.exists(L"parent\\child"));
    CRegKey parent;
    ASSERT_EQ(ERROR_SUCCESS, parent.Open(testKey.root(), testKey.path(L"parent").c_str()));
    EXPECT_EQ(ERROR_SUCCESS, parent.DeleteSubKey(L"child"));
    EXPECT_EQ(ERROR_SUCCESS, key.DeleteSubKey(L"parent"));
    EXPECT_FALSE(testKey.exists(L"parent"));
}

TEST_F(CRegKeyTest, DeleteOnCloseRemovesTheKeyWithEverythingBelow) {
    createRaw(L"doomed\\child\\grandchild");
    createRaw(L"dropped\\child");
    {
        CRegKeyImpl key;
        ASSERT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path(L"doomed").c_str(), KEY_ALL_ACCESS));
        key.SetDeleteOnClose(true);
        EXPECT_EQ(ERROR_SUCCESS, key.WriteDword(L"value", 1));
        EXPECT_EQ(ERROR_SUCCESS, key.Close());
        EXPECT_FALSE(key.GetDeleteOnClose());
        EXPECT_EQ(ERROR_SUCCESS, key.Close());
    }
    EXPECT_TRUE(holdsNothing(L"doomed"));
    {
        CRegKeyImpl key;
        ASSERT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path(L"dropped").c_str(), KEY_ALL_ACCESS));
        key.SetDeleteOnClose(true);
    }
    EXPECT_TRUE(holdsNothing(L"dropped"));
}

TEST_F(CRegKeyTest, CloseReportsAKeyThatCouldNotBeEmptied) {
    setRaw(L"kept", REG_DWORD, Bytes(4, 0));
    CRegKeyImpl key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path().c_str(), KEY_READ));
    key.SetDeleteOnClose(true);
    // Opened without the right to remove values, so the value stays and Close must say so.
    EXPECT_EQ(ERROR_ACCESS_DENIED, key.Close());
    EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, DWORD{4}), rawTypeAndSize(L"kept"));
    EXPECT_FALSE(key.GetDeleteOnClose());
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
}

TEST_F(CRegKeyTest, DetachHandsOverTheHandleAndAttachTakesItBack) {
    setRaw(L"marker", REG_DWORD, Bytes{7, 0, 0, 0});
    CRegKey key;
    openTestKey(key);
    UniqueRegKey detached(key.Detach());
    ASSERT_TRUE(detached);
    DWORD marker = 0;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, key.ReadDword(L"marker", marker));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(detached.get(), L"marker", nullptr, nullptr, nullptr, nullptr));
    key.Attach(detached.release());
    EXPECT_EQ(ERROR_SUCCESS, key.ReadDword(L"marker", marker));
    EXPECT_EQ(7u, marker);
}

TEST_F(CRegKeyTest, AttachOverAHeldKeyClosesIt) {
    createRaw(L"held\\child");
    setRaw(L"marker", REG_DWORD, Bytes{7, 0, 0, 0});
    CRegKeyImpl key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path(L"held").c_str(), KEY_ALL_ACCESS));
    key.SetDeleteOnClose(true);
    UniqueRegKey other = openRaw(L"");
    key.Attach(other.release());
    EXPECT_TRUE(holdsNothing(L"held"));
    EXPECT_FALSE(key.GetDeleteOnClose());
    DWORD marker = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.ReadDword(L"marker", marker));
}

TEST(CRegKeyRefusals, EveryKeyOperationNeedsAnOpenKey) {
    const struct {
        const char* operation;
        std::function<DWORD(CRegKey&)> call;
    } cases[] = {
        {"ReadBinary",
         [](CRegKey& k) {
             BYTE b[4];
             DWORD s = 4;
             return k.ReadBinary(L"v", b, &s);
         }},
        {"ReadDword",
         [](CRegKey& k) {
             DWORD v;
             return k.ReadDword(L"v", v);
         }},
        {"ReadQword",
         [](CRegKey& k) {
             ULONGLONG v;
             return k.ReadQword(L"v", v);
         }},
        {"ReadString",
         [](CRegKey& k) {
             std::wstring t;
             return k.ReadString(L"v", t);
         }},
        {"ReadStringBuffer",
         [](CRegKey& k) {
             wchar_t b[4];
             DWORD c = 4;
             return k.ReadStringBuffer(L"v", b, &c);
         }},
        {"ReadGuid",
         [](CRegKey& k) {
             GUID id;
             return k.ReadGuid(L"v", id);
         }},
        {"GetSecurity",
         [](CRegKey& k) {
             DWORD s = 0;
             return k.GetSecurity(DACL_SECURITY_INFORMATION, nullptr, &s);
         }},
        {"SetSecurity",
         [](CRegKey& k) {
             SECURITY_DESCRIPTOR sd{};
             return k.SetSecurity(DACL_SECURITY_INFORMATION, &sd);
         }},
        {"Flush", [](CRegKey& k) { return k.Flush(); }},
        {"EnumSubKey",
         [](CRegKey& k) {
             wchar_t n[8];
             DWORD c = 8;
             return k.EnumSubKey(0, n, &c);
         }},
        {"NotifyChange",
         [](CRegKey& k) { return k.NotifyChange(false, REG_NOTIFY_CHANGE_LAST_SET, nullptr, false); }},
        {"DeleteSubKey", [](CRegKey& k) { return k.DeleteSubKey(L"s"); }},
        {"DeleteTree", [](CRegKey& k) { return k.DeleteTree(L"s"); }},
        {"DeleteValue", [](CRegKey& k) { return k.DeleteValue(L"v"); }},
    };
    CRegKey key;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        EXPECT_EQ(ERROR_INVALID_PARAMETER, c.call(key));
    }
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
    EXPECT_EQ(nullptr, key.Detach());
}

TEST_F(CRegKeyTest, MissingArgumentsAreRefusedBeforeTouchingTheKey) {
    const struct {
        const char* operation;
        DWORD expected;
        std::function<DWORD(CRegKey&)> call;
    } cases[] = {
        {"WriteValue without data", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.WriteValue(L"v", REG_BINARY, nullptr, 4); }},
        {"WriteValue of 0 bytes", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.WriteValue(L"v", REG_BINARY, L"x", 0); }},
        {"WriteString without text", ERROR_INVALID_DATA,
         [](CRegKey& k) { return k.WriteString(L"v", nullptr); }},
        {"WriteMultiString without list", ERROR_INVALID_DATA,
         [](CRegKey& k) { return k.WriteMultiString(L"v", nullptr); }},
        {"ReadBinary without size", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.ReadBinary(L"v", nullptr, nullptr); }},
        {"ReadStringBuffer without count", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.ReadStringBuffer(L"v", nullptr, nullptr); }},
        {"GetSecurity without size", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.GetSecurity(DACL_SECURITY_INFORMATION, nullptr, nullptr); }},
        {"SetSecurity without descriptor", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.SetSecurity(DACL_SECURITY_INFORMATION, nullptr); }},
        {"DeleteValue without name", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.DeleteValue(nullptr); }},
        {"DeleteSubKey without name", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.DeleteSubKey(nullptr); }},
        {"DeleteTree without name", ERROR_INVALID_PARAMETER,
         [](CRegKey& k) { return k.DeleteTree(nullptr); }},
    };
    createRaw(L"child");
    CRegKey key;
    openTestKey(key);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        EXPECT_EQ(c.expected, c.call(key));
    }
    EXPECT_EQ(0u, rawValueCount());
    EXPECT_TRUE(testKey.exists(L"child"));
}

TEST_F(CRegKeyTest, GrantEveryoneFullAccessIsNotAvailableYet) {
    CRegKey key;
    openTestKey(key);
    EXPECT_EQ(ERROR_CALL_NOT_IMPLEMENTED, key.GrantEveryoneFullAccess(false));
}

TEST_F(CRegKeyTest, EnumSubKeyListsEveryChildThenReportsTheEnd) {
    for (const wchar_t* child : {L"alpha", L"beta", L"gamma\\nested"}) {
        createRaw(child);
    }
    CRegKey key;
    openTestKey(key);
    std::set<std::wstring> names;
    DWORD index = 0;
    for (;; ++index) {
        wchar_t name[16];
        DWORD count = 16;
        const DWORD result = key.EnumSubKey(index, name, &count);
        if (result != ERROR_SUCCESS) {
            EXPECT_EQ(ERROR_NO_MORE_ITEMS, result);
            break;
        }
        names.insert(std::wstring(name, count));
    }
    EXPECT_EQ((std::set<std::wstring>{L"alpha", L"beta", L"gamma"}), names);
}

TEST_F(CRegKeyTest, NotifyChangeSignalsAWrittenValue) {
    CRegKey key;
    openTestKey(key);
    UniqueHandle changed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, key.NotifyChange(false, REG_NOTIFY_CHANGE_LAST_SET, changed.get(), true));
    EXPECT_EQ(DWORD{WAIT_TIMEOUT}, WaitForSingleObject(changed.get(), 0));
    setRaw(L"poke", REG_DWORD, Bytes(4, 0));
    EXPECT_EQ(DWORD{WAIT_OBJECT_0}, WaitForSingleObject(changed.get(), 10000));
    EXPECT_EQ(ERROR_SUCCESS, key.Flush());
}

TEST_F(CRegKeyTest, SecurityDescriptorReadBackCanBeApplied) {
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(testKey.root(), testKey.path().c_str(), KEY_ALL_ACCESS));
    DWORD size = 0;
    ASSERT_EQ(ERROR_INSUFFICIENT_BUFFER, key.GetSecurity(DACL_SECURITY_INFORMATION, nullptr, &size));
    ASSERT_GT(size, 0u);
    std::vector<BYTE> descriptor(size);
    ASSERT_EQ(ERROR_SUCCESS, key.GetSecurity(DACL_SECURITY_INFORMATION, descriptor.data(), &size));
    EXPECT_TRUE(IsValidSecurityDescriptor(descriptor.data()));
    EXPECT_EQ(ERROR_SUCCESS, key.SetSecurity(DACL_SECURITY_INFORMATION, descriptor.data()));
}

} // namespace
