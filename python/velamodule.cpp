// The `vela` Python module: the camera from Python, on the camera layer the window and
// vela-cli use. Only the Qt-free layers are linked.

#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "camera/camerasession.h"
#include "camera/flashareas.h"
#include "camera/luttransfer.h"
#include "camera/parameterreader.h"
#include "camera/scriptsession.h"
#include "camera/settingfile.h"
#include "camera/valuecommit.h"
#include "platform/prompt.h"
#include "protocol/commandtable.h"
#include "protocol/valuetext.h"
#include "transport/linkkind.h"

namespace py = pybind11;

namespace vela::python {
namespace {

// A box is never shown: the last one of each thread is kept, for the message of the
// exception that follows it (why a port or a file could not be opened).
class KeptPrompt final : public Prompt {
  public:
    PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon,
                      PromptButtons buttons) override {
        Last() = caption + ": " + text;
        std::replace(Last().begin(), Last().end(), '\n', ' ');
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    static std::string& Last() {
        thread_local std::string last;
        return last;
    }
};

// Neither reads nor writes show progress.
class NoProgress final : public ParameterReadProgress, public LutTransferProgress {
  public:
    void Start(const std::string&) override {}
    void SetMessage(const std::string&) override {}
    void SetPos(int) override {}
    void Finish() override {}
    void DrainMessages() override {}
    void EntryDone() override {}
};

using Value = std::variant<long long, double, std::string>;

// The exception for `result`, made from the module's classes; thrown with the GIL held.
[[noreturn]] void Raise(const Result& result) {
    py::module_ vela = py::module_::import("vela");
    const char* name = "Error";
    switch (result.kind) {
        case Result::Kind::Refused:
            name = "Refused";
            break;
        case Result::Kind::NoAnswer:
            name = "NoAnswer";
            break;
        case Result::Kind::PortError:
            name = "PortError";
            break;
        case Result::Kind::FileError:
            name = "FileError";
            break;
        default:
            break;
    }
    py::object error =
        vela.attr(name)(Describe(result), py::arg("sent") = result.sent, py::arg("answer") = result.answer,
                        py::arg("timeout") = result.timeoutMs / 1000.0, py::arg("path") = result.path,
                        py::arg("reason") = result.reason);
    PyErr_SetObject(error.get_type().ptr(), error.ptr());
    throw py::error_already_set();
}

int ParseKind(const std::string& kind) {
    const int k = LinkKindFromName(kind);
    if (k < 0) throw py::value_error("kind must be 'com', 'cl2000', 'cl2001' or 'cl11', not '" + kind + "'");
    return k;
}

int CommandId(const std::string& name) {
    const int id = FindCommand(ToUpperAscii(name));
    if (id < 0) throw py::key_error("no camera command " + name);
    return id;
}

Value ToValue(int cmdId, const CommandValue& v) {
    switch (CommandAt(cmdId)->kind) {
        case ValueKind::Text:
            return v.text;
        case ValueKind::Decimal:
            return v.realValue;
        default:
            return static_cast<long long>(v.integerValue);
    }
}

std::vector<std::string> Ports(const std::string& kind) {
    const int k = ParseKind(kind);
    std::vector<PortListing> ports;
    {
        py::gil_scoped_release release;
        CameraSession session;
        ports = ListPorts(session, k);
    }
    std::vector<std::string> names;
    for (const PortListing& p : ports) names.push_back(p.port);
    return names;
}

// What Camera.apply did.
struct ApplyReport {
    int sent = 0;
    std::vector<std::pair<int, std::string>> skipped;
    std::vector<std::pair<std::string, std::string>> refused;
    std::vector<std::string> unanswered;
};

class Camera {
  public:
    Camera(const py::object& port, const std::string& kind, const py::object& baud, double timeout,
           bool factory, bool fast)
        : m_session(std::make_unique<CameraSession>()),
          m_kind(ParseKind(kind)),
          m_controlMode(factory ? 1 : 0) {
        bool comName = false;
        const std::string portText = py::str(port);
        if (!ParsePortName(portText, m_port, comName) || (comName && m_kind != ComPortKind))
            throw py::value_error("port must be COM1..COM16 or an index 0-15 of the kind, not '" + portText +
                                  "'");
        if (py::isinstance<py::str>(baud) && baud.cast<std::string>() == "auto") {
            m_baud = 0;
        } else {
            m_baud = baud.cast<int>();
            static const int kRates[] = {9600, 19200, 38400, 57600, 115200};
            if (std::find(std::begin(kRates), std::end(kRates), m_baud) == std::end(kRates))
                throw py::value_error("baud must be 'auto', 9600, 19200, 38400, 57600 or 115200");
        }
        if (timeout <= 0) throw py::value_error("timeout must be above 0 seconds");
        m_timeoutMs = static_cast<int>(timeout * 1000);
        m_session->command.SetFastAnswers(fast);
        Result r;
        {
            py::gil_scoped_release release;
            KeptPrompt::Last().clear();
            r = ConnectCamera(*m_session, m_kind, m_port, m_baud);
            // The table's start values are the snapshot: a change sends only its own row.
            if (r.Ok()) m_session->command.SaveDataValues();
        }
        if (r.kind == Result::Kind::PortError && !KeptPrompt::Last().empty())
            r.reason += " (" + KeptPrompt::Last() + ")";
        if (!r.Ok()) {
            m_session.reset();
            Raise(r);
        }
    }

    void Close() {
        py::gil_scoped_release release;
        m_session.reset();
    }
    bool Closed() const { return !m_session; }

    std::string Port() const { return PortNameOf(m_kind, m_port); }
    int Baud() { return Session().link.GetBaudRate(); }
    std::string Model() { return Session().model.Name(); }

    int Area() {
        CameraSession& s = Session();
        int area = -1;
        Result r;
        {
            py::gil_scoped_release release;
            if (!ReadCurrentArea(s.command, area, m_timeoutMs)) r = s.command.LastFailure();
        }
        if (!r.Ok()) Raise(r);
        return area;
    }

    py::dict Info() {
        CameraSession& s = Session();
        IdentityFields fields;
        {
            py::gil_scoped_release release;
            fields = ReadIdentityFields(s);
        }
        if (!fields.front().second && !fields[1].second) Raise(s.command.LastFailure());
        py::dict info;
        for (const auto& [name, value] : fields) info[name] = value ? py::cast(*value) : py::none();
        return info;
    }

    Value Get(const std::string& name) {
        CameraSession& s = Session();
        const int id = CommandId(name);
        CommandValue v;
        Result r;
        {
            py::gil_scoped_release release;
            r = s.command.Query(id, v, m_timeoutMs);
        }
        if (!r.Ok()) Raise(r);
        return ToValue(id, v);
    }

    py::dict GetMany(const py::args& names) {
        py::dict values;
        for (const py::handle& name : names) {
            const std::string n = py::str(name);
            values[py::str(g_commandTable[CommandId(n)].name)] = Get(n);
        }
        return values;
    }

    // The window's rule: a row with a control keeps to its range and is committed, or
    // rolled back to the value last taken from the camera; other commands are written.
    void Set(const std::string& name, const py::object& value) {
        CameraSession& s = Session();
        const int id = CommandId(name);
        const CommandEntry* e = CommandAt(id);
        const std::string text = py::str(value);
        CommandValue v = ValueFromText(id, text);
        if (e->kind != ValueKind::Text && !py::isinstance<py::int_>(value) &&
            !py::isinstance<py::float_>(value))
            throw py::type_error(std::string(e->name) + " takes a number");
        const int ctrlId = s.command.ToCtrlId(id);
        Result r;
        if (ctrlId >= 0 && e->kind == ValueKind::Integer) {
            int minimum = 0;
            int maximum = 0;
            const long long wanted = value.cast<long long>();
            // A spin box keeps to its range; a list's items are the camera's to judge.
            const bool spin =
                s.command.Rows()[static_cast<std::size_t>(s.command.CtrlId2TblIndex(ctrlId))].kind ==
                SpinEdit;
            if (spin && s.command.GetDataRange(ctrlId, minimum, maximum) &&
                (wanted < minimum || wanted > maximum))
                throw py::value_error(std::string(e->name) + " takes " + std::to_string(minimum) + " to " +
                                      std::to_string(maximum) + ", not " + std::to_string(wanted));
            py::gil_scoped_release release;
            s.command.SetDataValue(ctrlId, static_cast<int>(wanted));
            if (!CommitOrRollBack(s.command, ctrlId).committed) r = s.command.LastFailure();
        } else {
            py::gil_scoped_release release;
            r = e->kind == ValueKind::Text ? s.command.WriteText(id, text, m_timeoutMs)
                                           : s.command.Write(id, v, m_timeoutMs);
        }
        if (!r.Ok()) Raise(r);
    }

    void SetMany(const py::kwargs& values) {
        for (const auto& [name, value] : values)
            Set(py::str(name), py::reinterpret_borrow<py::object>(value));
    }

    py::dict ReadAll() {
        CameraSession& s = Session();
        ReadWhole(s);
        py::dict values;
        for (const ControlEntry& row : s.command.Rows()) {
            if (row.kind == Button || !row.read || row.group == Action) continue;
            if (row.group == Factory && m_controlMode != 1) continue;
            values[py::str(g_commandTable[row.cmdId].name)] = row.value;
        }
        return values;
    }

    void Save(const std::string& path, bool shipping) {
        CameraSession& s = Session();
        ReadWhole(s);
        ActionReport saved;
        {
            py::gil_scoped_release release;
            saved = SaveSettingFile(path, shipping ? SettingFileKind::ShippingData : SettingFileKind::AllData,
                                    s.command, s.model, m_controlMode);
        }
        if (!saved.Ok()) Raise(saved.result);
    }

    ApplyReport Apply(const std::string& path) {
        CameraSession& s = Session();
        ApplyReport report;
        std::vector<Result> failures;
        ActionReport loaded;
        {
            py::gil_scoped_release release;
            if (const auto skipped = SkippedSettingLines(path, m_controlMode)) report.skipped = *skipped;
            // A file that cannot be opened sends nothing; the loader says why.
            NoProgress progress;
            loaded =
                LoadSettingFile(path, s.command, s.model, m_controlMode, progress, &report.sent, &failures);
        }
        if (!loaded.Ok()) Raise(loaded.result);
        for (const Result& f : failures) {
            if (f.kind == Result::Kind::Refused) {
                report.refused.emplace_back(f.sent, f.answer);
            } else {
                report.unanswered.push_back(f.sent);
            }
        }
        return report;
    }

    py::dict Diff(const std::string& path) {
        CameraSession& s = Session();
        const auto skipped = SkippedSettingLines(path, m_controlMode);
        if (!skipped) Raise(Result::FileError(path, "cannot open"));
        ReadWhole(s);
        py::dict differences;
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) Raise(Result::FileError(path, "cannot open"));
        SettingFileLineReader reader(f);
        std::string piece;
        while (reader.Next(piece)) {
            const SettingLineAction a = ClassifySettingLine(piece, m_controlMode);
            if (a.kind == SettingLineAction::Value && s.command.GetDataValue(a.ctrlId) != a.value) {
                differences[py::str(g_commandTable[a.cmdId].name)] =
                    py::make_tuple(a.value, s.command.GetDataValue(a.ctrlId));
            } else if (a.kind == SettingLineAction::Model && a.text != s.model.Name()) {
                differences["MD"] = py::make_tuple(a.text, s.model.Name());
            }
        }
        std::fclose(f);
        return differences;
    }

    void StoreOrLoad(int area, bool store) {
        CameraSession& s = Session();
        if (area < 0 || area >= kAreaCount) throw py::value_error("area must be 0 (factory) to 3");
        if (store && area == kFactoryArea && m_controlMode != 1)
            throw py::value_error("storing into the factory area needs factory=True");
        // Storing and loading a flash area take the camera a while.
        const int timeoutMs = std::max(m_timeoutMs, 10000);
        Result r;
        {
            py::gil_scoped_release release;
            if (!(store ? StoreArea(s.command, area, timeoutMs) : LoadArea(s.command, area, timeoutMs)))
                r = s.command.LastFailure();
        }
        if (!r.Ok()) Raise(r);
    }

    std::vector<int> ReadLut() {
        CameraSession& s = Session();
        LutTable table{};
        Result r;
        {
            py::gil_scoped_release release;
            NoProgress progress;
            if (!ReadLutTable(s.command, table, progress)) r = s.command.LastFailure();
        }
        if (!r.Ok()) Raise(r);
        return {table.begin(), table.end()};
    }

    void WriteLut(const std::vector<int>& values) {
        CameraSession& s = Session();
        if (values.size() != kLutSize)
            throw py::value_error("a LUT has 256 entries, not " + std::to_string(values.size()));
        LutTable table{};
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] < 0 || values[i] > kLutMaxValue)
                throw py::value_error("LUT entry " + std::to_string(i) + " must be 0 to 4095, not " +
                                      std::to_string(values[i]));
            table[i] = values[i];
        }
        Result r;
        {
            py::gil_scoped_release release;
            NoProgress progress;
            if (WriteLutTable(s.command, table, progress, LutWriteFailure::Stop) != kLutSize)
                r = s.command.LastFailure();
        }
        if (!r.Ok()) Raise(r);
    }

    std::vector<std::string> Send(const std::string& line) {
        CameraSession& s = Session();
        std::string answer;
        Result r;
        {
            py::gil_scoped_release release;
            r = SendRawLine(s, line, m_timeoutMs, answer);
        }
        if (!r.Ok()) Raise(r);
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < answer.size()) {
            std::size_t end = answer.find('\n', start);
            if (end == std::string::npos) end = answer.size();
            lines.push_back(answer.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }

  private:
    CameraSession& Session() {
        if (!m_session) throw py::value_error("the camera is closed");
        return *m_session;
    }
    // The whole-camera read into the session's table; a row the camera did not give
    // fails it, as a file would otherwise carry the table's old value.
    void ReadWhole(CameraSession& s) {
        Result r;
        {
            py::gil_scoped_release release;
            const int before = s.command.FailedTransactions();
            NoProgress progress;
            ReadParameterRows(s.command, s.model, m_controlMode, progress);
            if (s.command.FailedTransactions() > before) r = s.command.LastFailure();
        }
        if (!r.Ok()) Raise(r);
    }

    std::unique_ptr<CameraSession> m_session;
    int m_kind = ComPortKind;
    int m_port = 0;
    int m_baud = 0;
    int m_timeoutMs = 2000;
    int m_controlMode = 0;
};

// The exceptions, written in Python so that they are ordinary classes with attributes.
constexpr const char* kExceptions = R"(
class Error(Exception):
    """A camera transaction, a port or a file failed. The attributes tell what happened:
    ``sent`` (the line, without its line end), ``answer`` (the camera's answer),
    ``timeout`` (seconds waited), ``path`` and ``reason``; those that do not apply are
    empty (0.0 for ``timeout``)."""

    def __init__(self, message, sent="", answer="", timeout=0.0, path="", reason=""):
        super().__init__(message)
        self.sent = sent
        self.answer = answer
        self.timeout = timeout
        self.path = path
        self.reason = reason

    @property
    def what(self):
        """What failed with a file or a port (the same as ``reason``)."""
        return self.reason


class Refused(Error):
    """The camera answered ``sent`` with something else than what was asked for: ``answer``."""


class NoAnswer(Error):
    """No answer line to ``sent`` came within ``timeout`` seconds."""


class PortError(Error):
    """The port could not be opened or written: ``reason``."""


class FileError(Error):
    """The file at ``path`` could not be opened, read or written: ``what``."""
)";

}  // namespace
}  // namespace vela::python

PYBIND11_MODULE(vela, m) {
    using namespace vela::python;
    static KeptPrompt prompt;
    vela::Prompt::Install(&prompt);

    m.doc() =
        "The VELA-4K/8K line-scan camera over its serial channel, from Python.\n\n"
        "The same camera procedures as the VELA-4K/8K Control Tool's window and vela-cli:\n"
        "the baud-rate search, the window's rules for a changed value, setting files,\n"
        "flash areas, the LUT. Failures raise vela.Error or one of its kinds (Refused,\n"
        "NoAnswer, PortError, FileError). Every transaction releases the GIL, so cameras\n"
        "on different ports can be driven from different threads at once.\n\n"
        "    import vela\n"
        "    with vela.Camera(\"COM1\") as cam:\n"
        "        print(cam.model, cam[\"GA\"])\n"
        "        cam[\"GA\"] = 321\n";
    m.attr("__version__") = vela::kToolVersion;
    py::exec(kExceptions, m.attr("__dict__"));

    m.def("ports", &Ports, py::arg("kind") = "com",
          "The ports of a link kind, as `vela-cli ports` lists them: 'COM1'..'COM16' for\n"
          "kind 'com', the port indexes ('0', '1', ...) its Camera Link serial library\n"
          "reports for 'cl2000', 'cl2001' and 'cl11' (none when the library is missing).");

    py::class_<ApplyReport>(m, "ApplyReport", "What Camera.apply did with a setting file.")
        .def_readonly("sent", &ApplyReport::sent, "The number of lines written to the camera.")
        .def_readonly("skipped", &ApplyReport::skipped,
                      "The lines passed over, as (line number, text): unknown names, rows the\n"
                      "control mode or the file flag excludes, malformed lines.")
        .def_readonly("refused", &ApplyReport::refused,
                      "The lines the camera refused, as (line sent, the camera's answer).")
        .def_readonly("unanswered", &ApplyReport::unanswered, "The lines the camera did not answer.")
        .def("__repr__", [](const ApplyReport& r) {
            return "<vela.ApplyReport sent=" + std::to_string(r.sent) +
                   " skipped=" + std::to_string(r.skipped.size()) +
                   " refused=" + std::to_string(r.refused.size()) +
                   " unanswered=" + std::to_string(r.unanswered.size()) + ">";
        });

    py::class_<Camera>(m, "Camera",
                       "Camera(port, kind='com', baud='auto', timeout=2.0, factory=False, fast=False)\n\n"
                       "One camera on one port, opened on creation: the port is opened, the baud rate\n"
                       "found (baud='auto': the camera's model is asked at 9600 bit/s, then from 115200\n"
                       "down, as the window searches) and the model read. Use it in a `with` block,\n"
                       "which closes the port on leaving; close() does the same, and so does the\n"
                       "garbage collector for a Camera left without either.\n\n"
                       "port: 'COM1'..'COM16', or a port index 0-15 of `kind` ('com', 'cl2000',\n"
                       "'cl2001', 'cl11'). timeout: seconds to wait for each answer. factory: the\n"
                       "factory control mode (factory rows are read, saved and applied; the factory\n"
                       "area may be stored into); otherwise the user mode. fast: take each answer the\n"
                       "moment it is complete instead of at the window's 20 ms pace.\n\n"
                       "Raises PortError when the port cannot be opened, NoAnswer when no camera answers.\n\n"
                       "Threads: each Camera may run in a thread of its own, and cameras on different\n"
                       "ports work at the same time (the GIL is released while a transaction waits).\n"
                       "One Camera must not be shared between threads.")
        .def(py::init<const py::object&, const std::string&, const py::object&, double, bool, bool>(),
             py::arg("port"), py::arg("kind") = "com", py::arg("baud") = "auto", py::arg("timeout") = 2.0,
             py::arg("factory") = false, py::arg("fast") = false)
        .def(
            "__enter__", [](Camera& c) -> Camera& { return c; }, py::return_value_policy::reference)
        .def(
            "__exit__", [](Camera& c, const py::args&) { c.Close(); }, "Closes the port.")
        .def("close", &Camera::Close, "Closes the port; the Camera cannot be used afterwards.")
        .def_property_readonly("closed", &Camera::Closed, "True once the port is closed.")
        .def_property_readonly("port", &Camera::Port, "The port's name: 'COMn', or the library's index.")
        .def_property_readonly("baud", &Camera::Baud, "The baud rate the camera answers at.")
        .def_property_readonly("model", &Camera::Model,
                               "The camera's model as it answers MD?, e.g. 'VELA-4K-MONO'.")
        .def_property_readonly("area", &Camera::Area,
                               "The flash area the camera started from (EA?): 0 factory, 1 to 3 user areas.")
        .def("info", &Camera::Info,
             "The identity the About window shows: model, firmware, fpga, camera_id, user_id,\n"
             "device_version, and the factory page's xml_version; None for a field the camera\n"
             "did not give.")
        .def("__getitem__", &Camera::Get, py::arg("name"),
             "cam[name] -> int | float | str\n\n"
             "Asks the camera for one value (e.g. cam['GA']). Raises KeyError for an unknown\n"
             "name, Refused or NoAnswer when the camera does not give it.")
        .def("__setitem__", &Camera::Set, py::arg("name"), py::arg("value"),
             "cam[name] = value\n\n"
             "Writes one value by the window's rules: a value outside the row's range raises\n"
             "ValueError and sends nothing; a value the camera refuses (Refused) or does not\n"
             "answer (NoAnswer) is not taken: the session rolls it back as the window does.")
        .def("get", &Camera::GetMany,
             "Asks for each value in turn, as a dict:\n"
             "cam.get('GA', 'BL') -> {'GA': 100, 'BL': 0}.")
        .def("set", &Camera::SetMany,
             "Writes each value in turn as cam[name] = value does, stopping at the first\n"
             "failure: cam.set(GA=321, BL=7).")
        .def("read_all", &Camera::ReadAll,
             "The window's whole-camera read: every row the control mode reads, by name.\n"
             "Raises Refused or NoAnswer when a row was not given.")
        .def("save", &Camera::Save, py::arg("path"), py::arg("shipping") = false,
             "Reads the whole camera and writes a setting file, byte for byte as the window\n"
             "saves it (shipping=True: the shipping-data file). The old file is replaced only\n"
             "once the new one is complete. Raises FileError when it cannot be written.")
        .def("apply", &Camera::Apply, py::arg("path"),
             "Sends a setting file line by line as the window loads it; every line waits for\n"
             "its answer and a refused line does not stop the others. The report lists the\n"
             "lines sent, skipped, refused and unanswered. Raises FileError when the file\n"
             "cannot be opened.")
        .def("diff", &Camera::Diff, py::arg("path"),
             "Reads the whole camera and compares it with a setting file: {name: (file's value,\n"
             "camera's value)} for every line that differs; {} when the camera matches.")
        .def(
            "store", [](Camera& c, int area) { c.StoreOrLoad(area, true); }, py::arg("area"),
            "Stores the camera's settings into flash area 1-3 (0, the factory area,\n"
            "needs factory=True).")
        .def(
            "load", [](Camera& c, int area) { c.StoreOrLoad(area, false); }, py::arg("area"),
            "Loads the settings of flash area 0-3 into the camera.")
        .def_property("lut", &Camera::ReadLut, &Camera::WriteLut,
                      "The camera's LUT as a list of 256 ints (0-4095): reading it reads the camera\n"
                      "entry by entry, assigning a list writes it, stopping at the first entry the\n"
                      "camera does not take.")
        .def("send", &Camera::Send, py::arg("line"),
             "Sends one raw line (the line end is added) and returns the answer's lines: the\n"
             "first byte may take the time-out, then 300 ms of quiet ends the answer. Raises\n"
             "NoAnswer when nothing came.")
        .def("__repr__", [](Camera& c) {
            return c.Closed() ? std::string("<vela.Camera closed>")
                              : "<vela.Camera " + c.Port() + " " + c.Model() + " at " +
                                    std::to_string(c.Baud()) + ">";
        });
}
