// The registry store in a fresh Wine prefix: the keys it leaves, the values it keeps,
// and the values it must not believe.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "settings/RegistryStore.h"

namespace {

// The key of this test program's own settings section.
const std::string Company = "Halvstad";
const std::string Section = CommPortSection;
const std::string SectionPath = "software\\Halvstad\\kx_win_store_tests\\Settings\\CommPort";

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void SetRaw(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

class RegistryStoreTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "software\\Halvstad");
        Store.SetRoot(Company);
    }
    RegistryStore Store;
};

TEST_F(RegistryStoreTest, FirstReadGivesTheDefaultsAndLeavesTheEmptyKeys) {
    ASSERT_FALSE(KeyExists("software\\Halvstad"));
    EXPECT_EQ(Store.ReadInt(Section, "CommNum", 0), 0);
    EXPECT_EQ(Store.ReadInt(Section, "BaudRateInd", 3), 3);
    EXPECT_TRUE(KeyExists(SectionPath));
}

TEST_F(RegistryStoreTest, ValuesComeBackAsWritten) {
    const struct {
        const char* Name;
        int32_t Value;
    } values[] = {{"CommNum", 4}, {"ModemType", 1}, {"BaudRateInd", 5}, {"IsLocal", 1}, {"CommNum", -1}};
    for (const auto& v : values) {
        EXPECT_NE(Store.WriteInt(Section, v.Name, v.Value), 0) << v.Name;
        EXPECT_EQ(Store.ReadInt(Section, v.Name, 77), v.Value) << v.Name;
    }
    // Nothing is kept in memory: a second store sees the same values.
    RegistryStore other;
    other.SetRoot(Company);
    EXPECT_EQ(other.ReadInt(Section, "BaudRateInd", 3), 5);
}

TEST_F(RegistryStoreTest, ValuesOfAnotherTypeOrSizeGiveTheDefault) {
    const uint64_t wide = 5;
    const uint16_t narrow = 5;
    const char text[] = "5";
    const uint32_t bigEndian = 5;
    SetRaw("A", REG_QWORD, &wide, sizeof wide);
    SetRaw("B", REG_DWORD, &narrow, sizeof narrow);
    SetRaw("C", REG_SZ, text, sizeof text);
    SetRaw("D", REG_BINARY, &bigEndian, sizeof bigEndian);
    SetRaw("E", REG_DWORD_BIG_ENDIAN, &bigEndian, sizeof bigEndian);
    for (const char* name : {"A", "B", "C", "D", "E"}) EXPECT_EQ(Store.ReadInt(Section, name, 9), 9) << name;
}

TEST_F(RegistryStoreTest, ValueChangedFromOutsideIsSeenAtTheNextRead) {
    Store.WriteInt(Section, "ModemType", 2);
    const DWORD changed = 3;
    SetRaw("ModemType", REG_DWORD, &changed, sizeof changed);
    EXPECT_EQ(Store.ReadInt(Section, "ModemType", 0), 3);
}

}  // namespace
