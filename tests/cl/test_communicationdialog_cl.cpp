// The Communication window against the simulated Camera Link serial libraries, through
// the real dlopen path: port lists per kind, the port search past the listed ports, and
// a start-up on a library kind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <cstdlib>
#include <memory>

#include "app/registrysettings.h"
#include "app/regstore.h"
#include "dialogs/communicationdialog.h"
#include "mainwindow/ctrltooldlg.h"
#include "protocol/cameramodel.h"
#include "support/clsimfixture.h"
#include "support/recordinghost.h"
#include "support/tempconfig.h"
#include "transport/seriallink.h"

namespace vela::test {
namespace {

using Dlg = CCommunicationDialog;

// Writes the settings a previous run left, before anything in this process reads them.
void SaveSettings(std::initializer_list<std::pair<int, std::uint32_t>> values) {
    RegStore store("HKEY_LOCAL_MACHINE\\Software\\Corvane\\VELA-4K Control Tool");
    store.CreateKey();
    for (const auto& [id, value] : values) {
        RegStore::Value v;
        v.dword = value;
        store.Set(RegistrySettings::ValueName(id), v);
    }
    WriteFile(RegistrySettings::DefaultFilePath(), store.Serialize());
}

class CommunicationLibraryTest : public ClSimTest {
  protected:
    void SetUp() override {
        ClSimTest::SetUp();
        InstallTwoBoards();
    }
    void TearDown() override {
        comm.reset();
        ClSimTest::TearDown();
    }
    void CreateWindow() {
        comm = std::make_unique<CCommunicationDialog>(host);
        comm->Create();
    }
    QComboBox* Combo(int ctrlId) { return qobject_cast<QComboBox*>(comm->ControlById(ctrlId)); }
    void Choose(int ctrlId, int index) {
        Combo(ctrlId)->setCurrentIndex(index);
        emit Combo(ctrlId)->activated(index);
    }
    int Count(const std::string& text) {
        int n = 0;
        for (const std::string& t : m_prompt.texts()) n += t == text ? 1 : 0;
        return n;
    }

    void StartMainWindowOn(int kind) {
        SaveSettings({{PreviousShutdownStatus, 1}, {CommunicationMode, static_cast<std::uint32_t>(kind)}});
        auto dlg = std::make_unique<CCtrlToolDlg>();
        dlg->OnInitDialog();
        EXPECT_EQ(SerialLink::Instance().GetKind(), kind);
        EXPECT_EQ(Count("Failed to initialize!"), 0);
        EXPECT_EQ(CameraModel::Instance().Name(), "VELA-4K-MONO");
        EXPECT_TRUE(OnlineStatusRegistry::Instance().IsOnline());
        auto* ports = qobject_cast<QComboBox*>(dlg->CommunicationDialog()->ControlById(Dlg::kPortList));
        EXPECT_EQ(ports->count(), 2);
    }

    RecordingHost host;
    std::unique_ptr<CCommunicationDialog> comm;
};

TEST_F(CommunicationLibraryTest, AutoOnAKindWithThreePortsStillTriesIndicesThreeToFifteen) {
    ::setenv("VELA_CLSIM_PORTS", "3", 1);
    ::setenv("VELA_CLSIM_CAMERA_BAUD", "19200", 1);  // no camera answers at 9600
    SaveSettings({{PreviousShutdownStatus, 1}, {CommunicationMode, CameraLinkVer11}});
    CreateWindow();
    EXPECT_EQ(Combo(Dlg::kCategoryList)->currentIndex(), CameraLinkVer11);
    EXPECT_EQ(Combo(Dlg::kPortList)->count(), 3);
    TakeTrace();

    comm->OnAuto();
    const std::vector<std::string> trace = TakeTrace();
    for (int index = 0; index < 16; ++index) {
        EXPECT_TRUE(Contains(trace, "libclallserial.so clSerialInit " + std::to_string(index))) << index;
    }
    EXPECT_FALSE(Contains(trace, "clSerialInit 16"));
    EXPECT_EQ(
        Count("No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection."),
        1);
    EXPECT_EQ(SerialLink::Instance().GetPortIndex(), 15);
    EXPECT_EQ(host.reads, 0);
}

TEST_F(CommunicationLibraryTest, ARememberedIndexBeyondTheListOpensPortZero) {
    SaveSettings(
        {{PreviousShutdownStatus, 1}, {CommunicationMode, CameraLinkVer11}, {CameraLinkVer11DllIndex, 5}});
    CreateWindow();
    EXPECT_TRUE(Contains(TakeTrace(), "libclallserial.so clSerialInit 0"));
    EXPECT_EQ(Combo(Dlg::kPortList)->count(), 2);
    EXPECT_EQ(Combo(Dlg::kPortList)->currentIndex(), 0);
    EXPECT_EQ(SerialLink::Instance().GetPortIndex(), 0);
}

TEST_F(CommunicationLibraryTest, AKindNotYetListedFailsToOpenThenListsItsPortsAndAPortChoiceOpens) {
    SaveSettings({{PreviousShutdownStatus, 1}});
    CreateWindow();
    EXPECT_EQ(Combo(Dlg::kCategoryList)->currentIndex(), ComPortKind);

    Choose(Dlg::kCategoryList, CameraLink2000);
    EXPECT_EQ(Count("Failed to initialize!"), 1);
    ASSERT_EQ(Combo(Dlg::kPortList)->count(), 2);
    EXPECT_EQ(Combo(Dlg::kPortList)->itemText(0).toStdString().find("libclser"), 0u);
    EXPECT_EQ(host.reads, 0);

    m_prompt.clear();
    Choose(Dlg::kPortList, 1);
    EXPECT_TRUE(Contains(TakeTrace(), "libclserB.so clSerialInit"));
    EXPECT_EQ(host.reads, 1);
    EXPECT_TRUE(m_prompt.entries().empty()) << m_prompt.texts().front();
}

TEST_F(CommunicationLibraryTest, ARunAfterACrashStartsOnTheComPortKind) {
    SaveSettings({{PreviousShutdownStatus, 0}, {CommunicationMode, CameraLink2001}});
    CreateWindow();
    EXPECT_EQ(SerialLink::Instance().GetKind(), ComPortKind);
    EXPECT_EQ(Combo(Dlg::kCategoryList)->currentIndex(), ComPortKind);
}

// The window's initialisation lists the kind's ports before the main window first opens
// the link; without that list the 2000 and 2001 kinds cannot open.
TEST_F(CommunicationLibraryTest, ARunOnThe2000KindConnectsAtStartUp) {
    StartMainWindowOn(CameraLink2000);
}

TEST_F(CommunicationLibraryTest, ARunOnThe2001KindConnectsAtStartUp) {
    StartMainWindowOn(CameraLink2001);
}

}  // namespace
}  // namespace vela::test
