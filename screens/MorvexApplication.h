#pragma once

namespace morvex {

/// The desktop program from start to end: one running copy per user, the main window, the event loop.
class MorvexApplication
{
public:
    MorvexApplication() = delete;

    /// Runs the program and returns its exit code. A second copy hands over to the first and ends at once.
    static int run(int argc, char** argv);
};

} // namespace morvex
