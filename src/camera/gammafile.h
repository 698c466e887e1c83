#pragma once

#include <array>
#include <string>
#include <string_view>

#include "camera/actionmessage.h"
#include "camera/luttable.h"

namespace vela {

// The tables of the three LUT editors (red, green, blue; the monochrome table is the
// second), as the gamma file reader and writer see them.
using LutTableRefs = std::array<LutTable*, 3>;

inline constexpr const char* kGammaFileExtension = "csv";
inline constexpr const char* kGammaMonoHeader = "GammaData";
inline constexpr const char* kGammaRgbHeader = "GammaData (R G B)";
inline constexpr const char* kGammaCountFormatMessage = "Invaild data count format";
inline constexpr const char* kGammaTooManyMessage = "Too many data";

// The file's text: a header line, then one line per entry; the second table alone for a
// supported (monochrome) model, else the three tables separated by commas. Every line
// ends in CR LF.
std::string FormatGammaFile(bool supportedModel, const LutTableRefs& tables);

// Replaces `path` whole with FormatGammaFile (an old file stays as it was when that
// fails). A file error with the message path + "\nCouldn't open this file" when it
// could not be written.
ActionReport WriteGammaFile(const std::string& path, bool supportedModel, const LutTableRefs& tables);

// Reads a gamma file's text into the tables. The first line is dropped. Each further
// line (read in pieces of at most 126 characters, CR LF counting as one line end) fills
// one entry: its first number goes to table 1, a number after a comma to table 2, and
// table 0 gets 0; characters other than digits and commas are skipped, an empty number
// is 0 and a number above 4095 is stored as 4095 (reported once per file). A second
// comma on a line, or a 257th data line, ends the read with a file error and its message;
// the entries read before it stay. Ok when the whole text was read.
ActionReport ReadGammaData(std::string_view text, const LutTableRefs& tables);

// ReadGammaData on the file's content; a file error with the message
// path + "\nCouldn't open this file" when it cannot be read.
ActionReport ReadGammaFile(const std::string& path, const LutTableRefs& tables);

}  // namespace vela
