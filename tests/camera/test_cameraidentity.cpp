// The identity texts as the camera gives and takes them: versions, the device-version
// split and composition, the camera-ID boxes. The reads and writes on the wire are tested
// through the dialogs against the simulated camera.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/cameraidentity.h"

namespace vela {
namespace {

TEST(CameraIdentityTest, VersionsShowHundredthsWithTwoDigits) {
    EXPECT_EQ(FormatVersion(123), "1.23");
    EXPECT_EQ(FormatVersion(105), "1.05");
    EXPECT_EQ(FormatVersion(7), "0.07");
    EXPECT_EQ(FormatVersion(1000), "10.00");
}

TEST(CameraIdentityTest, DeviceVersionSplitsOnlyWithExactlyThreeDots) {
    struct Case {
        std::string text;
        bool splits;
        DeviceVersionParts parts;
    };
    const std::vector<Case> cases = {
        {"1.0.2.0", true, {"1", "0", "2", "0"}},
        {"12.0..3b", true, {"12", "0", "", "3b"}},
        {"...", true, {"", "", "", ""}},
        {"1.0.2", false, {}},
        {"1.0.2.0.1", false, {}},
        {"1.0.2.0.", false, {}},
        {"", false, {}},
        {"1020", false, {}},
    };
    for (const Case& c : cases) {
        DeviceVersionParts parts = {"?", "?", "?", "?"};
        EXPECT_EQ(SplitDeviceVersion(c.text, parts), c.splits) << c.text;
        const DeviceVersionParts expected = c.splits ? c.parts : DeviceVersionParts{"?", "?", "?", "?"};
        EXPECT_EQ(parts, expected) << c.text;
    }
}

TEST(CameraIdentityTest, DeviceVersionIsWrittenFromTheFirstCharacterOfEachPart) {
    EXPECT_EQ(ComposeDeviceVersion({"1", "0", "2", "0"}), "1.0.2.0");
    EXPECT_EQ(ComposeDeviceVersion({"12", "0", "", "3b"}), "1.0..3");
    EXPECT_EQ(ComposeDeviceVersion({"", "", "", ""}), "...");
    // The camera's texts are Latin-1: one byte is one character.
    EXPECT_EQ(ComposeDeviceVersion({"\xE9x", "1", "2", "3"}), "\xE9.1.2.3");
}

TEST(CameraIdentityTest, CameraIdGoesOneCharacterPerBox) {
    const auto six = CameraIdBoxes("ABC123");
    EXPECT_EQ(std::vector<std::string>(six.begin(), six.end()),
              (std::vector<std::string>{"A", "B", "C", "1", "2", "3", "", "", "", ""}));
    const auto tooLong = CameraIdBoxes("VC00000001XY");
    EXPECT_EQ(tooLong[0], "V");
    EXPECT_EQ(tooLong[9], "1");

    EXPECT_EQ(CameraIdFromBoxes({"Xq", "Y", "Z", "", "", "", "", "", "", ""}), "XYZ");
    EXPECT_EQ(CameraIdFromBoxes({"", "A", "", "B", "", "", "", "", "", "C"}), "ABC");
    EXPECT_EQ(CameraIdFromBoxes(std::vector<std::string>(10)), "");
}

TEST(CameraIdentityTest, LatinOneTextIsQuotedInUtf8) {
    EXPECT_EQ(Utf8FromLatin1(""), "");
    EXPECT_EQ(Utf8FromLatin1("AB-1"), "AB-1");
    EXPECT_EQ(Utf8FromLatin1("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");  // "été"
    EXPECT_EQ(Utf8FromLatin1("\x80\xFF"), "\xC2\x80\xC3\xBF");
}

}  // namespace
}  // namespace vela
