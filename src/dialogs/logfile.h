#pragma once

#include <functional>
#include <string>

namespace vela {

// What a log window's save dialog shows.
struct LogFileDialog {
    std::string title;
    std::string extension;  // without the dot: "csv"
    std::string filter;     // Qt-style name filter
    // The Communication window's failed dialog names the return code; the terminal's does not.
    bool errorNamesReturnCode = true;
};

// The save flow both log windows share: the save dialog in the remembered log folder
// (initial name "*.<extension>"), the question before a file is replaced, the log's text
// (asked for once both are answered, so lines logged meanwhile are in it) written whole (a failed save keeps
// the file that was there), "File open error !" or "File write error !" when it could not be, and the chosen
// folder remembered whether or not the file was written. True only when the file was written; the window then
// notes it in its list.
bool SaveLogAs(const LogFileDialog& dialog, const std::function<std::string()>& text);

}  // namespace vela
