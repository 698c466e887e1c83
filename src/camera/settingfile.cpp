#include "camera/settingfile.h"

#include <sys/stat.h>

#include "camera/parameterreader.h"
#include "platform/atomicfile.h"
#include "platform/stoprequest.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {
namespace {

ActionReport FileError(const std::string& path, const char* what, const char* caption) {
    return {Result::FileError(path, what), {{path + "\n" + what, PromptIcon::Exclamation, caption}}};
}

ActionReport FileOpenError(const std::string& path) {
    return FileError(path, "Couldn't open this file", "File Open Error");
}

const ControlEntry* RowOfCommand(int cmdId) {
    // What a row is (its control, group and file flag) never changes: the table as it
    // starts answers it, whichever engine's values the line is for.
    static const std::vector<ControlEntry> rows = InitialControlRows();
    for (const ControlEntry& row : rows) {
        if (row.cmdId == cmdId) return &row;
    }
    return nullptr;
}

bool IsFactoryMode(int controlMode) {
    return controlMode == 1;
}

}  // namespace

std::vector<std::string> SettingFileLines(Command& command, CameraModel& model, int controlMode,
                                          SettingFileKind kind) {
    std::vector<std::string> lines;
    const bool allData = kind == SettingFileKind::AllData;
    if (allData) {
        if (IsFactoryMode(controlMode)) {
            model.Read();
            // A failed query keeps the model of an earlier one, and with it the line.
            if (model.IsSupported()) lines.push_back("MD00=" + model.Name());
        }
        std::string version;
        if (command.ReadString(kCmdDV, version, kDeviceVersionTimeoutMs)) lines.push_back("DV=" + version);
    }
    for (const ControlEntry& row : command.Rows()) {
        if (allData && row.group == Factory && !IsFactoryMode(controlMode)) continue;
        if (row.file != 1) continue;
        lines.push_back(std::string(g_commandTable[row.cmdId].name) + "=" + std::to_string(row.value));
    }
    return lines;
}

ActionReport SaveSettingFile(const std::string& path, SettingFileKind kind, Command& command,
                             CameraModel& model, int controlMode) {
    AtomicFile file;
    if (!file.Open(path)) return FileOpenError(path);
    std::string content;
    for (const std::string& line : SettingFileLines(command, model, controlMode, kind))
        content += line + "\r\n";
    if (!file.Write(content) || !file.Commit())
        return FileError(path, "Couldn't write this file", "File Write Error");
    return {};
}

bool SettingFileLineReader::Next(std::string& piece) {
    piece.clear();
    while (piece.size() < kMaxPiece) {
        int c = std::getc(m_file);
        if (c == EOF) break;
        if (c == '\r') {
            const int next = std::getc(m_file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, m_file);
            }
        }
        piece += static_cast<char>(c);
        if (c == '\n') break;
    }
    return !piece.empty();
}

long SettingFileLineReader::Count(std::FILE* file) {
    SettingFileLineReader reader(file);
    std::string piece;
    long count = 0;
    while (reader.Next(piece)) ++count;
    return count;
}

SettingLineAction ClassifySettingLine(const std::string& line, int controlMode) {
    SettingLineAction action;
    ParsedLine parsed;
    // A query line carries no value; applying it would write a made-up 0.
    if (!Command::ParseLine(line, parsed) || parsed.op != '=') return action;
    action.cmdId = parsed.cmdId;
    action.value = parsed.value.integerValue;
    action.text = parsed.value.text;
    if (parsed.name == "MD00") {
        action.kind = SettingLineAction::Model;
        return action;
    }
    if (parsed.name == "DV") {
        action.kind = SettingLineAction::DeviceVersion;
        return action;
    }
    const ControlEntry* row = RowOfCommand(parsed.cmdId);
    if (!row) {
        action.kind = SettingLineAction::NoControl;
        return action;
    }
    action.ctrlId = row->ctrlId;
    if (row->group == Factory && !IsFactoryMode(controlMode)) return action;
    if (row->file != 1) return action;
    action.kind = SettingLineAction::Value;
    return action;
}

namespace {

// 1 when `write` put its line on the wire (whatever the answer), 0 when it was not sent.
// A line the camera did not take goes into `failures`, when given.
template <class Write>
int SentOne(Command& command, std::vector<Result>* failures, Write write) {
    const std::uint64_t before = command.LinesWritten();
    write();
    if (failures && !command.LastResult().Ok()) failures->push_back(command.LastResult());
    return command.LinesWritten() != before ? 1 : 0;
}

}  // namespace

ActionReport LoadSettingFile(const std::string& path, Command& command, CameraModel& model, int controlMode,
                             ParameterReadProgress& progress, int* linesSent, std::vector<Result>* failures) {
    int sent = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    struct stat st {};
    // A folder opens for reading on Linux but is no file.
    if (file && (::fstat(::fileno(file), &st) != 0 || S_ISDIR(st.st_mode))) {
        std::fclose(file);
        file = nullptr;
    }
    if (!file) return FileOpenError(path);
    const long long total = SettingFileLineReader::Count(file);
    std::rewind(file);

    progress.Start(kLoadingSettingFileMessage);
    SettingFileLineReader reader(file);
    std::string piece;
    for (long long k = 0; !StopRequested() && reader.Next(piece); ++k) {
        // The file may have grown since it was counted.
        progress.SetPos(total > 0 && k < total ? static_cast<int>(100 * k / total) : 100);
        progress.DrainMessages();
        const SettingLineAction action = ClassifySettingLine(piece, controlMode);
        switch (action.kind) {
            case SettingLineAction::Skip:
            case SettingLineAction::DeviceVersion:
                break;
            case SettingLineAction::Model:
                sent += SentOne(command, failures, [&] {
                    command.WriteString(kCmdMD00, action.text, kSettingFileModelTimeoutMs);
                });
                model.Read();
                break;
            case SettingLineAction::NoControl:
                command.ToCtrlId(action.cmdId);  // shows why the line is skipped
                break;
            case SettingLineAction::Value:
                // Taken over even when the camera refuses it, so the pages show the file.
                sent += SentOne(command, failures, [&] {
                    command.WriteValue(action.cmdId, action.value, kSettingFileValueTimeoutMs);
                });
                command.SetDataValue(action.ctrlId, action.value);
                break;
        }
    }
    std::fclose(file);
    command.SaveDataValues();
    progress.Finish();
    if (linesSent) *linesSent = sent;
    return {};
}

}  // namespace vela
