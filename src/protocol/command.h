#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "protocol/commandtable.h"
#include "protocol/onlinestatusregistry.h"
#include "protocol/result.h"

namespace vela {

class Deadline;

class SerialLink;

// What an engine tells its owner while a transaction runs, at the moment it happens: the
// window shows each as a box, vela-cli and the tests read the results instead. An engine
// without a listener tells nobody.
class CommandEvents {
  public:
    virtual ~CommandEvents() = default;
    // A 1-or-0 transaction (WriteCommand, QueryCommand and the rest) met an answer other
    // than the one asked for; `query` when the line sent was a query.
    virtual void Refused(const Result& result, bool query) = 0;
    // kLineBufferSize bytes came without a line end; they were thrown away.
    virtual void ReceiveOverflow() = 0;
    // A lookup named a control id (or a command id, in ToCtrlId) that no row has: a fault
    // in the caller. `function` is the lookup's name.
    virtual void UnknownId(const std::string& function, int id) = 0;
    // The camera answered the model query with a model this tool does not support.
    virtual void UnsupportedModel(const std::string& answer) = 0;
};

// A value passed into and out of a transaction.
struct CommandValue {
    ValueKind kind = ValueKind::Integer;
    int integerValue = 0;  // for Decimal commands: value x 10^decimals, truncated
    double realValue = 0.0;
    std::string text;
};

// One received or stored line, taken apart.
struct ParsedLine {
    std::string rawLine;    // without spaces, CR and LF; case kept
    std::string name;       // upper-cased
    char op = 0;            // '=' or '?'
    std::string valueText;  // upper-cased; after '=' it ends before the line's first ','
    int cmdId = -1;
    int decimals = 0;
    int error = 0;  // 1: no operator, or a name that is not in the command table
    CommandValue value;
};

// The protocol engine: formats command lines, sends them through the serial link,
// assembles the answer bytes into lines and checks them. Transactions block the caller
// until an answer line or the time-out; results are 1 for success and 0 for failure.
// The value store over the control table lives here too.
class Command {
  public:
    static constexpr int kLineBufferSize = 1024;
    static constexpr int kTimerPeriodMs = 25;
    static constexpr int kPollStepMs = 20;
    static constexpr std::uint32_t kByteTimeoutMs = 10;

    // An engine with a value table and an online state of its own, the table as the
    // control table starts: one camera's session, any number of them in a process.
    explicit Command(SerialLink& link);
    // An engine over the given value table and online state (the window's, over the
    // process-wide ones).
    Command(SerialLink& link, std::span<ControlEntry> rows, OnlineStatusRegistry& online);
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // The process-wide engine, over SerialLink::Instance().
    static Command& Instance();
    // The listener of that engine, now or once it is made.
    static void SetInstanceEvents(CommandEvents* events);

    // Starts the periodic receive timer: `startTimer` is called once and must arrange for
    // OnTimer() to run every kTimerPeriodMs on the thread that runs the transactions.
    void Create(const std::function<void()>& startTimer);
    bool IsCreated() const { return m_created; }
    // The timer handler: collects and logs whatever arrived between transactions. It takes
    // only the bytes already there: nobody waits for an answer then, and a wait for a byte
    // that is not coming would hold up the windows (and the next transaction) at every tick.
    // The rest of a line still arriving is taken by the next tick.
    void OnTimer();

    // Line formats. Invalid command ids give an empty line.
    std::string FormatSetLine(int cmdId, const CommandValue& value, bool appendCrLf) const;
    std::string FormatQueryLine(int cmdId, bool appendCrLf) const;
    static int ParseLine(const std::string& line, ParsedLine& p);
    // ParseLine, handing out its fields only on success; 0 and nothing assigned otherwise.
    static int ParseValueLine(const std::string& line, int& cmdId, std::string& name, int& integerValue,
                              std::string& text);

    // The received-line queue. PopLine gives "" when the queue is empty.
    std::string PopLine();
    int PopAndParseLine(ParsedLine& p);
    void ClearReceived();
    std::size_t ReceivedLineCount() const { return m_receivedLines.size(); }
    // Drains the bytes that are waiting; 1 when a complete line was queued.
    int ReceiveLine(int log);
    // Where ReceiveLine takes its bytes: one byte into `byte`, 1 if one came. By default the
    // serial link with a 10 ms time-out; the fuzzer feeds its own bytes without the wait.
    using ByteSource = std::function<int(char* byte)>;
    void SetByteSource(ByteSource source) { m_byteSource = std::move(source); }

    // Transactions that say what happened and show nothing; timeouts in milliseconds.
    Result Write(int cmdId, const CommandValue& value, int timeoutMs);
    // Formatted as a text command for this one transaction, whatever the table says.
    Result WriteText(int cmdId, const std::string& text, int timeoutMs);
    Result Query(int cmdId, CommandValue& value, int timeoutMs);
    // What the last transaction did, the last one that failed, and how many have failed so
    // far (either form counts), for a caller that runs a camera procedure and reports its
    // outcome itself.
    const Result& LastResult() const { return m_lastResult; }
    const Result& LastFailure() const { return m_lastFailure; }
    int FailedTransactions() const { return m_failedTransactions; }
    // The last line a transaction sent, without its line end; a box shown during the
    // transaction concerns it.
    const std::string& LastSent() const { return m_lastSent; }

    // The same, 1 or 0; what the camera answered wrongly also goes to the listener
    // (silence does not: the online bar says it).
    int WaitComplete(int timeoutMs);
    int WriteCommand(int cmdId, const CommandValue& value, int timeoutMs);
    int QueryCommand(int cmdId, CommandValue& value, int timeoutMs);
    int WriteValue(int cmdId, int value, int timeoutMs);
    int WriteString(int cmdId, const std::string& text, int timeoutMs);
    int ReadValue(int cmdId, int& value, int timeoutMs);
    int ReadString(int cmdId, std::string& text, int timeoutMs);
    // Fast answers: a transaction takes its answer the moment the line is complete instead
    // of looking for it 20 ms after sending and every 20 ms after that. Off by default: a
    // camera's firmware may rely on the tool's pace. The lines, their order and the time-outs
    // stay the same either way.
    void SetFastAnswers(bool fast);
    // Who hears of refusals, overflows and unknown ids; nullptr for nobody. Not owned.
    void SetEvents(CommandEvents* events) { m_events = events; }
    CommandEvents* Events() const { return m_events; }
    bool FastAnswers() const { return m_fastAnswers; }
    // How many lines the transactions have put on the wire.
    std::uint64_t LinesWritten() const { return m_linesWritten; }

    // The value store and the lookups over the control table.
    std::span<ControlEntry> Rows() const { return m_rows; }
    // Whether the camera answered the last transaction, and the bars that show it.
    OnlineStatusRegistry& Online() const { return m_online; }
    int GetDataValue(int ctrlId);
    int SetDataValue(int ctrlId, int value);
    int GetSavedDataValue(int ctrlId);
    void SaveDataValues();
    int ToCmdId(int ctrlId);
    int ToCtrlId(int cmdId);
    int CtrlId2TblIndex(int ctrlId);
    int GetCtrlOption(int ctrlId);
    int GetDataRange(int ctrlId, int& minimum, int& maximum);
    int IsValueParam(int row) const;
    int CountValueParams();
    int CountUserValueParams();

  private:
    std::string FormatSetLineAs(int cmdId, ValueKind kind, const CommandValue& value, bool appendCrLf) const;
    Result SendLine(const std::string& line, int timeoutMs);
    Result AwaitComplete(const std::string& sent, int timeoutMs);
    int Reported(const Result& result, bool query) const;
    Result Noted(Result result);
    Result AskFor(int cmdId, CommandValue& value, int timeoutMs);
    // ReceiveLine with each byte's read waiting up to `byteTimeoutMs`.
    // With a deadline, each byte's read waits until then instead.
    int Receive(int log, std::uint32_t byteTimeoutMs, const Deadline* deadline = nullptr);
    // Sleeps and receives until a line is complete; false at the time-out.
    bool WaitForLine(int timeoutMs);
    int FindRow(int ctrlId) const;
    // FindRow; when no row has the id, the listener hears of it first.
    int RowOrError(int ctrlId, const char* function) const;

    SerialLink& m_link;
    std::vector<ControlEntry> m_ownRows;
    std::span<ControlEntry> m_rows;
    std::unique_ptr<OnlineStatusRegistry> m_ownOnline;
    OnlineStatusRegistry& m_online;
    char m_lineBuffer[kLineBufferSize] = {};
    int m_count = 0;
    std::deque<std::string> m_receivedLines;
    ByteSource m_byteSource;
    bool m_created = false;
    bool m_fastAnswers = false;
    CommandEvents* m_events = nullptr;
    Result m_lastResult;
    Result m_lastFailure;
    int m_failedTransactions = 0;
    std::string m_lastSent;
    std::uint64_t m_linesWritten = 0;
    int m_valueParamCount = -1;
    int m_userValueParamCount = -1;
};

}  // namespace vela
