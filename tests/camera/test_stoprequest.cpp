// A stop request (a signal) ends each long operation at its next transaction boundary: the
// line on the wire is answered, nothing more is sent, and no box is shown.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>

#include "app/configpaths.h"
#include "camera/flashareas.h"
#include "camera/luttransfer.h"
#include "camera/parameterreader.h"
#include "camera/recalibration.h"
#include "camera/settingfile.h"
#include "platform/stoprequest.h"
#include "support/camerafixture.h"
#include "support/tempconfig.h"
#include "transport/commandlog.h"

namespace vela {
namespace {

// Makes the stop request as the `n`th line goes out, as a signal in the middle of a wait.
class StopAtLine final : public CommandLogSink {
  public:
    StopAtLine(int n, CommandLog& log) : m_left(n), m_log(log) { m_log.Join(this); }
    ~StopAtLine() override {
        m_log.Leave(this);
        ClearStopRequest();
    }
    void OnLogLine(const std::string& line) override {
        if (line.rfind("Tx: ", 0) == 0 && --m_left == 0) RequestStop(SIGTERM);
    }

  private:
    int m_left;
    CommandLog& m_log;
};

struct NoLutProgress : LutTransferProgress {
    void Start(const std::string&) override {}
    void SetMessage(const std::string&) override {}
    void SetPos(int) override {}
    void Finish() override {}
    void EntryDone() override {}
};

class StopRequestTest : public test::CameraTest {};

TEST_F(StopRequestTest, LongOperationsEndOnceTheLineOnTheWireIsAnswered) {
    Connect();
    const std::string file = ConfigDir() + "/four.cam";
    test::WriteFile(file, "GA=120\r\nBL=3\r\nGA=130\r\nBL=4\r\n");
    LutTable table{};
    NoLutProgress lut;
    const struct {
        const char* name;
        std::function<void()> run;
    } operations[] = {
        {"whole read", [&] { ReadParameterRows(command, model, 1, progress); }},
        {"LUT read", [&] { EXPECT_EQ(ReadLutTable(command, table, lut), 0); }},
        {"LUT write", [&] { EXPECT_EQ(WriteLutTable(command, table, lut, LutWriteFailure::RunToEnd), 1); }},
        {"setting file", [&] { LoadSettingFile(file, command, model, 0, progress); }},
        {"Store All", [&] { EXPECT_EQ(StoreAllAreas(command), 2); }},
        {"recalibration wait",
         [&] {
             const RecalibrationResult r = RunRecalibration(
                 command, RecalibrationOf(RecalibrationKind::ShadingUser), [](int) {},
                 RecalibrationTiming{0});
             EXPECT_EQ(r.outcome, RecalibrationOutcome::Stopped);
         }},
    };
    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.name);
        camera->ClearLines();
        {
            StopAtLine stop(2, link.Log());
            operation.run();
        }
        EXPECT_EQ(camera->ReceivedLines().size(), 2u);
        EXPECT_EQ(camera->SentLines().size(), 2u);
    }
    EXPECT_TRUE(prompt.entries().empty());
}

}  // namespace
}  // namespace vela
