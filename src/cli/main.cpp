// vela-cli: the camera from scripts and production lines, without a window.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/registrysettings.h"
#include "camera/baudprobe.h"
#include "camera/camerasession.h"
#include "camera/enginemessages.h"
#include "camera/flashareas.h"
#include "camera/gammafile.h"
#include "camera/luttransfer.h"
#include "camera/parameterreader.h"
#include "camera/scriptsession.h"
#include "camera/settingfile.h"
#include "cli/jsonout.h"
#include "cli/names.h"
#include "cli/options.h"
#include "platform/clock.h"
#include "platform/prompt.h"
#include "platform/stoprequest.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"
#include "protocol/valuetext.h"
#include "transport/cameralinkseriallibrary.h"
#include "transport/commandlog.h"
#include "transport/comport.h"
#include "transport/linkkind.h"
#include "transport/seriallink.h"

namespace vela::cli {
namespace {

class Session;
// The session this thread talks to its camera through (one per thread): the boxes of the
// camera procedures and the Tx/Rx log name its port when a run has several.
thread_local Session* t_session = nullptr;
// Whole lines on stdout and stderr from several threads.
std::mutex g_printMutex;

// Every line that crosses a session's link, on stderr (-v).
class VerboseLog final : public CommandLogSink {
  public:
    VerboseLog(CommandLog& log, bool print) : m_log(log), m_print(print) {
        if (m_print) m_log.Join(this);
    }
    ~VerboseLog() override {
        if (m_print) m_log.Leave(this);
    }
    void OnLogLine(const std::string& line) override;

  private:
    CommandLog& m_log;
    bool m_print;
};

// Prints boxes as "caption: text" lines; -q silences them. Answers no question. What
// went wrong is taken from the engine's results, never from these texts.
class TextPrompt final : public Prompt {
  public:
    explicit TextPrompt(bool quiet) : m_quiet(quiet) { Prompt::Install(this); }
    ~TextPrompt() override { Prompt::Install(nullptr); }
    PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon,
                      PromptButtons buttons) override;

  private:
    bool m_quiet;
};

// The engine's events as the session's messages; a refusal also names the line it
// answered, which a script needs beside the camera's answer.
class TextEvents final : public MessageEvents {
  public:
    explicit TextEvents(const Session& session);
    void Refused(const Result& result, bool query) override;

  private:
    const Session& m_session;
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

// The link kind, port and control mode of a run: the options, else the window's choices
// (its settings file is only read).
struct Target {
    int kind = ComPortKind;
    int port = 0;
    int controlMode = 0;
};

Target ResolveTarget(const Options& o) {
    const std::string file = RegistrySettings::DefaultFilePath();
    Target t;
    t.kind = o.kind >= 0 ? o.kind : RegistrySettings::PeekInt(file, CommunicationMode).value_or(ComPortKind);
    static const int kIndexSetting[] = {ComPortNo, CameraLink2000DllIndex, CameraLink2001DllIndex,
                                        CameraLinkVer11DllIndex};
    t.port = o.portIndex >= 0 ? o.portIndex
                              : (IsValidLinkKind(t.kind)
                                     ? RegistrySettings::PeekInt(file, kIndexSetting[t.kind]).value_or(0)
                                     : 0);
    t.controlMode = o.factory ? 1 : RegistrySettings::PeekInt(file, ControlModeSetting).value_or(0);
    return t;
}

// One conversation with one camera. A run on one port prints as it goes, exactly as it
// always has; a run on several ports makes one session per port, each on a thread of its
// own, and each prefixes its lines with its port (or, with --json, keeps its document and
// messages for the array printed at the end).
class Session {
  public:
    enum class Mode { Single, Prefixed, Collected };

    Session(const Options& o, const Target& target, Mode mode = Mode::Single)
        : m_options(o),
          m_mode(mode),
          m_kind(target.kind),
          m_events(*this),
          m_port(target.port),
          m_controlMode(target.controlMode) {
        m_camera.command.SetFastAnswers(o.fast);
        m_camera.command.SetEvents(&m_events);
        t_session = this;
    }
    ~Session() {
        t_session = nullptr;
        m_camera.link.Close();
    }

    // Opens the link and finds the camera: at the given rate, or by the window's search.
    // kDone, or kNoAnswer after a message. Once connected, kDone at once.
    int Connect() {
        if (m_rehearsal) return kRehearsed;
        if (m_connected) return kDone;
        if (!IsValidLinkKind(m_kind)) {
            Message("the link kind in the settings is not valid; use --kind");
            return kUsage;
        }
        const Result r = ConnectCamera(m_camera, m_kind, m_port, m_options.baudRate);
        switch (r.kind) {
            case Result::Kind::Done:
                m_connected = true;
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
    // What Connect() returns in a rehearsal: the command got as far as the camera.
    static constexpr int kRehearsed = -1;
    // From now on Connect() opens nothing and returns kRehearsed; `silent` holds back the
    // messages.
    void Rehearse(bool silent) {
        m_rehearsal = true;
        m_silent = silent;
    }
    // Connect() with its messages held back: a port of `--port all` without a camera is
    // not worth a word. True when a camera answered.
    bool Search() {
        m_silent = true;
        const bool found = Connect() == kDone;
        m_silent = false;
        if (!found) m_camera.link.Close();
        return found;
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

    // A message on stderr (-q: none); with a prefix when several ports run, kept for the
    // port's JSON object too.
    void Message(const std::string& text) const {
        if (m_silent) return;
        if (m_mode == Mode::Collected) m_messages.push_back(text);
        if (m_options.quiet) return;
        const std::lock_guard<std::mutex> lock(g_printMutex);
        std::fprintf(stderr, "vela-cli: %s%s\n", Prefix().c_str(), text.c_str());
    }
    // Output on stdout: as it is on one port; each line after "PORT: " on several; kept
    // for the JSON array with --json on several.
    void Print(const std::string& text) {
        if (m_mode == Mode::Collected) {
            m_output += text;
            return;
        }
        const std::lock_guard<std::mutex> lock(g_printMutex);
        if (m_mode == Mode::Single) {
            std::fputs(text.c_str(), stdout);
            return;
        }
        std::string lines;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
            lines += Prefix() + text.substr(start, end - start);
            start = end;
        }
        std::fputs(lines.c_str(), stdout);
        std::fflush(stdout);
    }
    // A line that carries its port itself (watch's CSV rows), never prefixed.
    void PrintRow(const std::string& row) {
        const std::lock_guard<std::mutex> lock(g_printMutex);
        std::fputs(row.c_str(), stdout);
        std::fflush(stdout);
    }
    // "COM2: " when several ports run, else "".
    std::string Prefix() const { return m_mode == Mode::Single ? "" : PortName() + ": "; }
    std::string PortName() const { return PortNameOf(m_kind, m_port); }

    const Options& options() const { return m_options; }
    CameraSession& camera() { return m_camera; }
    bool Several() const { return m_mode != Mode::Single; }
    // A progress bar only for a run on one port: several would overwrite one another.
    bool NoProgress() const { return m_options.quiet || Several(); }
    SerialLink& link() { return m_camera.link; }
    // Prints a camera procedure's messages as the window would show them; true when it succeeded.
    bool Reported(const ActionReport& report) const {
        for (const ActionMessage& message : report.messages) Say(message);
        return report.Ok();
    }
    // A message as a box would show it: "caption: text".
    void Say(const ActionMessage& message, const std::string& suffix = {}) const {
        Message(message.caption + ": " + message.text + suffix);
    }

    Command& command() { return m_camera.command; }
    CameraModel& model() { return m_camera.model; }
    int controlMode() const { return m_controlMode; }
    int timeout() const { return m_options.timeoutMs; }
    const std::string& Output() const { return m_output; }
    const std::vector<std::string>& Messages() const { return m_messages; }

  private:
    Options m_options;
    Mode m_mode;
    int m_kind = ComPortKind;
    TextEvents m_events;
    CameraSession m_camera;
    VerboseLog m_verbose{m_camera.link.Log(), m_options.verbose};
    int m_port = 0;
    int m_controlMode = 0;
    bool m_connected = false;
    bool m_silent = false;
    bool m_rehearsal = false;
    std::string m_output;
    mutable std::vector<std::string> m_messages;
};

void VerboseLog::OnLogLine(const std::string& line) {
    const std::string prefix = t_session ? t_session->Prefix() : "";
    const std::lock_guard<std::mutex> lock(g_printMutex);
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), line.c_str());
}

PromptAnswer TextPrompt::Show(const std::string& text, const std::string& caption, PromptIcon icon,
                              PromptButtons buttons) {
    if (t_session) {
        t_session->Say({text, icon, caption});
    } else if (!m_quiet) {
        std::fprintf(stderr, "vela-cli: %s: %s\n", caption.c_str(), text.c_str());
    }
    return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
}

TextEvents::TextEvents(const Session& session)
    : MessageEvents([&session](const ActionMessage& message) { session.Say(message); }), m_session(session) {}

void TextEvents::Refused(const Result& result, bool query) {
    m_session.Say(RefusalMessage(result, query), " (sent " + result.sent + ")");
}

// printf into a string.
[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    out.pop_back();
    return out;
}

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
            s.Print(Format("%s\t%s\t%s\n", LinkKindName(kind), port.c_str(), device.c_str()));
        }
    };
    // A library kind lists what its library reports; a missing library lists nothing.
    for (const int kind : {ComPortKind, CameraLink2000, CameraLink2001, CameraLinkVer11}) {
        for (const PortListing& p : ListPorts(s.camera(), kind)) row(kind, p.port, p.device);
    }
    if (s.options().json) s.Print(Format("{\"ports\":[%s]}\n", json.c_str()));
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
        s.Print(Format("%s\n", json.Object().c_str()));
    } else {
        s.Print(Format("port=%s\nbaud=%d\nmodel=%s\narea=%d %s\n", s.PortName().c_str(),
                       s.link().GetBaudRate(), s.model().Name().c_str(), area, AreaName(area)));
    }
    return kDone;
}

int CmdGet(Session& s) {
    std::vector<int> ids;
    if (!ResolveNames(s, s.options().args, ids)) return kUsage;
    if (ids.empty()) {
        for (const ControlEntry& e : s.command().Rows()) {
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
            s.Print(Format("%s=%s\n", g_commandTable[id].name, text.c_str()));
        }
    }
    if (s.options().json) s.Print(Format("%s\n", json.Object().c_str()));
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
            s.Print(Format("%s=%s COMPLETE\n", e->name, text.c_str()));
        }
    }
    if (s.options().json) s.Print(Format("%s\n", json.Object().c_str()));
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
        s.Print(Format("%s\n", json.Object().c_str()));
    } else {
        s.Print(Format("%d %s\n", area, AreaName(area)));
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
        s.Print(Format("%s\n", json.Object().c_str()));
    } else if (!s.options().quiet) {
        s.Print(Format("%s %s\n", store ? "stored into" : "loaded", AreaName(area)));
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
        s.Print(Format("%s\n", json.Object().c_str()));
    } else {
        s.Print(Format("%s%s", text.c_str(), text.empty() || text.back() == '\n' ? "" : "\n"));
    }
    return kDone;
}

int CmdSave(Session& s) {
    if (s.options().args.size() != 1) {
        s.Message("save needs one FILE");
        return kUsage;
    }
    if (int rc = s.Connect(); rc != kDone) return rc;
    TextProgress progress(s.NoProgress());
    const int before = s.Failures();
    ReadParameterRows(s.command(), s.model(), s.controlMode(), progress);
    progress.Finish();
    if (StopRequested())
        return s.Stopped("the read was not finished; " + s.options().args[0] + " was not written");
    // A value the camera did not give would go into the file as the table's old one.
    if (s.Failures() > before) return s.Failure("the whole read");
    const SettingFileKind kind =
        s.options().shipping ? SettingFileKind::ShippingData : SettingFileKind::AllData;
    if (!s.Reported(SaveSettingFile(s.options().args[0], kind, s.command(), s.model(), s.controlMode())))
        return kFileError;
    return kDone;
}

// The command's one argument, a setting file, open for reading; nullptr with `rc` set after
// a usage error or after the loader has said why the file cannot be opened.
std::FILE* OpenSettingFileArgument(Session& s, int& rc) {
    if (s.options().args.size() != 1) {
        s.Message(s.options().command + " needs one FILE");
        rc = kUsage;
        return nullptr;
    }
    const std::string& path = s.options().args[0];
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        // The loader says why in its own words; the camera is not needed for that.
        TextProgress none(true);
        s.Reported(LoadSettingFile(path, s.command(), s.model(), s.controlMode(), none));
        rc = kFileError;
    }
    return f;
}

int CmdApply(Session& s) {
    int rc = kDone;
    std::FILE* f = OpenSettingFileArgument(s, rc);
    if (!f) return rc;
    std::fclose(f);
    const std::string& path = s.options().args[0];
    // The lines the loader will pass over, said before the camera is touched.
    if (const auto skipped = SkippedSettingLines(path, s.controlMode())) {
        for (const auto& [line, text] : *skipped)
            s.Message(path + ":" + std::to_string(line) + ": skipped: " + text);
    }
    if (rc = s.Connect(); rc != kDone) return rc;
    TextProgress progress(s.NoProgress());
    const int before = s.Failures();
    int sent = 0;
    if (!s.Reported(LoadSettingFile(path, s.command(), s.model(), s.controlMode(), progress, &sent)))
        return kFileError;
    if (StopRequested()) {
        if (s.options().json) {
            JsonOut json;
            json.Add("stopped", SignalName(StopSignal()));
            json.Add("file", path);
            json.AddNumber("sent", std::to_string(sent));
            s.Print(Format("%s\n", json.Object().c_str()));
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
    TextProgress progress(s.NoProgress());
    if (!ReadLutTable(s.command(), table, progress)) {
        if (StopRequested())
            return s.Stopped("the LUT read stopped at entry " + std::to_string(progress.Entries()) +
                             " of 256; " + path + " was not written");
        s.Message("the LUT read stopped at entry " + std::to_string(progress.Entries()) + " of 256; " + path +
                  " was not written");
        return s.Failure("LUTD? for entry " + std::to_string(progress.Entries()));
    }
    if (!s.Reported(WriteGammaFile(path, s.model().IsSupported(), {&table, &table, &table})))
        return kFileError;
    if (s.options().json) {
        JsonOut json;
        json.Add("read", path);
        json.AddNumber("entries", std::to_string(kLutSize));
        json.Add("layout", s.model().IsSupported() ? kGammaMonoHeader : kGammaRgbHeader);
        s.Print(Format("%s\n", json.Object().c_str()));
    } else if (!s.options().quiet) {
        s.Print(Format("LUT read into %s (%d entries)\n", path.c_str(), kLutSize));
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
    if (!s.Reported(ReadGammaFile(path, {&zero, &table, &second}))) return kFileError;
    const auto unset = std::find(table.begin(), table.end(), kUnset);
    if (unset != table.end()) {
        s.Message(path + " holds " + std::to_string(unset - table.begin()) +
                  " LUT entries; a table has 256, so nothing was written");
        return kFileError;
    }
    if (int rc = s.Connect(); rc != kDone) return rc;
    TextProgress progress(s.NoProgress());
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
        s.Print(Format("%s\n", json.Object().c_str()));
    } else if (!s.options().quiet) {
        s.Print(Format("LUT written from %s (%d entries)\n", path.c_str(), kLutSize));
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
            s.Print(Format("%s=%s\n", name, value->c_str()));
        }
    }
    if (s.options().json) s.Print(Format("%s\n", json.Object().c_str()));
    return missing.empty() ? kDone : s.Failure("the read of " + missing);
}

// A setting file against the camera, nothing written: each value line whose value the
// camera does not have, each line the camera would refuse, each line an apply would skip.
int CmdDiff(Session& s) {
    int rc = kDone;
    std::FILE* f = OpenSettingFileArgument(s, rc);
    if (!f) return rc;
    const std::string& path = s.options().args[0];
    std::vector<std::string> lines;
    {
        SettingFileLineReader reader(f);
        for (std::string piece; reader.Next(piece);) lines.push_back(piece);
        std::fclose(f);
    }
    if (rc = s.Connect(); rc != kDone) return rc;
    std::string text;
    std::string differences;
    std::string refused;
    std::string skipped;
    const auto add = [](std::string& list, const JsonOut& item) {
        list += (list.empty() ? "" : ",") + item.Object();
    };
    const auto differ = [&](const std::string& name, const std::string& file, const std::string& camera) {
        text += name + " file=" + file + " camera=" + camera + "\n";
        JsonOut item;
        item.Add("name", name);
        item.AddNumber("file", file);
        item.AddNumber("camera", camera);
        add(differences, item);
    };
    const auto refuse = [&](int number, const std::string& line, const std::string& why) {
        text += line + " refused: " + why + "\n";
        JsonOut item;
        item.AddNumber("line", std::to_string(number));
        item.Add("text", line);
        item.Add("reason", why);
        add(refused, item);
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const SettingLineAction a = ClassifySettingLine(lines[i], s.controlMode());
        std::string line = lines[i];
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        const int number = static_cast<int>(i) + 1;
        if (a.kind == SettingLineAction::Skip || a.kind == SettingLineAction::NoControl) {
            if (line.empty()) continue;
            text += "line " + std::to_string(number) + " skipped: " + line + "\n";
            JsonOut item;
            item.AddNumber("line", std::to_string(number));
            item.Add("text", line);
            add(skipped, item);
        } else if (a.kind == SettingLineAction::Model) {
            if (a.text != s.model().Name()) differ(g_commandTable[a.cmdId].name, a.text, s.model().Name());
        } else if (a.kind == SettingLineAction::Value) {
            const std::string name = g_commandTable[a.cmdId].name;
            const std::span<ControlEntry> rows = s.command().Rows();
            const auto row = std::find_if(rows.begin(), rows.end(),
                                          [&](const ControlEntry& r) { return r.ctrlId == a.ctrlId; });
            const int low = row->minimum - row->option;
            const int high = row->maximum + row->option;
            // A spin row's range is the camera's; a combo box row carries none.
            if (row->kind == SpinEdit && (a.value < low || a.value > high)) {
                refuse(number, line, "out of range " + std::to_string(low) + ".." + std::to_string(high));
                continue;
            }
            int camera = 0;
            if (!s.command().ReadValue(a.cmdId, camera, s.timeout())) {
                const Result& last = s.command().LastFailure();
                if (last.kind != Result::Kind::Refused || StopRequested()) return s.Failure(name + "?");
                refuse(number, line, "the camera refused " + name + "?: " + last.answer);
                continue;
            }
            if (camera != a.value) differ(name, std::to_string(a.value), std::to_string(camera));
        }
    }
    const bool equal = differences.empty() && refused.empty();
    if (s.options().json) {
        s.Print("{\"file\":" + JsonOut::Quote(path) + ",\"equal\":" + (equal ? "true" : "false") +
                ",\"differences\":[" + differences + "],\"refused\":[" + refused + "],\"skipped\":[" +
                skipped + "]}\n");
    } else {
        s.Print(text);
    }
    return equal ? kDone : kRefused;
}

// A CSV field: quoted when it holds a comma or a quote.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// The header of watch's CSV.
std::string WatchHeader(const std::vector<std::string>& names) {
    std::string header = "time,port";
    for (const std::string& name : names) header += "," + CsvField(ToUpperAscii(name));
    return header + "\n";
}

// Waits until `until`, or less when a stop is requested.
void SleepUntil(std::chrono::steady_clock::time_point until) {
    while (!StopRequested()) {
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(50)));
    }
}

// Now in UTC as ISO 8601 ("2026-12-08T06:00:00Z"), with milliseconds for rows less than a
// second apart.
std::string IsoUtcNow(bool milliseconds) {
    const UtcTime t = CurrentUtcTime();
    return Format("%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second) +
           (milliseconds ? Format(".%03d", t.millisecond) : "") + "Z";
}

// The parameters every --every seconds as CSV rows: UTC time, port, one column per name.
// A value the camera does not give leaves its column empty and the row is written all the
// same; Ctrl+C or --count ends the watch, and only failures make the exit status.
int CmdWatch(Session& s) {
    std::vector<int> ids;
    if (s.options().args.empty()) {
        s.Message("watch needs one NAME or more");
        return kUsage;
    }
    if (!ResolveNames(s, s.options().args, ids)) return kUsage;
    if (s.options().json) {
        s.Message("watch prints CSV; --json does not apply to it");
        return kUsage;
    }
    if (int rc = s.Connect(); rc != kDone) return rc;
    if (!s.Several()) s.Print(WatchHeader(s.options().args));
    const auto every = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(s.options().everySeconds));
    auto next = std::chrono::steady_clock::now();
    int worst = kDone;
    for (int rows = 0; !StopRequested() && (s.options().count == 0 || rows < s.options().count); ++rows) {
        if (rows > 0) SleepUntil(next);
        if (StopRequested()) break;
        next += every;
        std::string row = IsoUtcNow(s.options().everySeconds < 1) + "," + s.PortName();
        for (const int id : ids) {
            CommandValue v;
            row += ",";
            if (s.command().QueryCommand(id, v, s.timeout())) {
                row += CsvField(ValueText(id, v));
            } else if (!StopRequested()) {
                worst = std::max(worst, s.Failure(std::string(g_commandTable[id].name) + "?"));
            }
        }
        // A row cut short by Ctrl+C is left out.
        if (StopRequested()) break;
        s.PrintRow(row + "\n");
    }
    return worst;
}

using CommandRun = std::function<int(Session&)>;

// The command's procedure; nullptr for an unknown name.
const CommandRun* FindRun(const std::string& name) {
    static const std::vector<std::pair<std::string, CommandRun>> commands = {
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
        {"diff", CmdDiff},
        {"watch", CmdWatch},
        {"lut", CmdLut},
        {"info", CmdInfo},
    };
    for (const auto& [n, run] : commands) {
        if (n == name) return &run;
    }
    return nullptr;
}

// An exit status in words, for the JSON array of a run on several ports.
std::string OutcomeName(int rc) {
    switch (rc) {
        case kDone:
            return "done";
        case kRefused:
            return "refused";
        case kUsage:
            return "usage";
        case kNoAnswer:
            return "no answer";
        case kFileError:
            return "file error";
        default:
            return rc >= 128 ? "stopped" : "failed";
    }
}

// What one camera of a run on several ports ended with.
struct Outcome {
    std::string port;
    bool found = true;  // --port all: a camera answered
    int rc = kDone;
    std::string output;
    std::vector<std::string> messages;
};

// The command up to its first word to a camera, on no port: a usage or file error is said
// once for all the ports, and no port is touched. kDone when the command got that far.
int Rehearse(const Options& o, const Target& target, const CommandRun& run) {
    for (const bool silent : {true, false}) {
        Session s(o, target);
        s.Rehearse(silent);
        const int rc = run(s);
        if (rc == Session::kRehearsed) return kDone;
        if (!silent) return rc;
    }
    return kDone;
}

// The command on several ports at once: one session per port, each on its own thread. The
// exit status is the highest of the cameras'; a camera that fails does not stop the others.
int RunSeveral(const Options& o, const Target& base, const CommandRun& run) {
    const std::vector<std::string>& args = o.args;
    const bool perPortFile =
        o.command == "save" || (o.command == "lut" && args.size() == 2 && args[0] == "read");
    if (perPortFile && !args.empty() && args.back().find("{port}") == std::string::npos) {
        if (!o.quiet)
            std::fprintf(stderr, "vela-cli: with several ports, %s needs a FILE name with {port} in it\n",
                         o.command.c_str());
        return kUsage;
    }
    // A file name with {port} in it names a file per camera, and only the cameras' own
    // sessions can look at theirs.
    const bool perPortArgs = std::any_of(
        args.begin(), args.end(), [](const std::string& a) { return a.find("{port}") != std::string::npos; });
    if (!perPortArgs) {
        if (const int rc = Rehearse(o, base, run); rc != kDone) return rc;
    }
    std::vector<int> ports = o.ports;
    if (o.allPorts) {
        int count = ComPort::GetPortCount();
        if (base.kind != ComPortKind && IsValidLinkKind(base.kind)) {
            CameraSession probe;
            probe.link.SetKind(base.kind);
            count = probe.link.GetPortCount();
        }
        for (int p = 0; p < count; ++p) ports.push_back(p);
    }
    if (o.command == "watch" && !perPortArgs) std::fputs(WatchHeader(args).c_str(), stdout);

    std::vector<Outcome> outcomes(ports.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        threads.emplace_back([&, i] {
            Outcome& out = outcomes[i];
            out.port = PortNameOf(base.kind, ports[i]);
            Options own = o;
            for (std::string& a : own.args) {
                for (std::size_t at; (at = a.find("{port}")) != std::string::npos;)
                    a.replace(at, 6, out.port);
            }
            Target target = base;
            target.port = ports[i];
            Session s(own, target, o.json ? Session::Mode::Collected : Session::Mode::Prefixed);
            if (o.allPorts && !s.Search()) {
                out.found = false;
                return;
            }
            out.rc = run(s);
            out.output = s.Output();
            out.messages = s.Messages();
        });
    }
    for (std::thread& t : threads) t.join();

    int worst = kDone;
    std::string array;
    int found = 0;
    for (const Outcome& out : outcomes) {
        if (!out.found) continue;
        ++found;
        worst = std::max(worst, out.rc);
        if (!o.json) continue;
        std::string result = out.output;
        while (!result.empty() && result.back() == '\n') result.pop_back();
        std::string messages;
        for (const std::string& m : out.messages)
            messages += (messages.empty() ? "" : ",") + JsonOut::Quote(m);
        JsonOut head;
        head.Add("port", out.port);
        head.AddNumber("exit", std::to_string(out.rc));
        head.Add("outcome", OutcomeName(out.rc));
        std::string object = head.Object();
        object.pop_back();
        array += (array.empty() ? "" : ",") + object + ",\"result\":" + (result.empty() ? "null" : result) +
                 ",\"messages\":[" + messages + "]}";
    }
    if (o.json) std::printf("[%s]\n", array.c_str());
    if (found == 0) {
        if (!o.quiet)
            std::fprintf(stderr, "vela-cli: no camera answered on any %s port\n", LinkKindName(base.kind));
        return StopRequested() ? 128 + StopSignal() : kNoAnswer;
    }
    return worst;
}

int Run(const Options& o) {
    // From here on SIGINT, SIGTERM and SIGHUP end the command at its next transaction.
    InstallStopSignals();
    TextPrompt prompt(o.quiet);
    const CommandRun* run = FindRun(o.command);
    if (!run) return kUsage;
    const Target target = ResolveTarget(o);
    const bool several = o.command != "ports" && (o.allPorts || !o.ports.empty());
    int rc = kDone;
    if (several) {
        rc = RunSeveral(o, target, *run);
    } else {
        Session session(o, target);
        rc = (*run)(session);
    }
    // Ctrl+C is how a watch is meant to end.
    if (o.command == "watch") return rc;
    // A signal after the last transaction: the work is done, and the exit status says
    // the run was ended all the same, as a shell expects.
    if (StopRequested() && rc < 128) {
        if (!o.quiet) std::fprintf(stderr, "vela-cli: stopped by %s\n", SignalName(StopSignal()).c_str());
        return 128 + StopSignal();
    }
    return rc;
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
