#include "transport/baudrate.h"

namespace vela {
namespace {

struct BaudSpeed {
    int baud;
    speed_t speed;
};
constexpr BaudSpeed kBaudSpeeds[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

}  // namespace

speed_t SpeedForBaud(int baudRate) {
    for (const BaudSpeed& entry : kBaudSpeeds)
        if (entry.baud == baudRate) return entry.speed;
    return B0;
}

int BaudForSpeed(speed_t speed) {
    for (const BaudSpeed& entry : kBaudSpeeds)
        if (entry.speed == speed) return entry.baud;
    return 0;
}

}  // namespace vela
