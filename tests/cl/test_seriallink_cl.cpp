#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/clsimfixture.h"
#include "support/stopwatch.h"
#include "transport/seriallink.h"

using namespace vela;
using vela::test::ClSimTest;
using vela::test::ReadLine;

namespace {

class SerialLinkLibraryTest : public ClSimTest {
  protected:
    void SetUp() override {
        ClSimTest::SetUp();
        InstallTwoBoards();
    }

    // The process-wide adapters, as the tool has them.
    SerialLink::Channels Channels() {
        return {nullptr, DefaultLibraryChannel(CameraLink2000), DefaultLibraryChannel(CameraLink2001),
                DefaultLibraryChannel(CameraLinkVer11)};
    }

    static std::string Ask(SerialLink& link, const std::string& line) {
        link.Write(line);
        return ReadLine([&](char* c) { return link.Read(c, 1, 10); }, 2000);
    }
};

}  // namespace

TEST_F(SerialLinkLibraryTest, EveryKindOpensPortZeroAndAnswersTheModelQuery) {
    SerialLink link(Channels(), nullptr);
    for (int kind : {CameraLink2000, CameraLink2001, CameraLinkVer11}) {
        SCOPED_TRACE(kind);
        link.SetKind(kind);
        ASSERT_EQ(link.GetPortCount(), 2);
        EXPECT_FALSE(link.GetPortName(0).empty());
        ASSERT_EQ(link.Open(kind, 9600, 0), 1);
        EXPECT_EQ(Ask(link, "MD?\r\n"), "MD=VELA-4K-MONO\r\n");
    }
    EXPECT_TRUE(m_prompt.entries().empty());
}

TEST_F(SerialLinkLibraryTest, SwitchingKindsKeepsEachKindsPort) {
    SerialLink link(Channels(), nullptr);
    link.SetKind(CameraLink2000);
    ASSERT_EQ(link.GetPortCount(), 2);
    ASSERT_EQ(link.SelectPort(1), 1);
    link.SetKind(CameraLink2001);  // no channel is closed or opened by this
    ASSERT_EQ(link.GetPortCount(), 2);
    link.SetKind(CameraLink2000);

    ASSERT_EQ(link.SwitchKind(CameraLink2001), 1);
    ASSERT_EQ(link.SelectPort(1), 1);
    ASSERT_EQ(link.SwitchKind(CameraLinkVer11), 1);
    EXPECT_EQ(link.GetPortIndex(), 0);
    TakeTrace();

    ASSERT_EQ(link.SwitchKind(CameraLink2000), 1);
    EXPECT_EQ(link.GetPortIndex(), 1);
    auto trace = TakeTrace();
    EXPECT_TRUE(Contains(trace, "libclallserial.so clSerialClose"));
    EXPECT_TRUE(Contains(trace, "libclserB.so clSerialInit 1"));
    EXPECT_EQ(Ask(link, "MD?\r\n"), "MD=VELA-4K-MONO\r\n");

    ASSERT_EQ(link.SwitchKind(CameraLink2001), 1);
    EXPECT_EQ(link.GetPortIndex(), 1);
    trace = TakeTrace();
    EXPECT_TRUE(Contains(trace, "libclserB.so clSerialClose"));
    EXPECT_TRUE(Contains(trace, "libclserial.so clSelectManufacturer Beta"));
    EXPECT_TRUE(Contains(trace, "libclserial.so clSerialInit 1"));
    EXPECT_EQ(Ask(link, "MD?\r\n"), "MD=VELA-4K-MONO\r\n");
}

TEST_F(SerialLinkLibraryTest, UnsupportedRatesAreRefusedAndThePortStaysOpen) {
    ::setenv("VELA_CLSIM_BAUD_MASK", "3", 1);
    SerialLink link(Channels(), nullptr);
    link.SetKind(CameraLink2000);
    link.GetPortCount();
    ASSERT_EQ(link.Open(CameraLink2000, 9600, 0), 1);
    EXPECT_EQ(link.SetBaudRate(57600), 0);
    EXPECT_EQ(link.GetBaudRate(), 57600);
    EXPECT_EQ(Ask(link, "MD?\r\n"), "MD=VELA-4K-MONO\r\n") << "the library port stays open";

    link.SetKind(CameraLink2001);
    link.GetPortCount();
    ASSERT_EQ(link.Open(CameraLink2001, 9600, 0), 1);
    EXPECT_EQ(link.SetBaudRate(115200), 0);
    EXPECT_EQ(m_prompt.texts(), (std::vector<std::string>{"Selected baud rate is not supported.",
                                                          "Selected baud rate is not supported."}));
}

TEST_F(SerialLinkLibraryTest, TheCameraKeepsItsNewRateAcrossTheReopen) {
    SerialLink link(Channels(), nullptr);
    link.SetKind(CameraLink2001);
    link.GetPortCount();
    ASSERT_EQ(link.Open(CameraLink2001, 9600, 0), 1);
    EXPECT_EQ(Ask(link, "CBDRT=16\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(Ask(link, "MD?\r\n"), "") << "the camera now listens at 115200";
    ASSERT_EQ(link.SetBaudRate(115200), 1);
    EXPECT_EQ(Ask(link, "MD?\r\n"), "MD=VELA-4K-MONO\r\n");
}

TEST_F(SerialLinkLibraryTest, ReadsOnASilentLibraryPortEndAtTheTimeOut) {
    SerialLink link(Channels(), nullptr);
    link.SetKind(CameraLinkVer11);
    ASSERT_EQ(link.Open(CameraLinkVer11, 9600, 0), 1);
    char buffer[4];
    const vela::test::Stopwatch start;
    EXPECT_EQ(link.Read(buffer, 4, 100), 0);
    EXPECT_GE(start.Ms(), 100u);
    EXPECT_LT(start.Ms(), 2000u);

    link.Close();
    const vela::test::Stopwatch closed;
    EXPECT_EQ(link.Read(buffer, 1, 10), 0);
    EXPECT_LT(closed.Ms(), 1000u);
}
