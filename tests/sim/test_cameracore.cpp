#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cameracore.h"

using vela::sim::CameraCore;
using vela::sim::CameraOptions;

namespace {

// A camera on a clock the test moves by hand.
class CameraCoreTest : public ::testing::Test {
  protected:
    CameraOptions Options() {
        CameraOptions o;
        o.clockMs = [this] { return now; };
        return o;
    }
    void Make(CameraOptions o) { cam = std::make_unique<CameraCore>(std::move(o)); }
    void SetUp() override { Make(Options()); }

    // The one answer line to `line`; "<none>" or "<many>" otherwise.
    std::string Ask(const std::string& line) {
        std::vector<std::string> a = cam->HandleLine(line);
        if (a.empty()) return "<none>";
        if (a.size() > 1) return "<many>";
        return a[0];
    }
    long long V(const std::string& name) { return cam->Value(name).value_or(-999999); }

    long long now = 1000;
    std::unique_ptr<CameraCore> cam;
};

TEST_F(CameraCoreTest, QueriesWritesAndTolerantLines) {
    EXPECT_EQ(Ask("GA?"), "GA=100");
    EXPECT_EQ(Ask("GA=200"), "COMPLETE");
    EXPECT_EQ(Ask("GA?"), "GA=200");
    EXPECT_EQ(Ask("ga=300"), "COMPLETE");
    EXPECT_EQ(Ask("  Ga = 400 \r"), "COMPLETE");
    EXPECT_EQ(Ask("gA ?"), "GA=400");
    EXPECT_EQ(Ask("GA=&H1F4"), "COMPLETE");
    EXPECT_EQ(V("GA"), 500);
    // An empty line is no command and gets no answer.
    EXPECT_EQ(Ask(""), "<none>");
    EXPECT_EQ(Ask("   "), "<none>");
}

TEST_F(CameraCoreTest, RefusalsAnswerErrorAndChangeNothing) {
    for (const char* line : {"GA", "XYZ=1", "XYZ?", "GA=", "GA=12abc", "GA=1.5", "GA=99999999999999999999",
                             "GA00=5", "=5", "?"}) {
        std::string a = Ask(line);
        EXPECT_EQ(a.rfind("COMPLETE", 0), std::string::npos) << line;
        EXPECT_EQ(a, "ERROR") << line;
    }
    EXPECT_FALSE(cam->LastError().empty());
    EXPECT_EQ(V("GA"), 100);
    EXPECT_EQ(V("GA00"), 50);
    // Measurements and identity are not writable under their query names.
    for (const char* line :
         {"VN=1", "PV=1", "TMP0=3", "EA=1", "PEMAX=5", "PEMIN=5", "ARMIN=5", "SDS=1", "PBS00=1", "ST=1",
          "SBDRT=9600", "MD=X", "ID=X", "DV=1.2.3.4", "DVN=X", "HP=1"}) {
        EXPECT_EQ(Ask(line), "ERROR") << line;
    }
    EXPECT_EQ(cam->Text("MD"), "VELA-4K-MONO");
}

TEST_F(CameraCoreTest, EveryCommandAnswersAQueryWithItsName) {
    ASSERT_EQ(CameraCore::CommandNames().size(), 90u);
    for (const std::string& name : CameraCore::CommandNames()) {
        std::string a = Ask(name + "?");
        EXPECT_EQ(a.rfind(name + "=", 0), 0u) << name << " answered " << a;
        EXPECT_LT(a.size(), 1023u) << name;
    }
}

struct RangeCase {
    const char* name;
    long long def;
    std::vector<long long> accepted;
    std::vector<long long> refused;
};

TEST_F(CameraCoreTest, DefaultsAndItemValues) {
    // Spin ranges are checked against the tool's own table elsewhere; here the defaults
    // and the combo boxes, whose item values the tool's table does not hold.
    const std::vector<RangeCase> cases = {
        {"GA", 100, {100, 1600}, {99, 1601}},
        {"GMA", 8, {0, 8}, {9}},
        {"GA4A00", 50, {50, 200}, {49}},
        {"AGCGA", 1600, {101}, {100}},
        {"LS0", 0, {0, 1, 4, 5, 6, 7}, {2, 3, 8, -1}},
        {"HB", 1, {1, 2}, {0, 3}},
        {"PGC", 1, {1, 2}, {0, 3}},
        {"PBC", 1, {1, 2}, {0}},
        {"TAGM", 0, {0, 4}, {5}},
        {"TMPS0", 0, {0, 3}, {4}},
        {"BAS00", 0, {0, 1}, {2}},
    };
    for (const RangeCase& c : cases) {
        EXPECT_EQ(V(c.name), c.def) << c.name;
        for (long long v : c.accepted) {
            EXPECT_EQ(Ask(std::string(c.name) + "=" + std::to_string(v)), "COMPLETE") << c.name << "=" << v;
            EXPECT_EQ(V(c.name), v) << c.name;
        }
        long long kept = V(c.name);
        for (long long v : c.refused) {
            EXPECT_EQ(Ask(std::string(c.name) + "=" + std::to_string(v)), "ERROR") << c.name << "=" << v;
            EXPECT_EQ(V(c.name), kept) << c.name;
        }
    }
}

TEST_F(CameraCoreTest, FlashAreasStoreLoadAndReportTheCurrentArea) {
    EXPECT_EQ(Ask("EA?"), "EA=0");
    Ask("GA=300");
    Ask("LUTI=7");
    Ask("LUTD=999");
    EXPECT_EQ(Ask("SA=2"), "COMPLETE");
    EXPECT_EQ(cam->AreaValue(2, "GA"), 300);
    EXPECT_EQ(cam->AreaLut(2, 7), 999);
    EXPECT_EQ(cam->AreaValue(1, "GA"), 100);
    // Storing does not make the area current; loading does.
    EXPECT_EQ(Ask("EA?"), "EA=0");

    Ask("GA=400");
    Ask("LUTD=5");
    EXPECT_EQ(Ask("LD=2"), "COMPLETE");
    EXPECT_EQ(V("GA"), 300);
    EXPECT_EQ(cam->Lut(7), 999);
    EXPECT_EQ(Ask("EA?"), "EA=2");

    EXPECT_EQ(Ask("LD=0"), "COMPLETE");
    EXPECT_EQ(V("GA"), 100);
    EXPECT_EQ(cam->Lut(7), 112);
    EXPECT_EQ(cam->CurrentArea(), 0);

    // SA takes the user areas only, SA00 the factory area only.
    for (const char* refused : {"SA=0", "SA=4", "SA00=1", "LD=4", "LD=-1"}) EXPECT_EQ(Ask(refused), "ERROR");
    Ask("GA=1600");
    EXPECT_EQ(Ask("SA00=0"), "COMPLETE");
    EXPECT_EQ(cam->AreaValue(0, "GA"), 1600);
    // Identity and the baud rate live outside the areas.
    EXPECT_FALSE(cam->AreaValue(0, "CBDRT").has_value());
    EXPECT_FALSE(cam->AreaValue(0, "BAS00").has_value());
}

TEST_F(CameraCoreTest, RestartLoadsTheBootArea) {
    Ask("GA=300");
    Ask("SA=3");
    Ask("GA=700");
    // Boot area "Default": the factory area.
    EXPECT_EQ(Ask("CRS00=1"), "COMPLETE");
    EXPECT_EQ(V("GA"), 100);
    EXPECT_EQ(V("EA"), 0);
    EXPECT_EQ(cam->BootArea(), 0);

    // Boot area "Update": the area stored or loaded last.
    Ask("GA=900");
    Ask("SA=3");
    Ask("BAS00=1");
    Ask("GA=1200");
    EXPECT_EQ(cam->BootArea(), 3);
    EXPECT_EQ(Ask("CRS00=1"), "COMPLETE");
    EXPECT_EQ(V("GA"), 900);
    EXPECT_EQ(V("EA"), 3);
    EXPECT_EQ(V("BAS00"), 1);
    EXPECT_EQ(Ask("CRS00=0"), "ERROR");

    // A restart takes its time, deaf to every line.
    CameraOptions o = Options();
    o.resetMs = 500;
    Make(o);
    EXPECT_EQ(Ask("CRS00=1"), "COMPLETE");
    now += 499;
    EXPECT_EQ(Ask("GA?"), "<none>");
    now += 1;
    EXPECT_EQ(Ask("GA?"), "GA=100");
}

TEST_F(CameraCoreTest, LutRoundTripAndLimits) {
    EXPECT_EQ(cam->Lut(0), 0);
    EXPECT_EQ(cam->Lut(11), 176);
    EXPECT_EQ(cam->Lut(255), 4095);
    EXPECT_EQ(Ask("LUTI=10"), "COMPLETE");
    EXPECT_EQ(Ask("LUTD=1234"), "COMPLETE");
    EXPECT_EQ(Ask("LUTI=11"), "COMPLETE");
    EXPECT_EQ(Ask("LUTD?"), "LUTD=176");
    EXPECT_EQ(Ask("LUTD=4095"), "COMPLETE");
    EXPECT_EQ(Ask("LUTD=4096"), "ERROR");
    EXPECT_EQ(Ask("LUTI=10"), "COMPLETE");
    EXPECT_EQ(Ask("LUTD?"), "LUTD=1234");
    // The index stays where it was put: no entry moves on by itself.
    EXPECT_EQ(Ask("LUTD?"), "LUTD=1234");
    EXPECT_EQ(cam->Lut(11), 4095);
}

TEST_F(CameraCoreTest, CameraIdOnlyRightAfterUnlock) {
    EXPECT_EQ(Ask("ID?"), "ID=VC00000001");
    EXPECT_EQ(Ask("ID00=XYZ"), "ERROR");
    EXPECT_EQ(Ask("ULCK=1234"), "ERROR");
    EXPECT_EQ(Ask("ID00=XYZ"), "ERROR");
    // Any line between unlock and write locks again.
    EXPECT_EQ(Ask("ULCK=5170362"), "COMPLETE");
    EXPECT_TRUE(cam->Unlocked());
    EXPECT_EQ(Ask("GA?"), "GA=100");
    EXPECT_EQ(Ask("ID00=XYZ"), "ERROR");
    // Too long even when unlocked.
    Ask("ULCK=5170362");
    EXPECT_EQ(Ask("ID00=ABCDEFGHIJK"), "ERROR");
    Ask("ULCK=5170362");
    EXPECT_EQ(Ask("ID00=ABCDEFGHIJ"), "COMPLETE");
    EXPECT_FALSE(cam->Unlocked());
    EXPECT_EQ(Ask("ID?"), "ID=ABCDEFGHIJ");
    Ask("ULCK=5170362");
    EXPECT_EQ(Ask("ID00=XYZ"), "COMPLETE");
    EXPECT_EQ(cam->Text("ID"), "XYZ");
    EXPECT_EQ(Ask("ID00=QQ"), "ERROR");
}

TEST_F(CameraCoreTest, IdentityTexts) {
    EXPECT_EQ(Ask("UD=my id 1"), "COMPLETE");
    EXPECT_EQ(Ask("UD?"), "UD=my id 1");
    EXPECT_EQ(Ask("UD=ABCDEFGHIJKLMNOP"), "COMPLETE");
    EXPECT_EQ(Ask("UD=ABCDEFGHIJKLMNOPQ"), "ERROR");
    EXPECT_EQ(Ask("UD="), "COMPLETE");

    EXPECT_EQ(Ask("MD?"), "MD=VELA-4K-MONO");
    EXPECT_EQ(V("ARMIN"), 1250);
    EXPECT_EQ(Ask("MD00=VELA-8K-MONO"), "COMPLETE");
    EXPECT_EQ(Ask("MD?"), "MD=VELA-8K-MONO");
    EXPECT_EQ(V("ARMIN"), 2500);
    EXPECT_EQ(Ask("MD00="), "ERROR");

    EXPECT_EQ(Ask("DV?"), "DV=1.0.2.0");
    EXPECT_EQ(Ask("DV00=1..3.4"), "COMPLETE");
    EXPECT_EQ(Ask("DV00=1.2.3"), "ERROR");
    EXPECT_EQ(Ask("DV00=1.2.3.4.5"), "ERROR");
    EXPECT_EQ(cam->Text("DV"), "1..3.4");

    EXPECT_EQ(Ask("XMLVR=123"), "COMPLETE");
    EXPECT_EQ(Ask("XMLVR?"), "XMLVR=123");
}

TEST_F(CameraCoreTest, MeasurementsFollowTheirSettings) {
    std::vector<long long> temps;
    for (int s = 0; s < 4; ++s) {
        ASSERT_EQ(Ask("TMPS0=" + std::to_string(s)), "COMPLETE");
        temps.push_back(V("TMP0"));
        EXPECT_GT(temps.back(), 0);
        EXPECT_LT(temps.back(), 100);
    }
    EXPECT_NE(temps[0], temps[3]);
    Ask("LR=4000");
    long long pemax = V("PEMAX");
    Ask("LR=8000");
    EXPECT_GT(V("PEMAX"), pemax);
    EXPECT_LE(V("PEMIN"), V("PEMAX"));
}

TEST_F(CameraCoreTest, OnePushSetsTheLineRateAfterItsTime) {
    CameraOptions o = Options();
    o.onePushMs = 200;
    o.onePushLineRate = 3000;
    Make(o);
    EXPECT_EQ(Ask("AR=1"), "ERROR");
    EXPECT_EQ(Ask("AR=0"), "COMPLETE");
    EXPECT_EQ(cam->AnswerDelayMs(), 200);
    EXPECT_EQ(V("LR"), 5000);
    now += 200;
    EXPECT_EQ(Ask("LR?"), "LR=3000");

    // A measured period below the sensor's minimum reads as the minimum.
    o.onePushLineRate = 100;
    cam->SetOptions(o);
    Ask("AR=0");
    now += 200;
    EXPECT_EQ(V("LR"), V("ARMIN"));
}

TEST_F(CameraCoreTest, RecalibrationsReportZeroWhileRunningThenTheirResult) {
    CameraOptions o = Options();
    o.recalibrationMs = 300;
    o.recalibrationResult = 3;
    o.recalibrationStartMs = 50;
    Make(o);
    const char* pairs[6][2] = {{"SDR", "SDS"},     {"PGR", "PGS"},     {"PBR", "PBS"},
                               {"SDR00", "SDS00"}, {"PGR00", "PGS00"}, {"PBR00", "PBS00"}};
    for (auto& p : pairs) {
        std::string start = p[0];
        std::string status = p[1];
        EXPECT_EQ(Ask(status + "?"), status + "=1") << "before any run";
        EXPECT_EQ(Ask(start + "=1"), "ERROR");
        EXPECT_EQ(Ask(start + "=0"), "COMPLETE");
        EXPECT_EQ(cam->AnswerDelayMs(), 50);
        EXPECT_EQ(Ask(status + "?"), status + "=0");
        now += 349;
        EXPECT_EQ(Ask(status + "?"), status + "=0");
        now += 1;
        EXPECT_EQ(Ask(status + "?"), status + "=3");
        EXPECT_EQ(Ask(status + "=0"), "ERROR");
    }
    // Each recalibration keeps its own state.
    Ask("SDR=0");
    EXPECT_EQ(V("SDS"), 0);
    EXPECT_EQ(V("PGS"), 3);
}

TEST_F(CameraCoreTest, AnswerDelaysAddUp) {
    CameraOptions o = Options();
    o.processingDelayMs = 40;
    o.flashMs = 100;
    o.commandDelayMs = {{"LD", 800}};
    Make(o);
    Ask("ga?");
    EXPECT_EQ(cam->AnswerDelayMs(), 40);
    Ask("ld=1");
    EXPECT_EQ(cam->AnswerDelayMs(), 940);
}

TEST_F(CameraCoreTest, BaudSwitchWaitsForTheAnswerToGoOut) {
    EXPECT_EQ(cam->BaudRate(), 9600);
    EXPECT_EQ(Ask("CBDRT?"), "CBDRT=1");
    EXPECT_EQ(Ask("SBDRT?"), "SBDRT=9600");
    EXPECT_EQ(Ask("CBDRT=3"), "ERROR");
    EXPECT_EQ(cam->PendingBaudRate(), 0);
    EXPECT_EQ(Ask("CBDRT=16"), "COMPLETE");
    EXPECT_EQ(cam->BaudRate(), 9600);
    EXPECT_EQ(cam->PendingBaudRate(), 115200);
    EXPECT_EQ(Ask("CBDRT?"), "CBDRT=1");
    cam->ApplyPendingBaudRate();
    EXPECT_EQ(cam->BaudRate(), 115200);
    EXPECT_EQ(cam->PendingBaudRate(), 0);
    EXPECT_EQ(Ask("CBDRT?"), "CBDRT=16");
    // The rate survives a restart.
    Ask("CRS00=1");
    EXPECT_EQ(cam->BaudRate(), 115200);

    CameraOptions o = Options();
    o.baudRate = 38400;
    Make(o);
    EXPECT_EQ(Ask("CBDRT?"), "CBDRT=4");
    for (int code : {1, 2, 4, 8, 16}) EXPECT_EQ(CameraCore::BaudCode(CameraCore::RateFromCode(code)), code);
    EXPECT_EQ(CameraCore::BaudCode(14400), 0);
}

}  // namespace
