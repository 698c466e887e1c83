#include "protocol/command.h"

#include <algorithm>
#include <cmath>

#include "platform/clock.h"
#include "platform/stoprequest.h"
#include "platform/waitcursor.h"
#include "protocol/onlinestatusregistry.h"
#include "protocol/valuetext.h"
#include "transport/commandlog.h"
#include "transport/seriallink.h"

namespace vela {
namespace {

// Lines that nobody pops (a chatty camera between transactions) must not grow the queue
// without bound; the oldest go first, and every one has been logged already.
constexpr std::size_t kMaxQueuedLines = 1000;

std::uint32_t TimeoutOf(int timeoutMs) {
    return static_cast<std::uint32_t>(std::max(timeoutMs, 0));
}

}  // namespace

Command::Command(SerialLink& link)
    : m_link(link),
      m_ownRows(InitialControlRows()),
      m_rows(m_ownRows),
      m_ownOnline(std::make_unique<OnlineStatusRegistry>()),
      m_online(*m_ownOnline) {}

Command::Command(SerialLink& link, std::span<ControlEntry> rows, OnlineStatusRegistry& online)
    : m_link(link), m_rows(rows), m_online(online) {}

namespace {

// The window's engine and the listener it is to have, which may be named before the engine
// is made: making it opens the link's settings.
Command* g_instance = nullptr;
CommandEvents* g_instanceEvents = nullptr;

}  // namespace

Command& Command::Instance() {
    // The window's one engine: its values in the process-wide control table, its online
    // state on every window's bar.
    static Command instance(SerialLink::Instance(), ControlRows(), OnlineStatusRegistry::Instance());
    if (!g_instance) {
        g_instance = &instance;
        instance.SetEvents(g_instanceEvents);
    }
    return instance;
}

void Command::SetInstanceEvents(CommandEvents* events) {
    g_instanceEvents = events;
    if (g_instance) g_instance->SetEvents(events);
}

void Command::Create(const std::function<void()>& startTimer) {
    if (startTimer) startTimer();
    m_created = true;
}

void Command::OnTimer() {
    Receive(1, 0);
}

std::string Command::FormatSetLine(int cmdId, const CommandValue& value, bool appendCrLf) const {
    const CommandEntry* entry = CommandAt(cmdId);
    if (!entry) return {};
    return FormatSetLineAs(cmdId, entry->kind, value, appendCrLf);
}

std::string Command::FormatSetLineAs(int cmdId, ValueKind kind, const CommandValue& value,
                                     bool appendCrLf) const {
    const CommandEntry* entry = CommandAt(cmdId);
    if (!entry) return {};
    std::string text;
    switch (kind) {
        case ValueKind::Integer:
            text = std::to_string(value.integerValue);
            break;
        case ValueKind::Decimal:
            text = FormatRealText(value.realValue, entry->decimals);
            break;
        case ValueKind::Text:
            text = value.text;
            break;
    }
    std::string line = std::string(entry->name) + "=" + text;
    if (appendCrLf) line += "\r\n";
    return line;
}

std::string Command::FormatQueryLine(int cmdId, bool appendCrLf) const {
    const CommandEntry* entry = CommandAt(cmdId);
    if (!entry) return {};
    std::string line = std::string(entry->name) + "?";
    if (appendCrLf) line += "\r\n";
    return line;
}

int Command::ParseLine(const std::string& line, ParsedLine& p) {
    p = ParsedLine{};
    for (char c : line) {
        if (c != ' ' && c != '\r' && c != '\n') p.rawLine += c;
    }
    const std::string upper = ToUpperAscii(p.rawLine);

    std::size_t pos = upper.find('=');
    if (pos == std::string::npos) pos = upper.find('?');
    if (pos == std::string::npos) {
        p.error = 1;
        return 0;
    }
    p.name = upper.substr(0, pos);
    p.op = upper[pos];
    if (p.op == '=') {
        // A comma before the operator belongs to the name, which then matches no command.
        const std::size_t comma = upper.find(',', pos + 1);
        p.valueText = upper.substr(pos + 1, comma == std::string::npos ? std::string::npos : comma - pos - 1);
    } else {
        p.valueText = upper.substr(pos + 1);
    }

    p.cmdId = FindCommand(p.name);
    if (p.cmdId < 0) {
        p.error = 1;
        return 0;
    }
    const CommandEntry& entry = g_commandTable[p.cmdId];
    p.decimals = entry.decimals;
    p.value.kind = entry.kind;
    switch (entry.kind) {
        case ValueKind::Integer:
            p.value.integerValue = ParseIntegerText(p.valueText);
            break;
        case ValueKind::Decimal:
            p.value.realValue = ParseRealText(p.valueText);
            p.value.integerValue = ScaleReal(p.value.realValue, p.decimals);
            break;
        case ValueKind::Text:
            p.value.text = p.valueText;
            break;
    }
    p.error = 0;
    return 1;
}

int Command::ParseValueLine(const std::string& line, int& cmdId, std::string& name, int& integerValue,
                            std::string& text) {
    ParsedLine p;
    if (!ParseLine(line, p)) return 0;
    cmdId = p.cmdId;
    name = p.name;
    integerValue = p.value.integerValue;
    text = p.value.text;
    return 1;
}

std::string Command::PopLine() {
    if (m_receivedLines.empty()) return {};
    std::string line = std::move(m_receivedLines.front());
    m_receivedLines.pop_front();
    line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
    return line;
}

int Command::PopAndParseLine(ParsedLine& p) {
    return ParseLine(PopLine(), p);
}

void Command::ClearReceived() {
    m_count = 0;
    m_receivedLines.clear();
}

int Command::ReceiveLine(int log) {
    return Receive(log, kByteTimeoutMs);
}

int Command::Receive(int log, std::uint32_t byteTimeoutMs, const Deadline* deadline) {
    for (;;) {
        char* slot = &m_lineBuffer[m_count];
        const std::uint32_t wait = deadline ? deadline->LeftMs() : byteTimeoutMs;
        if ((m_byteSource ? m_byteSource(slot) : m_link.Read(slot, 1, wait)) <= 0) return 0;
        if (m_lineBuffer[m_count] == '\n') {
            int length = m_count;
            // Only a CR is the line end's; a camera that ends a line with a bare LF keeps its
            // last character.
            if (length > 0 && m_lineBuffer[length - 1] == '\r') --length;
            std::string line(m_lineBuffer, static_cast<std::size_t>(length));
            m_count = 0;
            if (m_receivedLines.size() >= kMaxQueuedLines) m_receivedLines.pop_front();
            m_receivedLines.push_back(line);
            if (log) m_link.Log().Log("Rx: " + line);
            return 1;
        }
        if (++m_count >= kLineBufferSize) {
            // Reset before telling: a box's message loop may run the timer, which reenters here.
            m_count = 0;
            if (m_events) m_events->ReceiveOverflow();
            return 0;
        }
    }
}

void Command::SetFastAnswers(bool fast) {
    m_fastAnswers = fast;
    m_link.SetWholeWaitReads(fast);
}

bool Command::WaitForLine(int timeoutMs) {
    const Deadline deadline(TimeoutOf(timeoutMs));
    if (m_fastAnswers) {
        // Each byte's read sleeps until the byte is there or the deadline passes.
        while (!Receive(1, 0, &deadline)) {
            if (deadline.Passed()) return false;
        }
        return true;
    }
    SleepMs(kPollStepMs);
    while (!ReceiveLine(1)) {
        if (deadline.Passed()) return false;
        SleepMs(kPollStepMs);
    }
    return true;
}

Result Command::AwaitComplete(const std::string& sent, int timeoutMs) {
    WaitCursorScope cursor;
    if (!WaitForLine(timeoutMs)) {
        cursor.End();
        m_online.SetOffline();
        return Result::NoAnswer(sent, timeoutMs);
    }
    const std::string answer = PopLine();
    cursor.End();
    // Any answer at all means the camera is there.
    m_online.SetOnline();
    if (ToUpperAscii(answer.substr(0, 8)) != "COMPLETE") return Result::Refused(sent, answer);
    return Result::Done();
}

int Command::WaitComplete(int timeoutMs) {
    return Reported(Noted(AwaitComplete({}, timeoutMs)), false);
}

Result Command::SendLine(const std::string& line, int timeoutMs) {
    ClearReceived();
    const std::string sent = line.substr(0, line.find('\r'));
    if (line.empty()) return Result::PortError(sent, "no such command");
    // A run that is ending sends nothing new; the line before was answered (or timed out) whole.
    if (StopRequested()) return Result::Stopped(sent);
    m_lastSent = sent;
    if (!m_link.Write(line)) return Result::PortError(sent, "the link is not open");
    ++m_linesWritten;
    return AwaitComplete(sent, timeoutMs);
}

Result Command::Noted(Result result) {
    if (!result.Ok()) {
        ++m_failedTransactions;
        m_lastFailure = result;
    }
    m_lastResult = result;
    return result;
}

Result Command::Write(int cmdId, const CommandValue& value, int timeoutMs) {
    return Noted(SendLine(FormatSetLine(cmdId, value, true), timeoutMs));
}

Result Command::WriteText(int cmdId, const std::string& text, int timeoutMs) {
    CommandValue v;
    v.kind = ValueKind::Text;
    v.text = text;
    // Formatted as a Text command for this one transaction, whatever the table says.
    return Noted(SendLine(FormatSetLineAs(cmdId, ValueKind::Text, v, true), timeoutMs));
}

Result Command::Query(int cmdId, CommandValue& value, int timeoutMs) {
    return Noted(AskFor(cmdId, value, timeoutMs));
}

Result Command::AskFor(int cmdId, CommandValue& value, int timeoutMs) {
    ClearReceived();
    const CommandEntry* entry = CommandAt(cmdId);
    if (!entry) return Result::PortError({}, "no such command");
    const std::string sent = FormatQueryLine(cmdId, false);
    if (StopRequested()) return Result::Stopped(sent);
    // A line that could not be written is waited for all the same, as the camera may still
    // answer what reached it.
    m_lastSent = sent;
    if (m_link.Write(FormatQueryLine(cmdId, true))) ++m_linesWritten;
    if (!WaitForLine(timeoutMs)) {
        m_online.SetOffline();
        return Result::NoAnswer(sent, timeoutMs);
    }
    ParsedLine p;
    PopAndParseLine(p);
    if (p.error == 0 && p.name == entry->name) {
        value = p.value;
        m_online.SetOnline();
        return Result::Done();
    }
    return Result::Refused(sent, p.rawLine);
}

int Command::Reported(const Result& result, bool query) const {
    if (result.kind == Result::Kind::Refused && m_events) m_events->Refused(result, query);
    return result.Ok() ? 1 : 0;
}

int Command::WriteCommand(int cmdId, const CommandValue& value, int timeoutMs) {
    return Reported(Write(cmdId, value, timeoutMs), false);
}

int Command::QueryCommand(int cmdId, CommandValue& value, int timeoutMs) {
    return Reported(Query(cmdId, value, timeoutMs), true);
}

int Command::WriteValue(int cmdId, int value, int timeoutMs) {
    CommandValue v;
    v.integerValue = value;
    if (const CommandEntry* entry = CommandAt(cmdId)) {
        v.kind = entry->kind;
        v.realValue = value / std::pow(10.0, entry->decimals);
    }
    return WriteCommand(cmdId, v, timeoutMs);
}

int Command::WriteString(int cmdId, const std::string& text, int timeoutMs) {
    return Reported(WriteText(cmdId, text, timeoutMs), false);
}

int Command::ReadValue(int cmdId, int& value, int timeoutMs) {
    CommandValue v;
    const int result = QueryCommand(cmdId, v, timeoutMs);
    value = v.integerValue;
    return result;
}

int Command::ReadString(int cmdId, std::string& text, int timeoutMs) {
    CommandValue v;
    const int result = QueryCommand(cmdId, v, timeoutMs);
    text = v.text;
    return result;
}

int Command::FindRow(int ctrlId) const {
    const std::span<ControlEntry> rows = m_rows;
    const auto it = std::find_if(rows.begin(), rows.end(),
                                 [ctrlId](const ControlEntry& entry) { return entry.ctrlId == ctrlId; });
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int Command::RowOrError(int ctrlId, const char* function) const {
    const int row = FindRow(ctrlId);
    if (row < 0 && m_events) m_events->UnknownId(function, ctrlId);
    return row;
}

int Command::GetDataValue(int ctrlId) {
    const int row = RowOrError(ctrlId, "GetDataValue");
    return row < 0 ? -1 : m_rows[static_cast<std::size_t>(row)].value;
}

int Command::SetDataValue(int ctrlId, int value) {
    const int row = RowOrError(ctrlId, "SetDataValue");
    if (row < 0) return 0;
    m_rows[static_cast<std::size_t>(row)].value = value;
    return 1;
}

int Command::GetSavedDataValue(int ctrlId) {
    // The saved value's lookup has always reported itself under GetDataValue's name.
    const int row = RowOrError(ctrlId, "GetDataValue");
    return row < 0 ? -1 : m_rows[static_cast<std::size_t>(row)].savedValue;
}

void Command::SaveDataValues() {
    for (ControlEntry& entry : m_rows) entry.savedValue = entry.value;
}

int Command::ToCmdId(int ctrlId) {
    const int row = RowOrError(ctrlId, "ToCmdId");
    return row < 0 ? -1 : m_rows[static_cast<std::size_t>(row)].cmdId;
}

int Command::ToCtrlId(int cmdId) {
    for (const ControlEntry& entry : m_rows) {
        if (entry.cmdId == cmdId) return entry.ctrlId;
    }
    if (m_events) m_events->UnknownId("ToCtrlId", cmdId);
    return -1;
}

int Command::CtrlId2TblIndex(int ctrlId) {
    return RowOrError(ctrlId, "CtrlId2TblIndex");
}

int Command::GetCtrlOption(int ctrlId) {
    const int row = CtrlId2TblIndex(ctrlId);
    return row < 0 ? -1 : m_rows[static_cast<std::size_t>(row)].option;
}

int Command::GetDataRange(int ctrlId, int& minimum, int& maximum) {
    const int row = CtrlId2TblIndex(ctrlId);
    if (row < 0) return 0;
    minimum = m_rows[static_cast<std::size_t>(row)].minimum;
    maximum = m_rows[static_cast<std::size_t>(row)].maximum;
    return 1;
}

int Command::IsValueParam(int row) const {
    // Rows outside the table are no parameters rather than a read past its end.
    if (row < 0 || row >= kControlCount) return 0;
    return m_rows[static_cast<std::size_t>(row)].kind != Button ? 1 : 0;
}

int Command::CountValueParams() {
    if (m_valueParamCount < 0) {
        m_valueParamCount = 0;
        for (std::size_t row = 0; row < m_rows.size(); ++row) {
            m_valueParamCount += IsValueParam(static_cast<int>(row));
        }
    }
    return m_valueParamCount;
}

int Command::CountUserValueParams() {
    if (m_userValueParamCount < 0) {
        m_userValueParamCount = 0;
        const std::span<ControlEntry> rows = m_rows;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (IsValueParam(static_cast<int>(row)) && rows[row].group == User) ++m_userValueParamCount;
        }
    }
    return m_userValueParamCount;
}

}  // namespace vela
