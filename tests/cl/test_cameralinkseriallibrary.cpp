#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/clsimfixture.h"
#include "support/stopwatch.h"
#include "transport/cameralinkseriallibrary.h"
#include "transport/linkkind.h"
#include "transport/seriallink.h"

using namespace vela;
using vela::test::ClSimTest;
using vela::test::ReadLine;

namespace {

using ClserialLibraryTest = ClSimTest;

std::string AskModel(CameraLinkSerialLibrary& lib) {
    const std::string query = "MD?\r\n";
    if (lib.Write(query.data(), static_cast<int>(query.size()), 500) != 1) return "(write failed)";
    return ReadLine([&](char* c) { return lib.Read(c, 1, 10); }, 2000);
}

std::vector<std::string> Names(CameraLinkSerialLibrary& lib) {
    std::vector<std::string> names;
    for (int i = 0; i < static_cast<int>(lib.portList().size()); ++i) names.push_back(lib.GetPortName(i));
    return names;
}

}  // namespace

TEST_F(ClserialLibraryTest, Gen2000ListsBareFileNamesAndIndexOneOpensTheSecondFile) {
    InstallClser("libclserB.so");
    InstallClser("libclserA.so");
    InstallClser("libother.so");
    std::filesystem::create_directory(m_systemDir + "/libclserDir.so");

    CameraLink2000Library lib;  // the directory comes from CLSERIAL_SYSTEM_DIR
    ASSERT_EQ(lib.GetPortCount(), 2);
    EXPECT_EQ(Names(lib), (std::vector<std::string>{"libclserA.so", "libclserB.so"}));
    EXPECT_FALSE(lib.IsLoaded()) << "the 2000 enumeration loads nothing";

    ASSERT_EQ(lib.OpenPort(1), 1) << lib.loadError();
    const auto trace = TakeTrace();
    EXPECT_TRUE(Contains(trace, "libclserB.so clSerialInit 1"));
    EXPECT_FALSE(Contains(trace, "libclserA.so"));
    EXPECT_EQ(AskModel(lib), "MD=VELA-4K-MONO\r\n");

    // 9600 is the only rate of the generation, and needs no library call.
    TakeTrace();
    EXPECT_EQ(lib.SetBaudRate(9600), 1);
    EXPECT_TRUE(TakeTrace().empty());
    EXPECT_TRUE(m_prompt.entries().empty());
    EXPECT_EQ(lib.SetBaudRate(57600), 0);
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{"Selected baud rate is not supported."});
    EXPECT_TRUE(lib.IsOpen());
}

TEST_F(ClserialLibraryTest, Gen2000IndexOutsideTheListGivesNoNameAndNoOpen) {
    InstallClser("libclserA.so");
    InstallClser("libclserB.so");
    CameraLink2000Library lib(m_systemDir);
    ASSERT_EQ(lib.GetPortCount(), 2);
    EXPECT_EQ(lib.GetPortName(5), "");
    EXPECT_EQ(lib.GetPortName(-1), "");
    EXPECT_EQ(lib.OpenPort(5), 0);
    EXPECT_EQ(lib.OpenPort(-1), 0);
    EXPECT_FALSE(lib.IsLoaded());
    EXPECT_TRUE(TakeTrace().empty());
    EXPECT_TRUE(m_prompt.entries().empty());

    // The list lives across a file vanishing; the open fails without a message.
    std::filesystem::remove(m_systemDir + "/libclserB.so");
    EXPECT_EQ(lib.OpenPort(1), 0);
    EXPECT_TRUE(m_prompt.entries().empty());
}

TEST_F(ClserialLibraryTest, Gen2000SystemDirectoryDefaultsToUsrLib) {
    ::unsetenv("CLSERIAL_SYSTEM_DIR");
    EXPECT_EQ(CameraLink2000Library().SystemDirectory(), "/usr/lib");
    ::setenv("CLSERIAL_SYSTEM_DIR", "/opt/grabber/lib", 1);
    EXPECT_EQ(CameraLink2000Library().SystemDirectory(), "/opt/grabber/lib");
}

TEST_F(ClserialLibraryTest, NoOpenPortReadsAndWritesNothingAtOnce) {
    InstallClser("libclserA.so");
    CameraLink2000Library gen2000;
    CameraLink2001Library gen2001;
    CameraLinkVer11Library ver11;
    for (CameraLinkSerialLibrary* lib :
         {static_cast<CameraLinkSerialLibrary*>(&gen2000), static_cast<CameraLinkSerialLibrary*>(&gen2001),
          static_cast<CameraLinkSerialLibrary*>(&ver11)}) {
        lib->GetPortCount();
        char buffer[4] = {};
        const vela::test::Stopwatch start;
        EXPECT_EQ(lib->Read(buffer, 1, 5000), 0);
        EXPECT_LT(start.Ms(), 2500u);
        EXPECT_EQ(lib->Write("MD?\r\n", 5, 500), 0);
    }
    EXPECT_EQ(gen2001.SetBaudRate(9600), 0);
    EXPECT_EQ(ver11.SetBaudRate(9600), 0);
    EXPECT_TRUE(m_prompt.entries().empty());
    EXPECT_FALSE(Contains(TakeTrace(), "clSerial"));
}

TEST_F(ClserialLibraryTest, Gen2001ListsManufacturersAndSelectsOneBeforeTheOpen) {
    ::setenv("VELA_CLSIM_MANUFACTURERS", "Alpha,Beta", 1);
    CameraLink2001Library lib;
    ASSERT_EQ(lib.GetPortCount(), 2) << lib.loadError();
    EXPECT_EQ(Names(lib), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_FALSE(lib.IsLoaded()) << "the enumeration releases the library";

    TakeTrace();
    ASSERT_EQ(lib.OpenPort(1), 1);
    const auto trace = TakeTrace();
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0], "libclserial.so clSelectManufacturer Beta");
    EXPECT_EQ(trace[1], "libclserial.so clSerialInit 1");
    EXPECT_EQ(AskModel(lib), "MD=VELA-4K-MONO\r\n");

    // An enumeration while the port is open leaves the port working.
    EXPECT_EQ(lib.GetPortCount(), 2);
    EXPECT_TRUE(lib.IsOpen());
    EXPECT_EQ(AskModel(lib), "MD=VELA-4K-MONO\r\n");

    lib.ClosePort();
    EXPECT_FALSE(lib.IsOpen());
    EXPECT_FALSE(lib.IsLoaded());
    EXPECT_TRUE(Contains(TakeTrace(), "clSerialClose"));
}

TEST_F(ClserialLibraryTest, Gen2001RateOutsideTheMaskIsRefusedWithAMessage) {
    ::setenv("VELA_CLSIM_BAUD_MASK", "3", 1);
    CameraLink2001Library lib;
    ASSERT_EQ(lib.GetPortCount(), 1);
    ASSERT_EQ(lib.OpenPort(0), 1);
    TakeTrace();

    EXPECT_EQ(lib.SetBaudRate(115200), 0);
    ASSERT_EQ(m_prompt.entries().size(), 1u);
    EXPECT_EQ(m_prompt.entries()[0].text, "Selected baud rate is not supported.");
    EXPECT_EQ(m_prompt.entries()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(m_prompt.entries()[0].caption, kToolName);
    EXPECT_TRUE(lib.IsOpen());
    EXPECT_FALSE(Contains(TakeTrace(), "clSetBaudRate"));

    // A rate the API cannot name is refused the same way, without asking the library to set it.
    EXPECT_EQ(lib.SetBaudRate(14400), 0);
    EXPECT_EQ(m_prompt.entries().size(), 2u);

    EXPECT_EQ(lib.SetBaudRate(19200), 1);
    EXPECT_EQ(TakeTrace().back(), "libclserial.so clSetBaudRate 2");
    EXPECT_EQ(m_prompt.entries().size(), 2u);
}

TEST_F(ClserialLibraryTest, Ver11JoinsManufacturerAndPortAndNamesThePortWhenARateIsRefused) {
    ::setenv("VELA_CLSIM_MANUFACTURERS", "Alpha,Beta", 1);
    ::setenv("VELA_CLSIM_PORT_IDS", "CL-A,CL-B", 1);
    ::setenv("VELA_CLSIM_BAUD_MASK", "1", 1);
    CameraLinkVer11Library lib;
    ASSERT_EQ(lib.GetPortCount(), 2) << lib.loadError();
    EXPECT_EQ(Names(lib), (std::vector<std::string>{"Alpha - CL-A", "Beta - CL-B"}));
    EXPECT_FALSE(lib.IsLoaded());

    ASSERT_EQ(lib.OpenPort(1), 1);
    EXPECT_TRUE(Contains(TakeTrace(), "libclallserial.so clSerialInit 1"));
    EXPECT_EQ(lib.SetBaudRate(9600), 1);
    EXPECT_EQ(lib.SetBaudRate(19200), 0);
    EXPECT_EQ(m_prompt.texts(),
              std::vector<std::string>{"Selected baud rate is not supported in Beta - CL-B."});
    EXPECT_EQ(AskModel(lib), "MD=VELA-4K-MONO\r\n");

    // No port list: 1.1 opens by the library's own index all the same.
    CameraLinkVer11Library unlisted;
    ASSERT_EQ(unlisted.OpenPort(1), 0) << "port 1 is still open through the first adapter";
    lib.ClosePort();
    ASSERT_EQ(unlisted.OpenPort(1), 1);
    EXPECT_EQ(unlisted.SetBaudRate(38400), 0);
    EXPECT_EQ(m_prompt.texts().back(), "Selected baud rate is not supported in port 1.");
}

// Every entry point of a generation's lookup list is required; others are not.
struct MissingEntry {
    int kind;
    const char* name;
    bool required;
};

void PrintTo(const MissingEntry& entry, std::ostream* out) {
    *out << entry.kind << " " << entry.name;
}

class ClserialMissingEntryTest : public ClSimTest, public ::testing::WithParamInterface<MissingEntry> {};

TEST_P(ClserialMissingEntryTest, LoadFailsSilentlyAndTheListBehavesAsBefore) {
    const MissingEntry entry = GetParam();
    InstallClser("libclserA.so");
    ::setenv("VELA_CLSIM_MANUFACTURERS", "Alpha", 1);
    ::setenv("VELA_CLSIM_PORTS", "1", 1);
    std::unique_ptr<CameraLinkSerialLibrary> lib;
    if (entry.kind == CameraLink2000) lib = std::make_unique<CameraLink2000Library>();
    if (entry.kind == CameraLink2001) lib = std::make_unique<CameraLink2001Library>();
    if (entry.kind == CameraLinkVer11) lib = std::make_unique<CameraLinkVer11Library>();
    ASSERT_EQ(lib->GetPortCount(), 1) << lib->loadError();
    const std::string before = lib->GetPortName(0);

    ::setenv("VELA_CLSIM_OMIT", entry.name, 1);
    const int count = lib->GetPortCount();
    const int opened = lib->OpenPort(0);
    if (!entry.required) {
        EXPECT_EQ(count, 1);
        EXPECT_EQ(opened, 1) << lib->loadError();
        return;
    }
    EXPECT_EQ(opened, 0);
    EXPECT_NE(lib->loadError().find(entry.name), std::string::npos) << lib->loadError();
    EXPECT_FALSE(lib->IsOpen());
    EXPECT_FALSE(lib->IsLoaded());
    EXPECT_TRUE(m_prompt.entries().empty());
    if (entry.kind == CameraLinkVer11) {
        EXPECT_EQ(count, 0) << "the 1.1 list is emptied before the load";
    } else {
        // 2000 enumerates files without loading them; 2001 keeps the list of its last good load.
        EXPECT_EQ(count, 1);
        EXPECT_EQ(lib->GetPortName(0), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ClserialMissingEntryTest,
    ::testing::Values(
        MissingEntry{1, "clSerialInit", true}, MissingEntry{1, "clSerialClose", true},
        MissingEntry{1, "clSerialRead", true}, MissingEntry{1, "clSerialWrite", true},
        MissingEntry{1, "clGetErrorText", false}, MissingEntry{1, "clSetBaudRate", false},
        MissingEntry{2, "clGetManufacturer", true}, MissingEntry{2, "clGetNumManufacturers", true},
        MissingEntry{2, "clSelectManufacturer", true}, MissingEntry{2, "clGetNumSerialPorts", true},
        MissingEntry{2, "clGetSerialPortIdentifier", true}, MissingEntry{2, "clSerialInit", true},
        MissingEntry{2, "clSerialClose", true}, MissingEntry{2, "clSerialRead", true},
        MissingEntry{2, "clSerialWrite", true}, MissingEntry{2, "clGetSupportedBaudRates", true},
        MissingEntry{2, "clSetBaudRate", true}, MissingEntry{2, "clGetErrorText", true},
        MissingEntry{3, "clSerialInit", true}, MissingEntry{3, "clSerialClose", true},
        MissingEntry{3, "clSetBaudRate", true}, MissingEntry{3, "clSerialRead", true},
        MissingEntry{3, "clSerialWrite", true}, MissingEntry{3, "clFlushPort", true},
        MissingEntry{3, "clGetErrorText", true}, MissingEntry{3, "clGetNumPorts", true},
        MissingEntry{3, "clGetNumBytesAvail", true}, MissingEntry{3, "clGetPortInfo", true},
        MissingEntry{3, "clGetSupportedBaudRates", true}),
    [](const ::testing::TestParamInfo<MissingEntry>& info) {
        return "Kind" + std::to_string(info.param.kind) + "_" + info.param.name;
    });

TEST_F(ClserialLibraryTest, MissingLibraryLeavesTheListAsItWas) {
    CameraLink2001Library gen2001("libclnosuchgrabber.so");
    CameraLinkVer11Library ver11("libclnosuchgrabber.so");
    EXPECT_EQ(gen2001.GetPortCount(), 0);
    EXPECT_EQ(gen2001.OpenPort(0), 0);
    EXPECT_EQ(ver11.GetPortCount(), 0);
    EXPECT_EQ(ver11.OpenPort(0), 0);
    EXPECT_FALSE(gen2001.loadError().empty());
    EXPECT_TRUE(m_prompt.entries().empty());
}

TEST_F(ClserialLibraryTest, UnterminatedNamesAreCutAtTheBufferEnd) {
    ::setenv("VELA_CLSIM_LONG_NAMES", "1", 1);
    ::setenv("VELA_CLSIM_MANUFACTURERS", "Alpha,Beta", 1);
    CameraLink2001Library gen2001;
    ASSERT_EQ(gen2001.GetPortCount(), 2);
    EXPECT_EQ(gen2001.GetPortName(1), "Beta" + std::string(124, '#'));

    CameraLinkVer11Library ver11;
    ASSERT_EQ(ver11.GetPortCount(), 2);
    EXPECT_EQ(ver11.GetPortName(0), "Alpha" + std::string(123, '#') + " - Port 0" + std::string(122, '#'));
}

TEST_F(ClserialLibraryTest, CountsBeyondTheBufferAndTheListAreClipped) {
    ::setenv("VELA_CLSIM_OVERREPORT", "1", 1);
    CameraLink2001Library lib;
    ASSERT_EQ(lib.GetPortCount(), 1);
    ASSERT_EQ(lib.OpenPort(0), 1);
    ASSERT_EQ(lib.Write("MD?\r\n", 5, 500), 1);
    char buffer[8] = {};
    EXPECT_EQ(lib.Read(buffer, 1, 500), 1) << "a library's count beyond the request";
    EXPECT_EQ(buffer[0], 'M');

    // A library that reports an absurd number of manufacturers: the list stops at the cap,
    // and the entries whose lookup failed keep their places.
    ::setenv("VELA_CLSIM_COUNT", "4000000000", 1);
    EXPECT_EQ(lib.GetPortCount(), static_cast<int>(CameraLinkSerialLibrary::kMaxPorts));
    EXPECT_EQ(lib.GetPortName(0), "VelaSim");
    EXPECT_EQ(lib.GetPortName(1), "");
}

TEST_F(ClserialLibraryTest, APortWhoseReferenceIsNullStillWorks) {
    ::setenv("VELA_CLSIM_INDEX_REFS", "1", 1);
    CameraLinkVer11Library lib;
    ASSERT_EQ(lib.GetPortCount(), 2);
    ASSERT_EQ(lib.OpenPort(0), 1);
    EXPECT_TRUE(lib.IsOpen());
    EXPECT_EQ(AskModel(lib), "MD=VELA-4K-MONO\r\n");
    EXPECT_EQ(lib.SetBaudRate(19200), 1);
}

TEST_F(ClserialLibraryTest, ReadWaitsForTheLibraryTimeOutAndNoLonger) {
    CameraLinkVer11Library lib;
    ASSERT_EQ(lib.OpenPort(0), 1);
    char c = 0;
    vela::test::Stopwatch start;
    EXPECT_EQ(lib.Read(&c, 1, 50), 0);
    EXPECT_GE(start.Ms(), 50u);
    EXPECT_LT(start.Ms(), 2000u);

    ASSERT_EQ(lib.Write("MD?\r\n", 5, 500), 1);
    start.Restart();
    EXPECT_EQ(lib.Read(&c, 1, 5000), 1);
    EXPECT_LT(start.Ms(), 2500u) << "a waiting byte comes at once";
}

TEST_F(ClserialLibraryTest, AFailedOpenKeepsTheLibraryUntilClosePort) {
    ::setenv("VELA_CLSIM_FAIL", "clSerialInit", 1);
    CameraLinkVer11Library lib;
    ASSERT_EQ(lib.GetPortCount(), 2);
    EXPECT_EQ(lib.OpenPort(0), 0);
    EXPECT_TRUE(lib.IsLoaded());
    EXPECT_FALSE(lib.IsOpen());
    EXPECT_EQ(lib.SetBaudRate(9600), 0);
    EXPECT_TRUE(m_prompt.entries().empty());
    lib.ClosePort();
    EXPECT_FALSE(lib.IsLoaded());
    EXPECT_FALSE(Contains(TakeTrace(), "clSerialClose")) << "nothing was open to close";
}

TEST_F(ClserialLibraryTest, DestroyingAnAdapterClosesItsPort) {
    {
        CameraLink2001Library lib;
        lib.GetPortCount();
        ASSERT_EQ(lib.OpenPort(0), 1);
        TakeTrace();
    }
    EXPECT_EQ(TakeTrace(), std::vector<std::string>{"libclserial.so clSerialClose"});
}

TEST(DefaultLibraryChannel, OneAdapterPerCameraLinkKind) {
    LibraryChannel* gen2000 = DefaultLibraryChannel(CameraLink2000);
    LibraryChannel* gen2001 = DefaultLibraryChannel(CameraLink2001);
    LibraryChannel* ver11 = DefaultLibraryChannel(CameraLinkVer11);
    EXPECT_NE(dynamic_cast<CameraLink2000Library*>(gen2000), nullptr);
    EXPECT_NE(dynamic_cast<CameraLink2001Library*>(gen2001), nullptr);
    EXPECT_NE(dynamic_cast<CameraLinkVer11Library*>(ver11), nullptr);
    EXPECT_EQ(DefaultLibraryChannel(CameraLink2001), gen2001);
    EXPECT_EQ(DefaultLibraryChannel(ComPortKind), nullptr);
    EXPECT_EQ(DefaultLibraryChannel(4), nullptr);
}
