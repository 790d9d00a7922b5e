// The settings store against the real registry: key chain, value types, sizes, failures.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/GameLibrary.h"
#include "platform/SettingsStore.h"

namespace {

// A product of its own, so that a test run never touches the program's own settings.
constexpr const char* kTestProduct = "PaiviewSettingsTest";
constexpr const char* kMakerPath = "Software\\Tamarind Labs";

std::string productPath() {
    return std::string(kMakerPath) + "\\" + kTestProduct;
}

bool keyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void deleteProductKey() {
    HKEY maker = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMakerPath, 0, KEY_ALL_ACCESS, &maker) == ERROR_SUCCESS) {
        RegDeleteKeyA(maker, kTestProduct);
        RegCloseKey(maker);
    }
}

// The value as the registry holds it, read around the store.
struct StoredValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = 0;
    std::vector<unsigned char> bytes;
};

StoredValue storedValue(const char* name) {
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, productPath().c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    value.status = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
    if (value.status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.status = RegQueryValueExA(key, name, nullptr, &value.type, value.bytes.data(), &size);
        value.bytes.resize(size);
    }
    RegCloseKey(key);
    return value;
}

// Writes a value of any type and size straight into the registry, around the store.
void putValue(const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, productPath().c_str(), 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::vector<unsigned char> bytesOf(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { deleteProductKey(); }
    void TearDown() override { deleteProductKey(); }
};

TEST_F(SettingsStoreTest, FirstRunCreatesTheKeysAndEveryReadFails) {
    ASSERT_FALSE(keyExists(productPath()));
    SettingsStore store(kTestProduct);
    EXPECT_TRUE(keyExists(kMakerPath));
    EXPECT_TRUE(keyExists(productPath()));

    std::uint32_t place = 0x12345678;
    EXPECT_NE(store.readDword("WindowPlace", &place), 0);
    EXPECT_EQ(place, 0x12345678u);
    unsigned char block[212];
    EXPECT_NE(store.readValue("ForSearch", block, sizeof block), 0);
    GameLibrary library;
    library.filePath = "kept";
    library.loadScoreFile(store);
    EXPECT_EQ(library.filePath, "kept");
}

TEST_F(SettingsStoreTest, KeysOutliveTheStoreAndAreOpenedAgain) {
    {
        SettingsStore store(kTestProduct);
        ASSERT_EQ(store.writeDword("WindowPlace", 7), 0);
    }
    SettingsStore again(kTestProduct);
    std::uint32_t place = 0;
    EXPECT_EQ(again.readDword("WindowPlace", &place), 0);
    EXPECT_EQ(place, 7u);
}

TEST_F(SettingsStoreTest, EachWriteStoresItsTypeAndSize) {
    struct Case {
        const char* what;
        std::function<RegistryStatus(SettingsStore&)> write;
        DWORD type;
        std::vector<unsigned char> bytes;
    };
    const unsigned char blob[] = {0, 1, 2, 0xFF, 0};
    const Case cases[] = {
        {"dword, little-endian",
         [](SettingsStore& s) { return s.writeDword("V", 0x0A0BFFF8); },
         REG_DWORD,
         {0xF8, 0xFF, 0x0B, 0x0A}},
        {"string with its NUL", [](SettingsStore& s) { return s.writeString("V", "abc"); }, REG_SZ,
         bytesOf(std::string("abc", 4))},
        {"empty string is one NUL byte",
         [](SettingsStore& s) { return s.writeString("V", ""); },
         REG_SZ,
         {0}},
        {"CP932 string", [](SettingsStore& s) { return s.writeString("V", "東風荘\\表"); }, REG_SZ,
         bytesOf(std::string("東風荘\\表") + '\0')},
        {"binary, NUL bytes kept",
         [&blob](SettingsStore& s) { return s.writeBinary("V", blob, sizeof blob); }, REG_BINARY,
         std::vector<unsigned char>(blob, blob + sizeof blob)},
        {"binary of no bytes",
         [&blob](SettingsStore& s) { return s.writeBinary("V", blob, 0); },
         REG_BINARY,
         {}},
        {"a later write replaces type and size",
         [](SettingsStore& s) {
             s.writeString("V", "a long text");
             return s.writeDword("V", 1);
         },
         REG_DWORD,
         {1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsStore store(kTestProduct);
        ASSERT_EQ(c.write(store), 0);
        const StoredValue value = storedValue("V");
        ASSERT_EQ(value.status, ERROR_SUCCESS);
        EXPECT_EQ(value.type, c.type);
        EXPECT_EQ(value.bytes, c.bytes);
    }
}

TEST_F(SettingsStoreTest, ReadsFillOnlyWhatTheValueHolds) {
    struct Case {
        const char* what;
        DWORD type;
        std::string stored; // empty with type 0: no value at all
        std::uint32_t bufferSize;
        bool succeeds;
        std::string filled; // the bytes the read puts at the buffer's start
    };
    const Case cases[] = {
        {"missing value", 0, "", 8, false, ""},
        {"same size as the buffer", REG_BINARY, "12345678", 8, true, "12345678"},
        {"shorter than the buffer", REG_BINARY, "123", 8, true, "123"},
        {"one byte longer than the buffer", REG_BINARY, "123456789", 8, false, ""},
        {"text that fits, NUL included", REG_SZ, std::string("1234567", 8), 8, true,
         std::string("1234567", 8)},
        {"text one byte too long", REG_SZ, std::string("12345678", 9), 8, false, ""},
        {"empty text", REG_SZ, std::string(1, '\0'), 8, true, std::string(1, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProductKey();
        SettingsStore store(kTestProduct);
        if (c.type != 0) {
            putValue("V", c.type, c.stored);
        }
        std::vector<char> buffer(c.bufferSize + 4, '#');
        const RegistryStatus status = store.readValue("V", buffer.data(), c.bufferSize);
        EXPECT_EQ(status == 0, c.succeeds) << status;
        if (c.succeeds) {
            EXPECT_EQ(std::string(buffer.data(), c.filled.size()), c.filled);
            // Bytes past the value keep what they held.
            for (std::size_t i = c.filled.size(); i < buffer.size(); ++i) {
                EXPECT_EQ(buffer[i], '#') << i;
            }
        }
    }
}

TEST_F(SettingsStoreTest, ReadDwordTakesAnyTypeThatFitsInFourBytes) {
    struct Case {
        const char* what;
        DWORD type;
        std::string stored;
        bool succeeds;
        std::uint32_t value; // the start value 0xCCCCCCCC where the value has no bytes
    };
    const Case cases[] = {
        {"a dword", REG_DWORD, std::string("\x0A\x00\xF8\xFF", 4), true, 0xFFF8000A},
        {"text of three bytes and its NUL", REG_SZ, std::string("abc", 4), true, 0x00636261},
        {"text of four bytes and its NUL", REG_SZ, std::string("abcd", 5), false, 0},
        {"two binary bytes fill the low half only", REG_BINARY, "\x01\x02", true, 0xCCCC0201},
        {"eight binary bytes", REG_BINARY, "12345678", false, 0},
        {"missing", 0, "", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProductKey();
        SettingsStore store(kTestProduct);
        if (c.type != 0) {
            putValue("WindowPlace", c.type, c.stored);
        }
        std::uint32_t value = 0xCCCCCCCC;
        const RegistryStatus status = store.readDword("WindowPlace", &value);
        EXPECT_EQ(status == 0, c.succeeds) << status;
        if (c.succeeds) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST_F(SettingsStoreTest, WindowPlaceKeepsBothHalvesUnsigned) {
    struct Case {
        int left;
        int top;
        std::uint32_t stored;
    };
    const Case cases[] = {
        {200, 200, 0x00C800C8},       {-8, 10, 0x000AFFF8},   {10, -8, 0xFFF8000A},
        {-32000, -32000, 0x83008300}, {65535, 0, 0x0000FFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << "," << c.top);
        SettingsStore store(kTestProduct);
        const std::uint32_t packed = (static_cast<std::uint32_t>(c.top & 0xFFFF) << 16) |
                                     static_cast<std::uint32_t>(c.left & 0xFFFF);
        ASSERT_EQ(packed, c.stored);
        ASSERT_EQ(store.writeDword("WindowPlace", packed), 0);
        std::uint32_t read = 0;
        ASSERT_EQ(store.readDword("WindowPlace", &read), 0);
        EXPECT_EQ(read & 0xFFFF, static_cast<std::uint32_t>(c.left & 0xFFFF));
        EXPECT_EQ(read >> 16, static_cast<std::uint32_t>(c.top & 0xFFFF));
    }
    SettingsStore store(kTestProduct);
    store.writeDword("WindowPlace", 0x000AFFF8);
    std::uint32_t read = 0;
    ASSERT_EQ(store.readDword("WindowPlace", &read), 0);
    EXPECT_EQ(read & 0xFFFF, 65528u);
    EXPECT_EQ(read >> 16, 10u);
}

TEST_F(SettingsStoreTest, ScoreFileRoundTripsThroughTheFileChooser) {
    struct Case {
        const char* what;
        std::string path;
        std::size_t storedSize;
        bool readsBack;
    };
    const Case cases[] = {
        {"empty path is one NUL byte and reads back empty", "", 1, true},
        {"ordinary path", "C:\\logs\\score.txt", 18, true},
        {"CP932 path with a 0x5C trail byte", "C:\\牌譜\\表.txt", 15, true},
        {"259 bytes and the NUL fill the buffer", std::string(259, 'p'), 260, true},
        {"260 bytes and the NUL are too long", std::string(260, 'p'), 261, false},
        {"much too long", std::string(1000, 'p'), 1001, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProductKey();
        SettingsStore store(kTestProduct);
        GameLibrary writer;
        writer.filePath = c.path;
        ASSERT_EQ(writer.storeScoreFile(store), 0);
        const StoredValue value = storedValue("ScoreFile");
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value.bytes.size(), c.storedSize);

        GameLibrary reader;
        reader.filePath = "kept";
        reader.loadScoreFile(store);
        EXPECT_EQ(reader.filePath, c.readsBack ? c.path : "kept");
    }
}

TEST_F(SettingsStoreTest, ScoreFileWithoutNulCountsAsMissing) {
    struct Case {
        const char* what;
        DWORD type;
        std::string stored;
        std::string expected;
    };
    const Case cases[] = {
        {"260 text bytes without NUL", REG_SZ, std::string(260, 'q'), "kept"},
        {"260 binary bytes without NUL", REG_BINARY, std::string(260, 'q'), "kept"},
        {"binary bytes with a NUL inside", REG_BINARY, std::string("ab\0cd", 5), "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProductKey();
        SettingsStore store(kTestProduct);
        putValue("ScoreFile", c.type, c.stored);
        GameLibrary reader;
        reader.filePath = "kept";
        reader.loadScoreFile(store);
        EXPECT_EQ(reader.filePath, c.expected);
    }
}

TEST_F(SettingsStoreTest, StoreWithoutAKeyFailsEveryCall) {
    // Windows and Wine refuse a key name that begins with a backslash.
    SettingsStore store("\\PaiviewSettingsTest");
    EXPECT_FALSE(keyExists(productPath()));
    std::uint32_t value = 5;
    char buffer[16] = "unchanged";
    EXPECT_NE(store.writeDword("V", 1), 0);
    EXPECT_NE(store.writeString("V", "x"), 0);
    EXPECT_NE(store.writeBinary("V", buffer, 4), 0);
    EXPECT_NE(store.readDword("V", &value), 0);
    EXPECT_NE(store.readValue("V", buffer, sizeof buffer), 0);
    EXPECT_EQ(value, 5u);
    EXPECT_STREQ(buffer, "unchanged");

    GameLibrary library;
    library.filePath = "kept";
    EXPECT_NE(library.storeScoreFile(store), 0);
    library.loadScoreFile(store);
    EXPECT_EQ(library.filePath, "kept");
}

} // namespace
