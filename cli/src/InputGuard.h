#pragma once

#include <csignal>

namespace morvex {

/// While alive, turns a SIGBUS into a clean exit with status 1 and a message.
///
/// A mapped input file that another program truncates while it is read raises SIGBUS on the pages it lost.
/// The files are written while the input is still read; the exit removes the temporary file being written, so
/// the files already in place stay whole and nothing half-written is left.
class InputGuard
{
public:
    InputGuard();
    ~InputGuard();
    InputGuard(const InputGuard&) = delete;
    InputGuard& operator=(const InputGuard&) = delete;

private:
    struct sigaction m_previous
    {};
};

/// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files being written and end the process with 128 plus
/// the signal's number (130, 143, 129), so an interrupted run leaves nothing behind.
void removeTemporaryFilesOnInterrupt();

} // namespace morvex
