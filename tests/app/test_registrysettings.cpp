#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "app/registrysettings.h"
#include "support/tempconfig.h"
#include "transport/seriallink.h"

using namespace vela;
using vela::test::ReadFile;
using vela::test::WriteFile;

namespace {

const std::string kKey = "[HKEY_LOCAL_MACHINE\\Software\\Corvane\\VELA-4K Control Tool]";

std::string RegPath() {
    return RegistrySettings::DefaultFilePath();
}

std::string RegFile(const std::string& values) {
    return "REGEDIT4\r\n\r\n" + kKey + "\r\n" + values;
}

}  // namespace

TEST(RegistrySettings, FirstRunCreatesTheKeyAndCountsAsFailed) {
    ASSERT_FALSE(std::filesystem::exists(RegPath()));
    {
        RegistrySettings s;
        // The marker read created the key and failed; the write after it was stored.
        EXPECT_FALSE(s.PreviousShutdownWasNormal());
        EXPECT_NE(ReadFile(RegPath()).find("\"Previous Application Shutdown Status\"=dword:00000000"),
                  std::string::npos);
        std::int32_t v = -5;
        EXPECT_EQ(s.GetInt(CommunicationMode, v, 3), 0);
        EXPECT_EQ(v, 3);
    }
    EXPECT_NE(ReadFile(RegPath()).find("\"Previous Application Shutdown Status\"=dword:00000001"),
              std::string::npos);
    RegistrySettings again;
    EXPECT_TRUE(again.PreviousShutdownWasNormal());
}

TEST(RegistrySettings, KilledRunLeavesTheMarkerAtZero) {
    { RegistrySettings normal; }
    // A run that never reaches its normal end: the object is never destroyed (its
    // destructor is the normal end it never had). Held by a static, so it is not a leak.
    static RegistrySettings* killed = nullptr;
    killed = new RegistrySettings;
    EXPECT_TRUE(killed->PreviousShutdownWasNormal());
    RegistrySettings next;
    EXPECT_FALSE(next.PreviousShutdownWasNormal());
}

TEST(RegistrySettings, StringsReadAsIntegersAndTheQueryLimit) {
    WriteFile(RegPath(), RegFile("\"Communication Mode\"=\"2\"\r\n"
                                 "\"Com Port No\"=\"  -7xyz\"\r\n"
                                 "\"Control Mode\"=\"abc\"\r\n"
                                 "\"Camera File Path\"=\"" +
                                 std::string(511, 'a') +
                                 "\"\r\n"
                                 "\"Command Log File Path\"=\"" +
                                 std::string(512, 'b') + "\"\r\n"));
    RegistrySettings s;
    std::int32_t v = 0;
    EXPECT_EQ(s.GetInt(CommunicationMode, v, 0), 1);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(s.GetInt(ComPortNo, v, 0), 1);
    EXPECT_EQ(v, -7);
    EXPECT_EQ(s.GetInt(ControlModeSetting, v, 9), 1);
    EXPECT_EQ(v, 0);
    std::string text;
    EXPECT_EQ(s.GetString(CameraFilePath, text), 1);
    EXPECT_EQ(text.size(), 511u);
    // 512 characters and the terminating zero do not fit the 512-byte buffer.
    EXPECT_EQ(s.GetString(CommandLogFilePath, text), 0);
    EXPECT_EQ(s.GetInt(CommandLogFilePath, v, 4), 0);
    EXPECT_EQ(v, 4);
}

TEST(RegistrySettings, InvalidIdsStoreNothing) {
    RegistrySettings s;
    const std::string before = ReadFile(RegPath());
    std::int32_t v = 0;
    // The first id past the last value.
    EXPECT_EQ(s.GetInt(FastAnswersSetting + 1, v, 42), 0);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(s.SetInt(FastAnswersSetting + 1, 1), 0);
    EXPECT_EQ(s.SetString(FastAnswersSetting + 1, "x"), 0);
    EXPECT_EQ(s.SetInt(-1, 1), 0);
    EXPECT_EQ(ReadFile(RegPath()), before);
}

TEST(RegistrySettings, GetPathChecksThatThePathStillExists) {
    RegistrySettings s;
    const std::string dir = vela::test::ConfigDirForTest() + "/cams";
    std::filesystem::create_directories(dir);
    ASSERT_EQ(s.SetString(CameraFilePath, dir), 1);
    std::string out;
    EXPECT_EQ(s.GetPath(CameraFilePath, out), 1);
    EXPECT_EQ(out, dir);
    std::filesystem::remove(dir);
    EXPECT_EQ(s.GetPath(CameraFilePath, out), 0);
    EXPECT_EQ(out, std::filesystem::current_path().string());
    EXPECT_EQ(s.GetPath(12, out), 0);
}

TEST(RegistrySettings, EscapesRoundTripAndValuesSurviveOtherWrites) {
    RegistrySettings s;
    const std::string tricky = "C:\\cams\\\"quoted\" = [x]";
    ASSERT_EQ(s.SetString(CommandLogFilePath, tricky), 1);
    ASSERT_EQ(s.SetInt(ComPortNo, 0x7fffffff), 1);
    ASSERT_EQ(s.SetInt(CommunicationMode, -1), 1);
    std::string text;
    EXPECT_EQ(s.GetString(CommandLogFilePath, text), 1);
    EXPECT_EQ(text, tricky);
    std::int32_t v = 0;
    EXPECT_EQ(s.GetInt(ComPortNo, v, 0), 1);
    EXPECT_EQ(v, 0x7fffffff);
    EXPECT_EQ(s.GetInt(CommunicationMode, v, 0), 1);
    EXPECT_EQ(v, -1);
    EXPECT_NE(ReadFile(RegPath()).find("\"Communication Mode\"=dword:ffffffff\r\n"), std::string::npos);
}

TEST(RegistrySettings, DamagedFilesReadAsMissingValuesAndAreNotMadeWorse) {
    static const char kGarbage[] = "\x00\x01\xff\xfe binary junk\r\n";
    const std::string garbage(kGarbage, sizeof kGarbage - 1);
    const std::string original = RegFile(
                                     "\"Com Port No\"=dword:0000000\r\n"  // 7 digits: fine
                                     "\"Control Mode\"=dword:zz\r\n"      // damaged
                                     "\"Communication Mode\"=dword:00000001\r\n"
                                     "\"Communication Mode\"=dword:00000003\r\n"  // duplicate: last wins
                                     "\"Camera File Path\"=\"unterminated\r\n") +
                                 garbage + "[HKEY_CURRENT_USER\\Other]\r\n\"Keep\"=\"me\"\r\n";
    WriteFile(RegPath(), original);
    {
        RegistrySettings s;
        std::int32_t v = 0;
        EXPECT_EQ(s.GetInt(ComPortNo, v, 9), 1);
        EXPECT_EQ(v, 0);
        EXPECT_EQ(s.GetInt(ControlModeSetting, v, 9), 0);
        EXPECT_EQ(v, 9);
        EXPECT_EQ(s.GetInt(CommunicationMode, v, 9), 1);
        EXPECT_EQ(v, 3);
        std::string text;
        EXPECT_EQ(s.GetString(CameraFilePath, text), 0);
        EXPECT_EQ(s.SetInt(ControlModeSetting, 1), 1);
        EXPECT_EQ(s.GetInt(ControlModeSetting, v, 9), 1);
        EXPECT_EQ(v, 1);
    }
    const std::string after = ReadFile(RegPath());
    // Every line that could not be read is still there, byte for byte.
    EXPECT_NE(after.find("\"Control Mode\"=dword:zz\r\n"), std::string::npos);
    EXPECT_NE(after.find(garbage), std::string::npos);
    EXPECT_NE(after.find("[HKEY_CURRENT_USER\\Other]\r\n\"Keep\"=\"me\"\r\n"), std::string::npos);
    EXPECT_NE(after.find("\"Communication Mode\"=dword:00000001\r\n"), std::string::npos);
}

TEST(RegistrySettings, TruncatedAndUnreadableFiles) {
    WriteFile(RegPath(), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Corv");
    {
        RegistrySettings s;  // the key is missing: created, and the truncated line kept
        std::int32_t v = 0;
        EXPECT_EQ(s.SetInt(ComPortNo, 4), 1);
        EXPECT_EQ(s.GetInt(ComPortNo, v, 0), 1);
        EXPECT_EQ(v, 4);
    }
    EXPECT_NE(ReadFile(RegPath()).find("[HKEY_LOCAL_MACHINE\\Software\\Corv\r\n"), std::string::npos);

    if (::geteuid() != 0) {  // root reads any file
        ::chmod(RegPath().c_str(), 0);
        RegistrySettings s;
        std::int32_t v = 0;
        EXPECT_EQ(s.GetInt(ComPortNo, v, 8), 0);
        EXPECT_EQ(v, 8);
        EXPECT_EQ(s.SetInt(ComPortNo, 1), 0);
        ::chmod(RegPath().c_str(), 0644);
    }
}

TEST(RegistrySettings, LinkSettingsAndControlModeAreSavedBeforeTheMarker) {
    {
        RegistrySettings s;
        ControlMode mode(&s);
        mode.Set(1);
        {
            SerialLink link(SerialLink::Channels{}, &s);
            link.SetKind(CameraLink2001);
            link.Open(ComPortKind, 57600, 6);  // no port object: fails, but kind, rate and index stay
        }
        // The link saved itself; the marker is still 0 until the settings end.
        std::int32_t v = -1;
        EXPECT_EQ(s.GetInt(ComPortNo, v, 0), 1);
        EXPECT_EQ(v, 6);
        EXPECT_EQ(s.GetInt(Baudrate, v, 0), 1);
        EXPECT_EQ(v, 57600);
        EXPECT_EQ(s.GetInt(PreviousShutdownStatus, v, -1), 1);
        EXPECT_EQ(v, 0);
    }
    RegistrySettings s;
    EXPECT_TRUE(s.PreviousShutdownWasNormal());
    std::int32_t v = -1;
    EXPECT_EQ(s.GetInt(ControlModeSetting, v, 0), 1);
    EXPECT_EQ(v, 1);
    // "Baudrate" is written but never read back: a new link starts at 9600.
    SerialLink link(SerialLink::Channels{}, &s);
    EXPECT_EQ(link.GetBaudRate(), 9600);
    EXPECT_EQ(link.GetKind(), ComPortKind);
    EXPECT_EQ(link.GetPortIndex(), 6);
}

TEST(RegistrySettings, AValueWithALineBreakIsRefusedAndTheFileStaysReadable) {
    RegistrySettings s;
    ASSERT_EQ(s.SetString(CameraFilePath, "/home/op/cams"), 1);
    const std::string before = ReadFile(RegPath());
    for (const char* folder : {"/home/op/new\nline", "/home/op/cr\rhere"}) {
        EXPECT_EQ(s.SetString(CameraFilePath, folder), 0) << folder;
        EXPECT_EQ(ReadFile(RegPath()), before);
    }
    ASSERT_EQ(s.SetInt(ComPortNo, 3), 1);  // later writes still work and keep the old value
    RegistrySettings again;
    std::string text;
    EXPECT_EQ(again.GetString(CameraFilePath, text), 1);
    EXPECT_EQ(text, "/home/op/cams");
    std::int32_t v = 0;
    EXPECT_EQ(again.GetInt(ComPortNo, v, 0), 1);
    EXPECT_EQ(v, 3);
}

TEST(RegistrySettings, NamesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
    // As a Windows registry editor exports the key.
    WriteFile(RegPath(),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\VELA-4K Control Tool]\r\n"
              "\"COM PORT NO\"=dword:00000002\r\n\"control mode\"=dword:00000001\r\n");
    RegistrySettings s;
    std::int32_t v = 0;
    EXPECT_EQ(s.GetInt(ComPortNo, v, 0), 1);
    EXPECT_EQ(v, 2);
    ASSERT_EQ(s.SetInt(ControlModeSetting, 0), 1);
    const std::string file = ReadFile(RegPath());
    EXPECT_EQ(file.find('['), file.rfind('[')) << "no second key:\n" << file;
    EXPECT_NE(file.find("\"control mode\"=dword:00000000\r\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("Control Mode"), std::string::npos) << file;
}

// Another program (vela-cli) reads the window's choices: the file is never created or
// changed, so the window's shutdown marker stays what the window left.
TEST(RegistrySettings, PeekReadsWithoutCreatingOrTouchingTheFile) {
    EXPECT_FALSE(RegistrySettings::PeekInt(RegPath(), CommunicationMode).has_value());
    EXPECT_FALSE(std::filesystem::exists(RegPath()));

    const std::string content = RegFile(
        "\"Previous Application Shutdown Status\"=dword:00000000\r\n\"Com Port No\"=dword:00000004\r\n"
        "\"Control Mode\"=\"1\"\r\n");
    WriteFile(RegPath(), content);
    EXPECT_EQ(RegistrySettings::PeekInt(RegPath(), ComPortNo), 4);
    EXPECT_EQ(RegistrySettings::PeekInt(RegPath(), ControlModeSetting), 1);
    EXPECT_FALSE(RegistrySettings::PeekInt(RegPath(), CameraLink2000DllIndex).has_value());
    EXPECT_FALSE(RegistrySettings::PeekInt(RegPath(), 99).has_value());
    EXPECT_EQ(ReadFile(RegPath()), content);
}
