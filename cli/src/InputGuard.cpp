#include "InputGuard.h"

#include "morvex/AtomicFile.h"
#include "morvex/ExitCode.h"

#include <unistd.h>

namespace morvex {

namespace {

extern "C" void onBusError(int)
{
    static const char message[] = "morvex-cli: the input file changed while it was being read\n";
    // Only async-signal-safe calls here. Files may be being written from the input: none is left half-done.
    removeTemporaryFilesNow();
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(exitBadInput);
}

extern "C" void onInterrupt(int signal)
{
    removeTemporaryFilesNow();
    ::_exit(128 + signal);
}

} // namespace

void removeTemporaryFilesOnInterrupt()
{
    struct sigaction action
    {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, signal);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

InputGuard::InputGuard()
{
    struct sigaction action
    {};
    action.sa_handler = onBusError;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &m_previous);
}

InputGuard::~InputGuard()
{
    ::sigaction(SIGBUS, &m_previous, nullptr);
}

} // namespace morvex
