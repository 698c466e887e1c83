#pragma once

#include <string>

namespace vela {

// A request to end the run: made by a signal (SIGINT, SIGTERM, SIGHUP) or by the desktop
// ending the session. Transactions refuse to start once it is made, long operations end at
// their next transaction boundary, and message boxes are no longer shown (their text goes
// to stderr), so that nothing holds the run open while it ends.
bool StopRequested() noexcept;
// The signal that asked; 0 when the request came from elsewhere or was not made.
int StopSignal() noexcept;
// Safe to call from a signal handler.
void RequestStop(int signal) noexcept;
// Forgets the request (tests).
void ClearStopRequest() noexcept;

// Installs handlers for SIGINT, SIGTERM and SIGHUP that only note the request and write one
// byte into a pipe. Returns the pipe's reading end (non-blocking, close-on-exec) for an event
// loop to watch; -1 when the pipe could not be made (the request is still noted). Once only
// per process; later calls return the same descriptor.
int InstallStopSignals();
// Empties the pipe after the event loop saw it readable.
void DrainStopPipe(int fd);

// "SIGINT", "SIGTERM", ...; "signal N" for others.
std::string SignalName(int signal);

}  // namespace vela
