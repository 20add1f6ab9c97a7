// The settings store over the OS layer. Natively the registry is a fake held in memory; under
// Wine the test writes real HKEY_LOCAL_MACHINE values and removes them afterwards.
#include <gtest/gtest.h>

#include "os/Os.h"
#include "platform/Settings.h"
#include "support/TestSupport.h"

#ifdef _WIN32
#include "os/win32/WinHeader.h"
#endif

using platform::PlatformTable;
using platform::Settings;
using testing_support::ReadFile;
using testing_support::TestOs;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() : use(sys) {
#ifdef _WIN32
        sys.fakeRegistry = false;
        for (int id = 2; id <= 5; ++id) RemoveKey(id);
#endif
    }
    ~SettingsTest() override {
#ifdef _WIN32
        for (int id = 2; id <= 5; ++id) RemoveKey(id);
#endif
    }

    void SetRegistry(int id, const std::string& value) {
        std::string key(PlatformTable::Row(id).registryKey);
#ifdef _WIN32
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(k, "Install Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(k);
#else
        sys.SetRegistry(key, value);
#endif
    }

#ifdef _WIN32
    static void RemoveKey(int id) {
        std::string key(PlatformTable::Row(id).registryKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    }
#endif

    void Save(int id, const std::string& value) {
        settings.SetFolder(std::string(PlatformTable::Row(id).settingsKey), value);
    }

    TestOs sys;
    os::OsOverride use;
    Settings settings;
};

TEST_F(SettingsTest, PathsComeFromTheApplicationDataFolder) {
    EXPECT_EQ(settings.SettingsFolder(), sys.appData + "\\Tolvenar\\ORVA");
    EXPECT_EQ(settings.IniPath(), sys.appData + "\\Tolvenar\\ORVA\\ORVA.ini");
}

TEST_F(SettingsTest, DefaultsWithoutFileOrRegistry) {
    EXPECT_EQ(settings.GetFolder(0), sys.documents + "\\OV Ship Patches");
    EXPECT_EQ(settings.GetFolder(1), "C:\\TIECD");
    for (int id = 2; id <= 5; ++id) EXPECT_EQ(settings.GetFolder(id), "") << id;
    EXPECT_FALSE(settings.IsConfigured());
    EXPECT_FALSE(sys.Exists(settings.SettingsFolder())) << "reading creates nothing";
}

TEST_F(SettingsTest, FirstSaveCreatesTheSettingsFolder) {
    Save(0, "C:\\Patches");
    EXPECT_TRUE(sys.IsFolder(settings.SettingsFolder()));
    EXPECT_TRUE(settings.IsConfigured());
    EXPECT_EQ(settings.GetFolder(0), "C:\\Patches");
    Settings other;
    EXPECT_EQ(other.GetFolder(0), "C:\\Patches") << "no instance caches a value";
}

TEST_F(SettingsTest, RegistryPrecedenceByRow) {
    for (int id = 2; id <= 5; ++id) {
        Save(id, "D:\\FromFile" + std::to_string(id));
        SetRegistry(id, "E:\\FromRegistry" + std::to_string(id));
    }
    EXPECT_EQ(settings.GetFolder(2), "D:\\FromFile2") << "row 2 keeps a non-empty file value";
    for (int id = 3; id <= 5; ++id) {
        EXPECT_EQ(settings.GetFolder(id), "E:\\FromRegistry" + std::to_string(id)) << id;
    }
    Save(2, "");
    EXPECT_EQ(settings.GetFolder(2), "E:\\FromRegistry2") << "the registry fills an empty row 2";
}

TEST_F(SettingsTest, FileValueStandsWithoutRegistryRecord) {
    for (int id = 1; id <= 5; ++id) Save(id, "F:\\Game" + std::to_string(id));
    for (int id = 1; id <= 5; ++id) EXPECT_EQ(settings.GetFolder(id), "F:\\Game" + std::to_string(id));
}

TEST_F(SettingsTest, EmptyPatchesValueIsNotConfigured) {
    Save(0, "");
    EXPECT_FALSE(settings.IsConfigured());
    EXPECT_EQ(settings.GetFolder(0), sys.documents + "\\OV Ship Patches");
    EXPECT_NE(ReadFile(settings.IniPath()).find("Patches="), std::string::npos)
        << "the key stays, with nothing after the equals sign";
}

TEST_F(SettingsTest, ValuesPassThroughA260ByteBuffer) {
    std::string exact = "C:\\" + std::string(256, 'a');
    ASSERT_EQ(exact.size(), 259u);
    Save(0, exact);
    EXPECT_EQ(settings.GetFolder(0), exact);
    Save(1, exact + "bcd");
    EXPECT_EQ(settings.GetFolder(1), exact);
}

}  // namespace
