#include "camera/pageactions.h"

#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"
#include "protocol/controlids.h"

namespace vela {
namespace {

constexpr int kLimitTimeoutMs = 5000;
constexpr int kTemperatureTimeoutMs = 500;
constexpr int kOnePushTimeoutMs = 20000;
constexpr int kLineRateTimeoutMs = 5000;
constexpr int kLutEntryTimeoutMs = 1000;
constexpr int kXmlWriteTimeoutMs = 10000;
constexpr int kXmlReadTimeoutMs = 5000;
constexpr int kModelWriteTimeoutMs = 10000;
constexpr int kResetTimeoutMs = 1000;

// ReadValue hands out 0 when the query fails; the caller's value must survive that.
int ReadInto(Command& command, int cmdId, int& value, int timeoutMs) {
    int read = 0;
    if (command.ReadValue(cmdId, read, timeoutMs) != 1) return 0;
    value = read;
    return 1;
}

std::optional<int> ReadOptional(Command& command, int cmdId) {
    int value = 0;
    if (ReadInto(command, cmdId, value, kLimitTimeoutMs) != 1) return std::nullopt;
    return value;
}

}  // namespace

int ReadLineRateMinimum(Command& command, int& value) {
    return ReadInto(command, kCmdARMIN, value, kLimitTimeoutMs);
}

ExposureLimits ReadExposureLimits(Command& command) {
    ExposureLimits limits;
    limits.maximum = ReadOptional(command, kCmdPEMAX);
    limits.minimum = ReadOptional(command, kCmdPEMIN);
    return limits;
}

int ReadTemperature(Command& command, int& value) {
    return ReadInto(command, kCmdTMP0, value, kTemperatureTimeoutMs);
}

int RunOnePushLineRate(Command& command, int& lineRate) {
    command.WriteValue(kCmdAR, 0, kOnePushTimeoutMs);
    if (ReadInto(command, kCmdLR, lineRate, kLineRateTimeoutMs) != 1) return 0;
    command.SetDataValue(ctl::kLineRate, lineRate);
    return 1;
}

int ReadLutEntry(Command& command, int index, int& data) {
    command.WriteValue(kCmdLUTI, index, kLutEntryTimeoutMs);
    if (ReadInto(command, kCmdLUTD, data, kLutEntryTimeoutMs) != 1) return 0;
    command.SetDataValue(ctl::kLutData, data);
    command.SaveDataValues();
    return 1;
}

void WriteLutEntry(Command& command, int index, int data) {
    command.WriteValue(kCmdLUTI, index, kLutEntryTimeoutMs);
    command.WriteValue(kCmdLUTD, data, kLutEntryTimeoutMs);
}

int XmlVersionFromFields(const std::string& first, const std::string& second, const std::string& third) {
    int value = 0;
    for (const std::string* field : {&first, &second, &third}) {
        if (field->empty()) continue;
        const char c = field->front();
        // A sign or a letter ends the number as it would end any other decimal text.
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

XmlVersionDigits SplitXmlVersion(int value) {
    return {value / 100, (value % 100) / 10, value % 10};
}

ActionMessage WriteXmlVersion(Command& command, int value) {
    if (command.WriteValue(kCmdXMLVR, value, kXmlWriteTimeoutMs) == 1) {
        return {"Writing the XML Version has been completed.", PromptIcon::Information};
    }
    return {"Couldn't write the XML Version.", PromptIcon::Stop};
}

int ReadXmlVersion(Command& command, int& value) {
    return ReadInto(command, kCmdXMLVR, value, kXmlReadTimeoutMs);
}

ActionMessage WriteCameraModel(Command& command, CameraModel& model, int index) {
    const ActionMessage failed{"Failed writting camera model id.", PromptIcon::Stop};
    const std::string name = CameraModel::ModelName(index);
    if (name.empty()) return failed;
    if (command.WriteString(kCmdMD00, name, kModelWriteTimeoutMs) != 1) return failed;
    model.Read();
    return {"Succeeded in writting camera model id.", PromptIcon::Information};
}

void ResetCamera(Command& command) {
    command.WriteValue(kCmdCRS00, 1, kResetTimeoutMs);
}

}  // namespace vela
