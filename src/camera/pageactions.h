#pragma once

#include <optional>
#include <string>

#include "camera/actionmessage.h"

namespace vela {

class CameraModel;
class Command;

// The one-off camera actions behind the page push buttons, without widgets. Results are
// 1 for success and 0 for failure; a failed read leaves its output as it was.

// ARMIN: the shortest line period the camera can run at.
int ReadLineRateMinimum(Command& command, int& value);

// PEMAX, then PEMIN, each read whatever became of the other.
struct ExposureLimits {
    std::optional<int> maximum;
    std::optional<int> minimum;
};
ExposureLimits ReadExposureLimits(Command& command);

// TMP0: the temperature of the sensor that TMPS0 selects.
int ReadTemperature(Command& command, int& value);

// AR=0 (its answer unchecked), then LR into the value store. 1 and the new line period
// when LR answered.
int RunOnePushLineRate(Command& command, int& lineRate);

// LUTI=index (its answer unchecked), then LUTD into the value store, and a snapshot.
int ReadLutEntry(Command& command, int index, int& data);
// LUTI=index, LUTD=data; answers unchecked: the transactions report refusals.
void WriteLutEntry(Command& command, int index, int data);

// The XML version a.b.c travels as 100 a + 10 b + c. The value of the three fields is
// their first characters run together, read as a decimal number; 0 when that does not
// start with a digit. An empty field adds nothing ("4", "", "7" gives 47).
int XmlVersionFromFields(const std::string& first, const std::string& second, const std::string& third);
struct XmlVersionDigits {
    int first = 0;
    int second = 0;
    int third = 0;
};
XmlVersionDigits SplitXmlVersion(int value);
ActionMessage WriteXmlVersion(Command& command, int value);
int ReadXmlVersion(Command& command, int& value);

// MD00 with the name of model `index` (0-3), then MD again so the tool knows the new
// identity. An index without a model writes nothing.
ActionMessage WriteCameraModel(Command& command, CameraModel& model, int index);

// CRS00=1. The camera restarts; its answer is not waited for beyond a second.
void ResetCamera(Command& command);

}  // namespace vela
