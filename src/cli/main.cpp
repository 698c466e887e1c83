// vela-cli: the camera from scripts and production lines, without a window.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/registrysettings.h"
#include "camera/baudprobe.h"
#include "camera/camerasession.h"
#include "camera/flashareas.h"
#include "camera/gammafile.h"
#include "camera/luttransfer.h"
#include "camera/parameterreader.h"
#include "camera/scriptsession.h"
#include "camera/settingfile.h"
#include "cli/jsonout.h"
#include "cli/names.h"
#include "cli/options.h"
#include "platform/prompt.h"
#include "platform/stoprequest.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"
#include "protocol/valuetext.h"
#include "transport/commandlog.h"
#include "transport/comport.h"
#include "transport/linkkind.h"
#include "transport/seriallink.h"

namespace vela::cli {
namespace {

// Every line that crosses the link, on stderr (-v).
class VerboseLog final : public CommandLogSink {
  public:
    explicit VerboseLog(bool print) : m_print(print) {
        if (m_print) CommandLog::Instance().Join(this);
    }
    ~VerboseLog() override {
        if (m_print) CommandLog::Instance().Leave(this);
    }
    void OnLogLine(const std::string& line) override { std::fprintf(stderr, "%s\n", line.c_str()); }

  private:
    bool m_print;
};

// Prints boxes as "caption: text" lines; -q silences them. Answers no question. What
// went wrong is taken from the engine's results, never from these texts.
class TextPrompt final : public Prompt {
  public:
    explicit TextPrompt(bool quiet) : m_quiet(quiet) { Prompt::Install(this); }
    ~TextPrompt() override { Prompt::Install(nullptr); }
    void SetCommand(const Command* command) { m_command = command; }
    PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon,
                      PromptButtons buttons) override {
        // A transaction's box names the answer; a script also needs the line it answered.
        const std::string sent =
            caption == "Communication Error" && m_command ? " (sent " + m_command->LastSent() + ")" : "";
        if (!m_quiet)
            std::fprintf(stderr, "vela-cli: %s: %s%s\n", caption.c_str(), text.c_str(), sent.c_str());
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }

  private:
    bool m_quiet;
    const Command* m_command = nullptr;
};

// A progress bar on stderr, drawn only when stderr is a terminal. It counts the LUT
// entries done, so that a failed transfer can say where it stopped.
class TextProgress final : public ParameterReadProgress, public LutTransferProgress {
  public:
    explicit TextProgress(bool quiet) : m_show(!quiet && ::isatty(2) == 1) {}
    void Start(const std::string& message) override {
        m_message = message;
        SetPos(0);
    }
    void SetMessage(const std::string& message) override { m_message = message; }
    void SetPos(int percent) override {
        if (!m_show) return;
        const int filled = percent * 30 / 100;
        const std::string line = m_message + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                                 std::string(static_cast<std::size_t>(30 - filled), ' ') + "] " +
                                 std::to_string(percent) + "%";
        if (line == m_line) return;
        m_line = line;
        std::fprintf(stderr, "\r%s", line.c_str());
    }
    void Finish() override {
        if (m_show && !m_line.empty()) std::fprintf(stderr, "\n");
        m_line.clear();
    }
    void DrainMessages() override {}
    void EntryDone() override { ++m_entries; }
    int Entries() const { return m_entries; }

  private:
    bool m_show;
    int m_entries = 0;
    std::string m_message;
    std::string m_line;  // what the terminal shows now
};

class Session {
  public:
    Session(const Options& o, TextPrompt& prompt)
        : m_options(o),
          m_prompt(prompt),
          m_camera(DefaultLibraryChannel(CameraLink2000), DefaultLibraryChannel(CameraLink2001),
                   DefaultLibraryChannel(CameraLinkVer11)) {
        // The window's choices are the defaults; the settings file is only read.
        const std::string file = RegistrySettings::DefaultFilePath();
        m_kind =
            o.kind >= 0 ? o.kind : RegistrySettings::PeekInt(file, CommunicationMode).value_or(ComPortKind);
        static const int kIndexSetting[] = {ComPortNo, CameraLink2000DllIndex, CameraLink2001DllIndex,
                                            CameraLinkVer11DllIndex};
        m_port = o.portIndex >= 0 ? o.portIndex
                                  : (IsValidLinkKind(m_kind)
                                         ? RegistrySettings::PeekInt(file, kIndexSetting[m_kind]).value_or(0)
                                         : 0);
        m_controlMode = o.factory ? 1 : RegistrySettings::PeekInt(file, ControlModeSetting).value_or(0);
        m_camera.command.SetFastAnswers(o.fast);
        prompt.SetCommand(&m_camera.command);
    }
    ~Session() {
        m_prompt.SetCommand(nullptr);
        m_camera.link.Close();
    }

    // Opens the link and finds the camera: at the given rate, or by the window's search.
    // kDone, or kNoAnswer after a message.
    int Connect() {
        if (!IsValidLinkKind(m_kind)) {
            Message("the link kind in the settings is not valid; use --kind");
            return kUsage;
        }
        const Result r = ConnectCamera(m_camera, m_kind, m_port, m_options.baudRate);
        switch (r.kind) {
            case Result::Kind::Done:
                return kDone;
            case Result::Kind::Stopped:
                return Stopped(r.sent.empty() ? "before the port was open" : "before the camera answered");
            case Result::Kind::PortError:
                Message(r.reason + (m_kind == ComPortKind ? " (reason above)" : ""));
                return kNoAnswer;
            default:
                Message("no answer from the camera on " + PortName());
                return kNoAnswer;
        }
    }

    // The exit code of a failed transaction: an answer that was not the expected one is
    // a refusal, none at all is silence.
    int Failure(const std::string& what) const {
        const Result& last = m_camera.command.LastFailure();
        if (last.kind == Result::Kind::Stopped || StopRequested()) return Stopped("before " + what);
        if (last.kind != Result::Kind::Refused) {
            Message("no answer from the camera to " + what);
            return kNoAnswer;
        }
        Message("the camera refused " + what + ": " + last.answer);
        return kRefused;
    }
    // How many transactions have failed so far.
    int Failures() const { return m_camera.command.FailedTransactions(); }

    // A run ended by a signal: what was done, and 128 + the signal's number.
    int Stopped(const std::string& done) const {
        Message("stopped by " + SignalName(StopSignal()) + (done.empty() ? "" : ": " + done));
        return 128 + StopSignal();
    }

    void Message(const std::string& text) const {
        if (!m_options.quiet) std::fprintf(stderr, "vela-cli: %s\n", text.c_str());
    }
    std::string PortName() const { return PortNameOf(m_kind, m_port); }

    const Options& options() const { return m_options; }
    CameraSession& camera() { return m_camera; }
    SerialLink& link() { return m_camera.link; }
    Command& command() { return m_camera.command; }
    CameraModel& model() { return m_camera.model; }
    int controlMode() const { return m_controlMode; }
    int timeout() const { return m_options.timeoutMs; }

  private:
    const Options& m_options;
    TextPrompt& m_prompt;
    CameraSession m_camera;
    int m_kind = ComPortKind;
    int m_port = 0;
    int m_controlMode = 0;
};

// Names the user typed: each must be a command; unknown ones end the run with suggestions.
bool ResolveNames(const Session& s, const std::vector<std::string>& names, std::vector<int>& ids) {
    for (const std::string& name : names) {
        const int id = FindCommand(ToUpperAscii(name));
        if (id < 0) {
            std::string hint = SuggestNames(ToUpperAscii(name));
            s.Message("unknown name '" + name + "'" + (hint.empty() ? "" : "; did you mean " + hint + "?"));
            return false;
        }
        ids.push_back(id);
    }
    return true;
}

int CmdPorts(Session& s) {
    std::string json;
    auto row = [&](int kind, const std::string& port, const std::string& device) {
        if (s.options().json) {
            JsonOut o;
            o.Add("kind", LinkKindName(kind));
            o.Add("port", port);
            o.Add("device", device);
            json += (json.empty() ? "" : ",") + o.Object();
        } else {
            std::printf("%s\t%s\t%s\n", LinkKindName(kind), port.c_str(), device.c_str());
        }
    };
    // A library kind lists what its library reports; a missing library lists nothing.
    for (const int kind : {ComPortKind, CameraLink2000, CameraLink2001, CameraLinkVer11}) {
        for (const PortListing& p : ListPorts(s.camera(), kind)) row(kind, p.port, p.device);
    }
    if (s.options().json) std::printf("{\"ports\":[%s]}\n", json.c_str());
    return kDone;
}

int CmdProbe(Session& s) {
    if (int rc = s.Connect(); rc != kDone) return rc;
    int area = -1;
    ReadCurrentArea(s.command(), area, s.timeout());
    if (s.options().json) {
        JsonOut json;
        json.Add("port", s.PortName());
        json.AddNumber("baud", std::to_string(s.link().GetBaudRate()));
        json.Add("model", s.model().Name());
        json.AddNumber("area", std::to_string(area));
        std::printf("%s\n", json.Object().c_str());
    } else {
        std::printf("port=%s\nbaud=%d\nmodel=%s\narea=%d %s\n", s.PortName().c_str(), s.link().GetBaudRate(),
                    s.model().Name().c_str(), area, AreaName(area));
    }
    return kDone;
}

int CmdGet(Session& s) {
    std::vector<int> ids;
    if (!ResolveNames(s, s.options().args, ids)) return kUsage;
    if (ids.empty()) {
        for (const ControlEntry& e : ControlRows()) {
            if (e.kind == Button || !e.read || e.group == Action) continue;
            if (e.group == Factory && s.controlMode() != 1) continue;
            ids.push_back(e.cmdId);
        }
    }
    if (int rc = s.Connect(); rc != kDone) return rc;
    JsonOut json;
    for (const int id : ids) {
        CommandValue v;
        if (!s.command().QueryCommand(id, v, s.timeout()))
            return s.Failure(std::string(g_commandTable[id].name) + "?");
        const std::string text = ValueText(id, v);
        if (s.options().json) {
            if (CommandAt(id)->kind == ValueKind::Text) {
                json.Add(g_commandTable[id].name, text);
            } else {
                json.AddNumber(g_commandTable[id].name, text);
            }
        } else {
            std::printf("%s=%s\n", g_commandTable[id].name, text.c_str());
        }
    }
    if (s.options().json) std::printf("%s\n", json.Object().c_str());
    return kDone;
}

int CmdSet(Session& s) {
    const std::vector<std::string>& args = s.options().args;
    if (args.empty()) {
        s.Message("set needs NAME=VALUE");
        return kUsage;
    }
    std::vector<std::pair<int, std::string>> writes;
    for (const std::string& a : args) {
        const std::size_t eq = a.find('=');
        if (eq == std::string::npos || eq == 0) {
            s.Message("'" + a + "' is not NAME=VALUE");
            return kUsage;
        }
        std::vector<int> id;
        if (!ResolveNames(s, {a.substr(0, eq)}, id)) return kUsage;
        writes.emplace_back(id[0], a.substr(eq + 1));
    }
    if (int rc = s.Connect(); rc != kDone) return rc;
    JsonOut json;
    for (const auto& [id, text] : writes) {
        const CommandEntry* e = CommandAt(id);
        if (!s.command().WriteCommand(id, ValueFromText(id, text), s.timeout()))
            return s.Failure(std::string(e->name) + "=" + text);
        if (s.options().json) {
            json.Add(e->name, text);
        } else if (!s.options().quiet) {
            std::printf("%s=%s COMPLETE\n", e->name, text.c_str());
        }
    }
    if (s.options().json) std::printf("%s\n", json.Object().c_str());
    return kDone;
}

int AreaArgument(Session& s, int& area) {
    const std::vector<std::string>& args = s.options().args;
    if (args.size() != 1 || args[0].size() != 1 || args[0][0] < '0' || args[0][0] >= '0' + kAreaCount) {
        s.Message(s.options().command + " needs one area number, 0 (factory) to 3");
        return kUsage;
    }
    area = args[0][0] - '0';
    return kDone;
}

int CmdArea(Session& s) {
    if (int rc = s.Connect(); rc != kDone) return rc;
    int area = -1;
    if (!ReadCurrentArea(s.command(), area, s.timeout())) return s.Failure("EA?");
    if (s.options().json) {
        JsonOut json;
        json.AddNumber("area", std::to_string(area));
        json.Add("name", AreaName(area));
        std::printf("%s\n", json.Object().c_str());
    } else {
        std::printf("%d %s\n", area, AreaName(area));
    }
    return kDone;
}

int CmdStoreOrLoad(Session& s, bool store) {
    int area = 0;
    if (int rc = AreaArgument(s, area); rc != kDone) return rc;
    if (store && area == kFactoryArea && s.controlMode() != 1) {
        s.Message("storing into the factory area needs --factory");
        return kUsage;
    }
    if (int rc = s.Connect(); rc != kDone) return rc;
    // Storing and loading a flash area take the camera a while.
    const int timeoutMs = s.timeout() < 10000 ? 10000 : s.timeout();
    const int ok = store ? StoreArea(s.command(), area, timeoutMs) : LoadArea(s.command(), area, timeoutMs);
    if (!ok) return s.Failure(std::string(store ? "storing into " : "loading ") + AreaName(area));
    if (s.options().json) {
        JsonOut json;
        json.AddNumber(store ? "stored" : "loaded", std::to_string(area));
        json.Add("name", AreaName(area));
        std::printf("%s\n", json.Object().c_str());
    } else if (!s.options().quiet) {
        std::printf("%s %s\n", store ? "stored into" : "loaded", AreaName(area));
    }
    return kDone;
}

int CmdSend(Session& s) {
    if (s.options().args.empty()) {
        s.Message("send needs a LINE");
        return kUsage;
    }
    std::string line;
    for (const std::string& a : s.options().args) line += (line.empty() ? "" : " ") + a;
    if (int rc = s.Connect(); rc != kDone) return rc;
    std::string text;
    if (!SendRawLine(s.camera(), line, s.timeout(), text).Ok()) {
        s.Message("no answer from the camera");
        return kNoAnswer;
    }
    if (s.options().json) {
        JsonOut json;
        json.Add("sent", line);
        json.Add("answer", text);
        std::printf("%s\n", json.Object().c_str());
    } else {
        std::printf("%s%s", text.c_str(), text.empty() || text.back() == '\n' ? "" : "\n");
    }
    return kDone;
}

int CmdSave(Session& s) {
    if (s.options().args.size() != 1) {
        s.Message("save needs one FILE");
        return kUsage;
    }
    if (int rc = s.Connect(); rc != kDone) return rc;
    TextProgress progress(s.options().quiet);
    const int before = s.Failures();
    ReadParameterRows(s.command(), s.model(), s.controlMode(), progress);
    progress.Finish();
    if (StopRequested())
        return s.Stopped("the read was not finished; " + s.options().args[0] + " was not written");
    // A value the camera did not give would go into the file as the table's old one.
    if (s.Failures() > before) return s.Failure("the whole read");
    const SettingFileKind kind =
        s.options().shipping ? SettingFileKind::ShippingData : SettingFileKind::AllData;
    if (!SaveSettingFile(s.options().args[0], kind, s.command(), s.model(), s.controlMode()))
        return kFileError;
    return kDone;
}

int CmdApply(Session& s) {
    if (s.options().args.size() != 1) {
        s.Message("apply needs one FILE");
        return kUsage;
    }
    const std::string& path = s.options().args[0];
    // The lines the loader will pass over, said before the camera is touched.
    const auto skipped = SkippedSettingLines(path, s.controlMode());
    if (!skipped) {
        // The loader says why in its own words; the camera is not needed for that.
        TextProgress none(true);
        LoadSettingFile(path, s.command(), s.model(), s.controlMode(), none);
        return kFileError;
    }
    for (const auto& [line, text] : *skipped)
        s.Message(path + ":" + std::to_string(line) + ": skipped: " + text);
    if (int rc = s.Connect(); rc != kDone) return rc;
    TextProgress progress(s.options().quiet);
    const int before = s.Failures();
    int sent = 0;
    if (!LoadSettingFile(path, s.command(), s.model(), s.controlMode(), progress, &sent)) return kFileError;
    if (StopRequested()) {
        if (s.options().json) {
            JsonOut json;
            json.Add("stopped", SignalName(StopSignal()));
            json.Add("file", path);
            json.AddNumber("sent", std::to_string(sent));
            std::printf("%s\n", json.Object().c_str());
        }
        return s.Stopped(std::to_string(sent) + " line(s) of " + path + " were sent");
    }
    if (const int errors = s.Failures() - before; errors > 0) {
        s.Message(std::to_string(errors) + " line(s) of " + path + " refused or unanswered");
        return kRefused;
    }
    return kDone;
}

// The camera's table into a gamma file: one column for a supported model, as the window
// writes it; three equal columns otherwise, since all three address the one camera table.
int LutRead(Session& s, const std::string& path) {
    if (int rc = s.Connect(); rc != kDone) return rc;
    LutTable table{};
    TextProgress progress(s.options().quiet);
    if (!ReadLutTable(s.command(), table, progress)) {
        if (StopRequested())
            return s.Stopped("the LUT read stopped at entry " + std::to_string(progress.Entries()) +
                             " of 256; " + path + " was not written");
        s.Message("the LUT read stopped at entry " + std::to_string(progress.Entries()) + " of 256; " + path +
                  " was not written");
        return s.Failure("LUTD? for entry " + std::to_string(progress.Entries()));
    }
    if (!WriteGammaFile(path, s.model().IsSupported(), {&table, &table, &table})) return kFileError;
    if (s.options().json) {
        JsonOut json;
        json.Add("read", path);
        json.AddNumber("entries", std::to_string(kLutSize));
        json.Add("layout", s.model().IsSupported() ? kGammaMonoHeader : kGammaRgbHeader);
        std::printf("%s\n", json.Object().c_str());
    } else if (!s.options().quiet) {
        std::printf("LUT read into %s (%d entries)\n", path.c_str(), kLutSize);
    }
    return kDone;
}

// A gamma file into the camera's table. The whole file is read first: a malformed or short
// one sends nothing, where the window would keep its editor's values for the missing entries.
int LutWrite(Session& s, const std::string& path) {
    // A value no file can give (the reader stores at most 4095) marks the entries it did not set.
    constexpr int kUnset = kLutMaxValue + 1;
    LutTable zero{};
    LutTable table;
    LutTable second{};
    table.fill(kUnset);
    if (!ReadGammaFile(path, {&zero, &table, &second})) return kFileError;
    const auto unset = std::find(table.begin(), table.end(), kUnset);
    if (unset != table.end()) {
        s.Message(path + " holds " + std::to_string(unset - table.begin()) +
                  " LUT entries; a table has 256, so nothing was written");
        return kFileError;
    }
    if (int rc = s.Connect(); rc != kDone) return rc;
    TextProgress progress(s.options().quiet);
    const int written = WriteLutTable(s.command(), table, progress, LutWriteFailure::Stop);
    if (written != kLutSize) {
        if (StopRequested())
            return s.Stopped("the LUT write stopped at entry " + std::to_string(written) +
                             " of 256; entries " + std::to_string(written) +
                             " to 255 keep the camera's old values");
        s.Message("the LUT write stopped at entry " + std::to_string(written) + " of 256; entries " +
                  std::to_string(written) + " to 255 keep the camera's old values");
        return s.Failure("LUT entry " + std::to_string(written));
    }
    if (s.options().json) {
        JsonOut json;
        json.Add("written", path);
        json.AddNumber("entries", std::to_string(kLutSize));
        std::printf("%s\n", json.Object().c_str());
    } else if (!s.options().quiet) {
        std::printf("LUT written from %s (%d entries)\n", path.c_str(), kLutSize);
    }
    return kDone;
}

int CmdLut(Session& s) {
    const std::vector<std::string>& args = s.options().args;
    if (args.size() != 2 || (args[0] != "read" && args[0] != "write")) {
        s.Message("lut needs 'read FILE' or 'write FILE'");
        return kUsage;
    }
    return args[0] == "read" ? LutRead(s, args[1]) : LutWrite(s, args[1]);
}

// The identity the About window shows, plus the XML version of the factory page.
int CmdInfo(Session& s) {
    if (int rc = s.Connect(); rc != kDone) return rc;
    const IdentityFields fields = ReadIdentityFields(s.camera());
    JsonOut json;
    std::string missing;
    for (const auto& [name, value] : fields) {
        if (!value) {
            missing += (missing.empty() ? "" : ", ") + std::string(name);
        } else if (s.options().json) {
            json.Add(name, *value);
        } else {
            std::printf("%s=%s\n", name, value->c_str());
        }
    }
    if (s.options().json) std::printf("%s\n", json.Object().c_str());
    return missing.empty() ? kDone : s.Failure("the read of " + missing);
}

int Run(const Options& o) {
    // From here on SIGINT, SIGTERM and SIGHUP end the command at its next transaction.
    InstallStopSignals();
    VerboseLog log(o.verbose);
    TextPrompt prompt(o.quiet);
    Session session(o, prompt);
    const struct {
        const char* name;
        std::function<int(Session&)> run;
    } commands[] = {
        {"ports", CmdPorts},
        {"probe", CmdProbe},
        {"get", CmdGet},
        {"set", CmdSet},
        {"area", CmdArea},
        {"store", [](Session& s) { return CmdStoreOrLoad(s, true); }},
        {"load", [](Session& s) { return CmdStoreOrLoad(s, false); }},
        {"send", CmdSend},
        {"save", CmdSave},
        {"apply", CmdApply},
        {"lut", CmdLut},
        {"info", CmdInfo},
    };
    for (const auto& c : commands) {
        if (o.command != c.name) continue;
        const int rc = c.run(session);
        // A signal after the last transaction: the work is done, and the exit status says
        // the run was ended all the same, as a shell expects.
        return StopRequested() && rc < 128 ? session.Stopped("") : rc;
    }
    return kUsage;
}

}  // namespace
}  // namespace vela::cli

int main(int argc, char** argv) {
    using namespace vela::cli;
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "vela-cli: %s\nTry 'vela-cli --help'.\n", error.c_str());
        return kUsage;
    }
    if (options.command.empty()) {
        std::fputs(MainHelp().c_str(), options.help ? stdout : stderr);
        return options.help ? kDone : kUsage;
    }
    const std::string help = CommandHelp(options.command);
    if (help.empty()) {
        std::fprintf(stderr, "vela-cli: unknown command '%s'\nTry 'vela-cli --help'.\n",
                     options.command.c_str());
        return kUsage;
    }
    if (options.help) {
        std::fputs(help.c_str(), stdout);
        return kDone;
    }
    return Run(options);
}
