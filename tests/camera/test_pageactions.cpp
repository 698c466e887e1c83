// The page actions' camera sequences without widgets, against the simulated camera.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/pageactions.h"
#include "protocol/controlids.h"
#include "support/camerafixture.h"

namespace vela::test {
namespace {

using PageActionsTest = CameraTest;

TEST(XmlVersionFields, FirstCharactersReadAsOneDecimalNumber) {
    struct Case {
        const char* first;
        const char* second;
        const char* third;
        int value;
    };
    const Case cases[] = {
        {"1", "2", "3", 123}, {"4", "", "7", 47},    {"", "", "9", 9},
        {"", "", "", 0},      {"45", "6", "7", 467},  // only the first character of each field counts
        {"-", "4", "7", 0},                           // a sign is no digit: the number does not start
        {"4", "x", "7", 4},                           // a letter ends the number
        {"a", "1", "2", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XmlVersionFromFields(c.first, c.second, c.third), c.value)
            << c.first << "|" << c.second << "|" << c.third;
    }
    const XmlVersionDigits digits = SplitXmlVersion(407);
    EXPECT_EQ(digits.first, 4);
    EXPECT_EQ(digits.second, 0);
    EXPECT_EQ(digits.third, 7);
}

TEST_F(PageActionsTest, LutEntryReadStoresTheDataAsSavedAndWriteSendsIndexThenData) {
    Connect();
    camera->WithCore([](sim::CameraCore& c) {
        c.SetLut(10, 3210);
        return 0;
    });
    int data = -1;
    EXPECT_EQ(ReadLutEntry(command, 10, data), 1);
    EXPECT_EQ(data, 3210);
    EXPECT_EQ(command.GetDataValue(ctl::kLutData), 3210);
    EXPECT_EQ(command.GetSavedDataValue(ctl::kLutData), 3210);

    WriteLutEntry(command, 11, 77);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"LUTI=10", "LUTD?", "LUTI=11", "LUTD=77"}));
    EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return c.Lut(11); }), 77);
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(PageActionsTest, FailedReadsReportZeroAndLeaveTheirOutputsAlone) {
    Connect();
    // Every query is answered under another command's name; writes still succeed.
    camera->SetFailure(sim::FailureMode::WrongName);
    int value = 99;
    EXPECT_EQ(ReadLineRateMinimum(command, value), 0);
    EXPECT_EQ(ReadTemperature(command, value), 0);
    EXPECT_EQ(ReadXmlVersion(command, value), 0);
    EXPECT_EQ(ReadLutEntry(command, 3, value), 0);
    EXPECT_EQ(RunOnePushLineRate(command, value), 0);
    EXPECT_EQ(value, 99);
    const ExposureLimits limits = ReadExposureLimits(command);
    EXPECT_FALSE(limits.maximum);
    EXPECT_FALSE(limits.minimum);
    // The limits are read one after the other even when the first fails.
    EXPECT_EQ(camera->ReceivedLines(),
              (Strings{"ARMIN?", "TMP0?", "XMLVR?", "LUTI=3", "LUTD?", "AR=0", "LR?", "PEMAX?", "PEMIN?"}));
    EXPECT_EQ(command.GetDataValue(ctl::kLutData), 0);
    EXPECT_EQ(command.GetDataValue(ctl::kLineRate), 0);
}

TEST_F(PageActionsTest, ModelIdentityWritesOnlyANamedModelAndIdentifiesTheCameraAgain) {
    Connect();
    const ActionMessage none = WriteCameraModel(command, model, -1);
    EXPECT_EQ(none.text, "Failed writting camera model id.");
    EXPECT_EQ(none.icon, PromptIcon::Stop);
    EXPECT_EQ(WriteCameraModel(command, model, 4).text, "Failed writting camera model id.");
    EXPECT_TRUE(camera->ReceivedLines().empty());

    const ActionMessage written = WriteCameraModel(command, model, 3);
    EXPECT_EQ(written.text, "Succeeded in writting camera model id.");
    EXPECT_EQ(written.icon, PromptIcon::Information);
    EXPECT_EQ(written.caption, "VELA-4K/8K Control Tool");
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"MD00=VELA-8K-MONO2", "MD?"}));
    EXPECT_EQ(model.Index(), 3);

    camera->ClearLines();
    camera->SetFailure(sim::FailureMode::RefuseWrites);
    EXPECT_EQ(WriteCameraModel(command, model, 0).text, "Failed writting camera model id.");
    EXPECT_EQ(camera->ReceivedLines(), Strings{"MD00=VELA-4K-MONO"});
    EXPECT_EQ(model.Index(), 3);
}

}  // namespace
}  // namespace vela::test
