// The settings file beside the executable, the key and volume commands and their displays.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string>

#include "engine_rig.h"
#include "harness_util.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"

using enginerig::MainWindowRig;

namespace {

std::string SettingsPath()
{
    char path[260];
    GetSettingsPath(path);
    return path;
}

// The file's text without carriage returns.
std::string SettingsText()
{
    std::string text, out;
    testutil::ReadWholeFile(SettingsPath(), text);
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

// The six settings as held, decoded: "bkg c0c0c0 line 0 bar ffffff marker ff0000 volume 0 octave 0".
std::string Held()
{
    char s[160];
    const PlayerSettings& h = playerSettings;
    snprintf(s, sizeof s, "bkg %x line %x bar %x marker %x volume %d octave %d", h.BkgColor, h.LineColor,
             h.BarColor, h.MarkerColor, h.Volume, h.Octave);
    return s;
}

void WriteSettings(const std::string& text)
{
    WritePrivateProfileStringA(NULL, NULL, NULL, SettingsPath().c_str());  // drop the cached file
    ASSERT_TRUE(testutil::WriteWholeFile(SettingsPath(), text));
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(SettingsPath().c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, SettingsPath().c_str());
    }
    void TearDown() override
    {
        DeleteFileA(SettingsPath().c_str());
        key = 0;
        volume = 0;
    }
};

}  // namespace

TEST_F(Settings, FileIsBesideTheExecutable)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    char longExe[MAX_PATH];
    GetLongPathNameA(exe, longExe, sizeof longExe);
    std::string dir(longExe, strrchr(longExe, '\\') + 1);
    EXPECT_EQ(dir + "velmora.ini", SettingsPath());
}

TEST_F(Settings, FirstRunGivesDefaultsAndExitWritesAllSix)
{
    playerSettings = PlayerSettings{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(1, LoadSettings());
    EXPECT_EQ("bkg c0c0c0 line 0 bar ffffff marker ff0000 volume 0 octave 0", Held());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(SettingsPath().c_str())) << "reading creates nothing";
    EXPECT_EQ(1, SaveSettings());
    EXPECT_EQ("[Settings]\nBarColor=16777215\nBkgColor=12632256\nLineColor=0\nMarkerColor=16711680\nOctave=0\nVolume=0\n",
              SettingsText());
}

TEST_F(Settings, RoundTrip)
{
    playerSettings = PlayerSettings{0x123456, 0x654321, 0x0000FF, 0x00FF00, 7, -3};
    SaveSettings();
    EXPECT_EQ("[Settings]\nBarColor=255\nBkgColor=1193046\nLineColor=6636321\nMarkerColor=65280\nOctave=-3\nVolume=7\n",
              SettingsText());
    playerSettings = PlayerSettings{};
    LoadSettings();
    EXPECT_EQ("bkg 123456 line 654321 bar ff marker ff00 volume 7 octave -3", Held())
        << "a negative key survives a restart";
}

TEST_F(Settings, MissingKeysGiveTheirDefaultsAndHandEditsAreUsed)
{
    WriteSettings("[Settings]\r\nVolume=-5\r\nOctave=20\r\n");
    LoadSettings();
    EXPECT_EQ("bkg c0c0c0 line 0 bar ffffff marker ff0000 volume -5 octave 20", Held());
    WriteSettings("[Other]\r\nVolume=9\r\n");
    LoadSettings();
    EXPECT_EQ(0, playerSettings.Volume) << "only section Settings counts";
}

TEST_F(Settings, FarOutValuesAreLimited)
{
    WriteSettings("[Settings]\r\nOctave=2147483647\r\nVolume=-2147483648\r\n");
    LoadSettings();
    EXPECT_EQ(999999, playerSettings.Octave);
    EXPECT_EQ(-999999, playerSettings.Volume);
    MainWindowRig rig;
    key = playerSettings.Octave;
    ShowKey();
    EXPECT_EQ("+999999", rig.Text(IDC_KEY_TEXT));
    KeyUp();
    EXPECT_EQ(999999, key) << "no overflow past the limit";
}

TEST_F(Settings, KeyCommandsAndDisplay)
{
    MainWindowRig rig;
    key = 0;
    ShowKey();
    EXPECT_EQ("  0", rig.Text(IDC_KEY_TEXT));
    EXPECT_EQ(1, KeyUp());
    EXPECT_EQ(1, key);
    EXPECT_EQ("+ 1", rig.Text(IDC_KEY_TEXT));
    for (int i = 0; i < 20; ++i)
        KeyUp();
    EXPECT_EQ(12, key);
    EXPECT_EQ("+12", rig.Text(IDC_KEY_TEXT));
    SetDlgItemTextA(rig.window, IDC_KEY_TEXT, "x");
    EXPECT_EQ(1, KeyUp());
    EXPECT_EQ(12, key);
    EXPECT_EQ("x", rig.Text(IDC_KEY_TEXT)) << "at 12 nothing at all happens";
    EXPECT_EQ(1, KeyClear());
    EXPECT_EQ(0, key);
    EXPECT_EQ("  0", rig.Text(IDC_KEY_TEXT));
    for (int i = 0; i < 5; ++i)
        KeyDown();
    EXPECT_EQ("- 5", rig.Text(IDC_KEY_TEXT));
    for (int i = 0; i < 20; ++i)
        KeyDown();
    EXPECT_EQ(-12, key);
    EXPECT_EQ("-12", rig.Text(IDC_KEY_TEXT));
    SetDlgItemTextA(rig.window, IDC_KEY_TEXT, "x");
    EXPECT_EQ(1, KeyDown());
    EXPECT_EQ("x", rig.Text(IDC_KEY_TEXT));
    // The limits refuse only at exactly 12 and -12.
    key = 20;
    KeyUp();
    EXPECT_EQ(21, key);
    EXPECT_EQ("+21", rig.Text(IDC_KEY_TEXT));
    key = -20;
    KeyDown();
    EXPECT_EQ(-21, key);
}

TEST_F(Settings, VolumeCommandsAndDisplay)
{
    MainWindowRig rig;
    volume = 0;
    ShowVolume();
    EXPECT_EQ("VOL: +0.0x", rig.Text(IDC_VOLUME_TEXT));
    SetDlgItemTextA(rig.window, IDC_VOLUME_TEXT, "x");
    EXPECT_EQ(1, VolumeDown());
    EXPECT_EQ(0, volume.load());
    EXPECT_EQ("x", rig.Text(IDC_VOLUME_TEXT)) << "at 0 nothing at all happens";
    for (int i = 0; i < 3; ++i)
        VolumeUp();
    EXPECT_EQ("VOL: +0.3x", rig.Text(IDC_VOLUME_TEXT));
    for (int i = 0; i < 50; ++i)
        VolumeUp();
    EXPECT_EQ(40, volume.load());
    EXPECT_EQ("VOL: +4.0x", rig.Text(IDC_VOLUME_TEXT));
    SetDlgItemTextA(rig.window, IDC_VOLUME_TEXT, "x");
    VolumeUp();
    EXPECT_EQ(40, volume.load());
    EXPECT_EQ("x", rig.Text(IDC_VOLUME_TEXT));
    EXPECT_EQ(1, VolumeClear());
    EXPECT_EQ(0, volume.load());
    EXPECT_EQ("VOL: +0.0x", rig.Text(IDC_VOLUME_TEXT));
    volume = -5;
    VolumeDown();
    EXPECT_EQ(-6, volume.load()) << "a hand-edited negative step keeps counting down";
    volume = 41;
    VolumeUp();
    EXPECT_EQ(42, volume.load());
}
