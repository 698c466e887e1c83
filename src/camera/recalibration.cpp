#include "camera/recalibration.h"

#include <array>
#include <cstddef>

#include "platform/clock.h"
#include "platform/stoprequest.h"
#include "platform/waitcursor.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {
namespace {

// In RecalibrationKind order.
constexpr std::array<Recalibration, 6> kRecalibrations{{
    {kCmdSDR, kCmdSDS, 20000, "Recalibrate FFC (User)"},
    {kCmdPGR, kCmdPGS, 100000, "Recalibrate Pixel Gain (User)"},
    {kCmdPBR, kCmdPBS, 100000, "Recalibrate Pixel Black (User)"},
    {kCmdSDR00, kCmdSDS00, 100000, "Recalibrate FFC (Factory)"},
    {kCmdPGR00, kCmdPGS00, 100000, "Recalibrate Pixel Gain (Factory)"},
    {kCmdPBR00, kCmdPBS00, 100000, "Recalibrate Pixel Black (Factory)"},
}};

}  // namespace

const Recalibration& RecalibrationOf(RecalibrationKind kind) {
    return kRecalibrations[static_cast<std::size_t>(kind)];
}

const char* RecalibrationStatusText(int status) {
    switch (status) {
        case 1:
            return "Succeeded";
        case 2:
            return "Too Bright";
        case 3:
            return "Too Dark";
        case 4:
            return "Timeout Error";
        default:
            return "Unknown Result";
    }
}

RecalibrationResult RunRecalibration(Command& command, const Recalibration& recalibration,
                                     const RecalibrationPause& pause, const RecalibrationTiming& timing) {
    WaitCursorScope cursor;
    command.WriteValue(recalibration.startCmdId, 0, recalibration.startTimeoutMs);

    RecalibrationResult result;
    const std::uint32_t start = TickCount();
    for (;;) {
        pause(timing.pollIntervalMs);
        if (StopRequested()) {
            result.outcome = RecalibrationOutcome::Stopped;
            return result;
        }
        int status = 0;
        ++result.statusReads;
        if (command.ReadValue(recalibration.statusCmdId, status, timing.statusTimeoutMs) != 1) {
            result.outcome = RecalibrationOutcome::NoAnswer;
            return result;
        }
        if (status != 0) {
            result.outcome = RecalibrationOutcome::Finished;
            result.status = status;
            return result;
        }
        if (ElapsedMs(start) >= timing.giveUpAfterMs) {
            result.outcome = RecalibrationOutcome::StillRunning;
            return result;
        }
    }
}

ActionMessage RecalibrationMessage(const Recalibration& recalibration, const RecalibrationResult& result) {
    if (result.outcome == RecalibrationOutcome::Finished) {
        return {RecalibrationStatusText(result.status), PromptIcon::None, recalibration.caption};
    }
    const char* text = result.outcome == RecalibrationOutcome::StillRunning ? kRecalibrationStillRunning
                                                                            : kRecalibrationNoAnswer;
    return {text, PromptIcon::Exclamation, recalibration.caption};
}

}  // namespace vela
