#pragma once

#include <termios.h>

namespace vela {

// The termios speed for a baud rate a serial port may be set to; B0 for any other rate.
speed_t SpeedForBaud(int baudRate);
// The baud rate a termios speed stands for; 0 for a speed not in that list.
int BaudForSpeed(speed_t speed);

}  // namespace vela
