#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vela::sim {

// How a simulated camera is built. Every field has a value that makes a plausible
// VELA-4K-MONO at 9600 bit/s that answers at once.
struct CameraOptions {
    std::string model = "VELA-4K-MONO";         // answer to MD; any text makes an unsupported model
    int baudRate = 9600;                        // bit/s it listens at when powered on: 9600..115200
    int processingDelayMs = 0;                  // time between a received line and its answer, every command
    std::map<std::string, int> commandDelayMs;  // extra time by command name (upper case), e.g. {"LD", 800}
    int recalibrationMs = 300;                  // how long a recalibration runs; its status reads 0 meanwhile
    int recalibrationResult = 1;       // status once it has run: 1 ok, 2 too bright, 3 too dark, 4 time-out
    int recalibrationStartMs = 0;      // extra time before a recalibration start answers COMPLETE
    int onePushMs = 100;               // AR: time before it answers; LR takes its new value then
    long long onePushLineRate = 2500;  // the line period (10 ns units) that AR measures
    int flashMs = 0;                   // extra time SA, SA00 and LD take before they answer
    int resetMs = 0;                   // after CRS00 the camera ignores every line for this long
    int firmwareVersion = 123;         // VN, shown as 1.23
    int fpgaVersion = 105;             // PV, shown as 1.05
    std::string cameraId = "VC00000001";    // ID, ten characters
    std::string userId = "STATION-1";       // UD, up to sixteen characters
    std::string deviceVersion = "1.0.2.0";  // DV, four dotted parts
    int xmlVersion = 110;                   // XMLVR: 100 a + 10 b + c for a.b.c
    // Monotonic milliseconds; the steady clock when empty. Tests inject their own.
    std::function<long long()> clockMs;
};

// The camera: its commands, parameter ranges, flash areas, LUT and identity. It turns one
// received line into its answer lines and keeps the state a real camera keeps. It keeps its
// own command definitions, independent of the tool's tables, so that a slip in either shows.
//
// Not thread-safe: PtyCamera calls it under a lock.
class CameraCore {
  public:
    static constexpr int kLutSize = 256;
    static constexpr int kAreaCount = 4;
    static constexpr long long kUnlockCode = 5170362;
    static constexpr int kCommandCount = 90;

    explicit CameraCore(CameraOptions options = {});

    // One received line without its CR LF in, the answer lines without CR LF out: usually
    // exactly one ("NAME=value", "COMPLETE" or "ERROR"); none for an empty line or while
    // the camera restarts after CRS00.
    std::vector<std::string> HandleLine(const std::string& line);
    // How long the camera takes before it sends the answer to the line HandleLine saw last.
    int AnswerDelayMs() const { return m_answerDelayMs; }
    // Why the last line was refused; empty when it was not.
    const std::string& LastError() const { return m_lastError; }

    // The rate in bit/s the camera listens and answers at. An accepted CBDRT write does
    // not change it: its answer still goes out at the old rate, and the new rate waits in
    // PendingBaudRate() (0 when none) until whoever sent the answer calls
    // ApplyPendingBaudRate().
    int BaudRate() const { return m_baudRate; }
    int PendingBaudRate() const { return m_pendingBaudRate; }
    void ApplyPendingBaudRate();

    // What a query of `name` answers, for integer commands; nullopt for text commands and
    // unknown names. Names are case-insensitive.
    std::optional<long long> Value(const std::string& name) const;
    // The stored text of MD, ID, UD, DV, DVN (and of MD00, ID00, DV00); "" otherwise.
    std::string Text(const std::string& name) const;
    int Lut(int index) const;
    // Contents of a flash area (0 factory, 1-3 user).
    std::optional<long long> AreaValue(int area, const std::string& name) const;
    int AreaLut(int area, int index) const;
    // The area loaded last (what EA answers), and the area a restart loads.
    int CurrentArea() const { return m_loadedArea; }
    int BootArea() const;
    // True between an accepted ULCK and the next line.
    bool Unlocked() const { return m_unlocked; }

    // Setters for tests: they bypass the range checks but not the names; false for a name
    // that holds no such value.
    bool SetValue(const std::string& name, long long value);
    bool SetText(const std::string& name, const std::string& text);
    void SetModel(const std::string& model);
    void SetLut(int index, int value);
    void SetBaudRate(int baudRate);
    const CameraOptions& Options() const { return m_options; }
    void SetOptions(const CameraOptions& options);

    // The 90 command names in id order.
    static const std::vector<std::string>& CommandNames();
    // CBDRT codes 1, 2, 4, 8, 16 for 9600..115200 bit/s; 0 / 0 for anything else.
    static int BaudCode(int baudRate);
    static int RateFromCode(int code);

  private:
    // Values by command id; only the ids a flash area holds carry meaning in an area.
    using Values = std::array<long long, kCommandCount>;
    struct Area {
        Values values{};
        std::array<int, kLutSize> lut{};
    };
    struct Recalibration {
        long long runningUntil = -1;  // clock time it ends; -1 when none runs
        int result = 1;
    };

    long long Now() const;
    void Settle();
    std::vector<std::string> Query(const std::string& name);
    std::vector<std::string> Write(const std::string& name, const std::string& value);
    std::vector<std::string> Refuse(const std::string& why);
    std::optional<long long> QueryValue(const std::string& name) const;
    long long EffectiveLineRate() const;
    Area Snapshot() const;
    void LoadArea(int area);
    void Restart();
    int RecalibrationIndex(const std::string& name, bool status) const;

    CameraOptions m_options;
    int m_baudRate = 9600;
    int m_pendingBaudRate = 0;
    Values m_values{};
    std::array<int, kLutSize> m_lut{};
    std::array<Area, kAreaCount> m_areas;
    std::string m_model;
    std::string m_cameraId;
    std::string m_userId;
    std::string m_deviceVersion;
    int m_loadedArea = 0;
    int m_updateArea = 0;  // the area stored or loaded last; the boot area when BAS00 is 1
    bool m_unlocked = false;
    std::array<Recalibration, 6> m_recalibrations;
    long long m_onePushDue = -1;
    long long m_onePushValue = 0;
    long long m_silentUntil = -1;
    int m_answerDelayMs = 0;
    std::string m_lastError;
};

}  // namespace vela::sim
