#pragma once

#include <cstdint>
#include <functional>

#include "camera/actionmessage.h"

namespace vela {

class Command;

// The shading, pixel gain and pixel black recalibrations, in the user and factory areas.
enum class RecalibrationKind {
    ShadingUser,
    PixelGainUser,
    PixelBlackUser,
    ShadingFactory,
    PixelGainFactory,
    PixelBlackFactory
};

struct Recalibration {
    int startCmdId;
    int statusCmdId;
    int startTimeoutMs;
    const char* caption;  // of the result box
};

const Recalibration& RecalibrationOf(RecalibrationKind kind);

// The result box's text for a status the camera reported: "Succeeded", "Too Bright", ...
const char* RecalibrationStatusText(int status);

struct RecalibrationTiming {
    int pollIntervalMs = 1000;
    int statusTimeoutMs = 5000;
    // A camera that reports "still running" this long is given up on: the tool must never
    // wait for ever.
    std::uint32_t giveUpAfterMs = 10 * 60 * 1000;
};

enum class RecalibrationOutcome {
    Finished,      // the camera reported a result
    NoAnswer,      // a status read failed
    StillRunning,  // the status was still 0 when the time ran out
    Stopped        // the run was asked to end while waiting
};

struct RecalibrationResult {
    RecalibrationOutcome outcome = RecalibrationOutcome::NoAnswer;
    int status = 0;
    int statusReads = 0;
};

// Waits `ms` milliseconds. The window keeps its message queue drained meanwhile so it
// repaints; a command-line caller just sleeps.
using RecalibrationPause = std::function<void(int ms)>;

// Starts the recalibration (the start write's answer is not checked: the status tells),
// then reads the status once per poll interval until it is not 0. Shows the wait cursor
// throughout; shows no box.
RecalibrationResult RunRecalibration(Command& command, const Recalibration& recalibration,
                                     const RecalibrationPause& pause, const RecalibrationTiming& timing = {});

// The box that reports `result`, captioned with the recalibration's name.
ActionMessage RecalibrationMessage(const Recalibration& recalibration, const RecalibrationResult& result);

inline constexpr const char* kRecalibrationNoAnswer =
    "No answer from the camera while waiting for the result.";
// The camera kept answering, but still with "running" when the tool stopped waiting.
inline constexpr const char* kRecalibrationStillRunning =
    "The camera still reports the recalibration as running; the tool has stopped waiting for the result.";

}  // namespace vela
