// The settings store against its real backing file in the test's private configuration
// folder.

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/SettingsStore.h"

namespace {

const char* const Section = CommPortSection;

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        Store.SetRoot("Halvstad");
        std::filesystem::remove(IniPath());
    }

    // Where the store keeps its values for this test executable.
    static std::filesystem::path IniPath() {
        return std::filesystem::path(qgetenv("XDG_CONFIG_HOME").toStdString()) / "Halvstad" /
               (QCoreApplication::applicationName().toStdString() + ".ini");
    }
    static void WriteIni(const std::string& text) {
        std::filesystem::create_directories(IniPath().parent_path());
        std::ofstream(IniPath(), std::ios::binary) << text;
    }
    static std::string ReadIni() {
        std::ifstream in(IniPath(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    SettingsStore Store;
};

TEST_F(SettingsStoreTest, FirstStartReadsTheCallersDefaults) {
    EXPECT_EQ(Store.ReadInt(Section, "CommNum", 0), 0);
    EXPECT_EQ(Store.ReadInt(Section, "ModemType", 0), 0);
    EXPECT_EQ(Store.ReadInt(Section, "BaudRateInd", 3), 3);
    EXPECT_EQ(Store.ReadInt(Section, "IsLocal", 0), 0);
}

TEST_F(SettingsStoreTest, ValuesLiveInTheSectionOfTheApplicationsFile) {
    EXPECT_NE(Store.WriteInt(Section, "CommNum", 4), 0);
    EXPECT_NE(Store.WriteInt(Section, "IsLocal", 1), 0);
    const std::string ini = ReadIni();
    EXPECT_NE(ini.find("[Settings]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("CommPort\\CommNum=4"), std::string::npos) << ini;
    EXPECT_NE(ini.find("CommPort\\IsLocal=1"), std::string::npos) << ini;
}

TEST_F(SettingsStoreTest, EveryThirtyTwoBitValueComesBackThroughAFreshStore) {
    for (int32_t value : {0, 4, -1, 40, INT32_MAX, INT32_MIN}) {
        ASSERT_NE(Store.WriteInt(Section, "BaudRateInd", value), 0);
        SettingsStore another;
        another.SetRoot("Halvstad");
        EXPECT_EQ(another.ReadInt(Section, "BaudRateInd", 3), value);
    }
}

TEST_F(SettingsStoreTest, AValueChangedFromOutsideIsSeenAtTheNextRead) {
    Store.WriteInt(Section, "ModemType", 2);
    ASSERT_EQ(Store.ReadInt(Section, "ModemType", 0), 2);
    WriteIni("[Settings]\nCommPort\\ModemType=15\n");
    EXPECT_EQ(Store.ReadInt(Section, "ModemType", 0), 15);
}

// Another running instance writes its own value between two of ours: neither is lost.
TEST_F(SettingsStoreTest, AWriteKeepsWhatAnotherInstanceStored) {
    Store.WriteInt(Section, "CommNum", 1);
    WriteIni("[Settings]\nCommPort\\CommNum=1\nCommPort\\ModemType=3\n");
    Store.WriteInt(Section, "BaudRateInd", 6);
    EXPECT_EQ(Store.ReadInt(Section, "CommNum", 0), 1);
    EXPECT_EQ(Store.ReadInt(Section, "ModemType", 0), 3);
    EXPECT_EQ(Store.ReadInt(Section, "BaudRateInd", 3), 6);
}

TEST_F(SettingsStoreTest, AnythingButAPlainThirtyTwoBitIntegerReadsAsTheDefault) {
    const char* const stored[] = {
        "abc", "4.5", "4294967296", "-2147483649", "99999999999", "0x10", "1,2", "\" 4\"",
        "4x", "", "@Variant(\\0\\0\\0\\x6\\0\\0\\0\\0\\0\\0\\0\\x5)", "@ByteArray(4)", "true",
    };
    for (const char* text : stored) {
        WriteIni(std::string("[Settings]\nCommPort\\CommNum=") + text + "\n");
        EXPECT_EQ(Store.ReadInt(Section, "CommNum", 7), 7) << text;
    }
    WriteIni("[Settings]\nCommPort\\CommNum=-5\n");
    EXPECT_EQ(Store.ReadInt(Section, "CommNum", 7), -5);
}

TEST_F(SettingsStoreTest, ACorruptFileReadsDefaultsAndIsReplacedByTheNextWrite) {
    WriteIni(std::string("\0\xff\xfe[Settings\n=\n\\\\\n[", 14));
    EXPECT_EQ(Store.ReadInt(Section, "IsLocal", 0), 0);
    EXPECT_NE(Store.WriteInt(Section, "IsLocal", 1), 0);
    EXPECT_EQ(Store.ReadInt(Section, "IsLocal", 0), 1);
}

// A folder where the file should be: nothing can be written, and nothing fails loudly.
TEST_F(SettingsStoreTest, AnUnwritableStoreReportsAFailedWriteAndReadsDefaults) {
    std::filesystem::create_directories(IniPath());
    EXPECT_EQ(Store.WriteInt(Section, "CommNum", 4), 0);
    EXPECT_EQ(Store.ReadInt(Section, "CommNum", 0), 0);
    std::filesystem::remove(IniPath());
}

// The application object names itself after the executable; the store drops the extension.
TEST_F(SettingsStoreTest, TheApplicationKeyIsTheExecutablesNameWithoutExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"Kestrelix.bin", "Kestrelix"}, {"kestrelix.EXE", "kestrelix"}, {"kx.copy.bin", "kx.copy"}, {"kx", "kx"}};
    const QString ownName = QCoreApplication::applicationName();
    for (const auto& [executable, key] : cases) {
        QCoreApplication::setApplicationName(QString::fromUtf8(executable));
        SettingsStore store;
        store.SetRoot("Halvstad");
        store.WriteInt(Section, "CommNum", 7);
        const std::filesystem::path file = IniPath().parent_path() / (std::string(key) + ".ini");
        EXPECT_TRUE(std::filesystem::exists(file)) << executable;
        std::filesystem::remove(file);
    }
    QCoreApplication::setApplicationName(ownName);
}

TEST_F(SettingsStoreTest, AnotherApplicationNameKeepsItsOwnValues) {
    Store.WriteInt(Section, "CommNum", 9);
    const QString ownName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("kestrelix-copy"));
    SettingsStore copy;
    copy.SetRoot("Halvstad");
    EXPECT_EQ(copy.ReadInt(Section, "CommNum", 0), 0);
    copy.WriteInt(Section, "CommNum", 2);
    QCoreApplication::setApplicationName(ownName);
    EXPECT_EQ(Store.ReadInt(Section, "CommNum", 0), 9);
    EXPECT_EQ(copy.ReadInt(Section, "CommNum", 0), 2);
}

}  // namespace
