#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "camera/actionmessage.h"

namespace vela {

class CameraModel;
class Command;
class ParameterReadProgress;

// Camera setting files (*.cam): "NAME=value" lines in control-table order, each ended by
// CR LF on every platform so that a file is the same bytes wherever it was written.
enum class SettingFileKind {
    AllData,       // the rows of the current control mode, after the model and device-version lines
    ShippingData,  // every file row of both groups, nothing in front
};

inline constexpr const char* kLoadingSettingFileMessage = "Now, reading camera setting file.";
inline constexpr int kSettingFileValueTimeoutMs = 5000;
inline constexpr int kSettingFileModelTimeoutMs = 1000;
inline constexpr int kDeviceVersionTimeoutMs = 5000;

// The lines of a file of `kind`, without line ends. For AllData it asks the camera: MD
// (factory mode only; the line needs an identified model) and DV (the line carries the
// version text as the camera answered it). Values come from the control table.
std::vector<std::string> SettingFileLines(Command& command, CameraModel& model, int controlMode,
                                          SettingFileKind kind);

// Writes the file. An existing file is replaced only once the new one is complete on
// disk. A file error, with its "File Open Error" message when the file cannot be created
// or its "File Write Error" message when it could not be written whole (the old file is
// kept).
ActionReport SaveSettingFile(const std::string& path, SettingFileKind kind, Command& command,
                             CameraModel& model, int controlMode);

// Applies a file line by line in file order; every line waits for the camera's answer.
// Ok when the file could be opened (whatever became of its lines); a file error with its
// "File Open Error" message otherwise. The caller refreshes its pages afterwards; the values are saved as the
// snapshot here.
// `linesSent`, when given, counts the lines written to the camera; `failures`, when given,
// gets the result of each line the camera refused or did not answer, in file order. A stop
// request ends the apply before the next line.
ActionReport LoadSettingFile(const std::string& path, Command& command, CameraModel& model, int controlMode,
                             ParameterReadProgress& progress, int* linesSent = nullptr,
                             std::vector<Result>* failures = nullptr);

// Reads a text file the way the loader does: lines of at most 255 characters, a longer
// line coming in several pieces. CR LF counts as one line end; a lone CR is a character.
class SettingFileLineReader {
  public:
    static constexpr std::size_t kMaxPiece = 255;

    explicit SettingFileLineReader(std::FILE* file) : m_file(file) {}
    // The next piece with its LF, if it has one; false at the end of the file.
    bool Next(std::string& piece);
    // Counts the pieces from the current position to the end.
    static long Count(std::FILE* file);

  private:
    std::FILE* m_file;
};

// What the loader does with one line.
struct SettingLineAction {
    enum Kind {
        Skip,           // does not parse, an unknown name, or a row the mode or file flag excludes
        Model,          // MD00: write the text, then read the model again
        DeviceVersion,  // DV: the camera's version is not written from a file
        NoControl,      // a command bound to no control: the lookup's message, then skip
        Value,          // write the value and take it into the control table
    };
    Kind kind = Skip;
    int cmdId = -1;
    int ctrlId = -1;
    int value = 0;
    std::string text;
};
SettingLineAction ClassifySettingLine(const std::string& line, int controlMode);

}  // namespace vela
