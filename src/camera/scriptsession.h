#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/command.h"
#include "protocol/result.h"

namespace vela {

struct CameraSession;

// The pieces a script's conversation with one camera is made of, shared by vela-cli and
// the Python module so that both name ports, find the camera and show values alike.

// Link kinds as scripts name them: "com", "cl2000", "cl2001", "cl11"; "?" for none.
const char* LinkKindName(int kind);
// -1 when `name` is no link kind.
int LinkKindFromName(const std::string& name);

// A port as a script writes it: "COMn" (1-16, case-insensitive) is COM port n-1 and
// chooses the COM kind; a plain number 0-15 is a port index of any kind. False otherwise;
// `comName` tells which of the two it was.
bool ParsePortName(const std::string& text, int& index, bool& comName);
// The port's name in messages: "COMn" for the COM kind, the index for a library.
std::string PortNameOf(int kind, int index);

// The ports of one link kind by name: COM1..COM16, or what its Camera Link library
// reports (nothing when the library is missing). `link` is used to ask the library.
struct PortListing {
    std::string port;
    std::string device;
};
std::vector<PortListing> ListPorts(CameraSession& camera, int kind);

// Opens the session's link and finds the camera: the model at `baudRate`, or with
// `baudRate` 0 at 9600 bit/s and then by the window's search. Done; PortError (reason:
// what could not be opened), NoAnswer (sent: the model query), or Stopped.
Result ConnectCamera(CameraSession& camera, int kind, int port, int baudRate);

// The value of an answered query as the camera's own text would show it.
std::string ValueText(int cmdId, const CommandValue& value);
// A value typed as text, for a write of `cmdId`.
CommandValue ValueFromText(int cmdId, const std::string& text);

// Sends one raw line (the line end is added) and collects whatever comes back: the first
// byte may take `timeoutMs`, then a quiet spell of 300 ms ends the answer. CRs are
// dropped from `answer`. Done, or NoAnswer when nothing came.
Result SendRawLine(CameraSession& camera, const std::string& line, int timeoutMs, std::string& answer);

// The identity the About window shows plus the XML version of the factory page, as
// (name, text) in a fixed order: model, firmware, fpga, camera_id, user_id,
// device_version, xml_version. A field the camera did not give is empty.
using IdentityFields = std::vector<std::pair<const char*, std::optional<std::string>>>;
IdentityFields ReadIdentityFields(CameraSession& camera);

// The lines of a setting file the loader will pass over in `controlMode`, as (line
// number, text without its line end), said before the camera is touched; empty lines are
// left out. Nothing when the file cannot be opened.
std::optional<std::vector<std::pair<int, std::string>>> SkippedSettingLines(const std::string& path,
                                                                            int controlMode);

}  // namespace vela
