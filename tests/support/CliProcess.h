#pragma once

// The real morvex-cli as a process, for every test that needs one (MORVEX_CLI_PATH names it).

#include "TempDir.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace morvex::test {

/// What a finished process left behind.
struct Process
{
    int exit = -1;
    std::string out;
    std::string err;
};

/// Runs in the child between fork and exec; a non-zero result ends the child with that code instead.
using ChildSetup = std::function<int()>;

/// The exit code a child uses to say that its setup (a mount, a limit) is not possible here.
inline constexpr int setupImpossible = 77;

/// Longer than any run of the command line here takes, even under the sanitizers.
inline constexpr unsigned cliWatchdogSeconds = 120;

/// Runs the real morvex-cli with `arguments`, `input` on standard input, and a private home and configuration
/// folder under `dir`, so that nothing of the real user's is read or written. `setup` runs first in a child
/// process of the test (mounts made there are private to it and the command line); `collect` runs in that child
/// once the command line has ended, while those mounts still stand. `extraEnvironment` adds NAME=value entries.
inline Process runCliProcess(const TempDir& dir, const std::vector<std::string>& arguments, const std::string& input,
                             const ChildSetup& setup = {}, const std::function<void()>& collect = {},
                             const std::filesystem::path& standardOutput = {},
                             const std::vector<std::string>& extraEnvironment = {})
{
    const auto inFile = dir / "stdin";
    const auto outFile = standardOutput.empty() ? dir / "stdout" : standardOutput;
    const auto errFile = dir / "stderr";
    writeFile(inFile, input);
    std::vector<std::string> environment = {"HOME=" + dir.path().string(),
                                            "XDG_CONFIG_HOME=" + (dir / "config").string(), "PATH=/usr/bin:/bin"};
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    const pid_t child = ::fork();
    if (child == 0) {
        if (setup) {
            if (const int failed = setup())
                ::_exit(failed);
        }
        const pid_t cli = ::fork();
        if (cli == 0) {
            ::alarm(cliWatchdogSeconds); // a command line that hangs is killed, and the test sees SIGALRM
            const int in = ::open(inFile.c_str(), O_RDONLY);
            const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | (standardOutput.empty() ? O_TRUNC : 0), 0644);
            const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0 || err < 0)
                ::_exit(126);
            ::dup2(in, 0);
            ::dup2(out, 1);
            ::dup2(err, 2);
            std::string program = MORVEX_CLI_PATH;
            std::vector<std::string> copies = arguments;
            std::vector<char*> argv{program.data()};
            for (auto& argument : copies)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            std::vector<char*> envp(environment.size() + 1); // ends in nullptr
            std::transform(environment.begin(), environment.end(), envp.begin(), [](auto& e) { return e.data(); });
            ::execve(program.c_str(), argv.data(), envp.data());
            ::_exit(127);
        }
        int status = 0;
        while (::waitpid(cli, &status, 0) < 0 && errno == EINTR) {
        }
        if (collect)
            collect();
        ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    Process result;
    result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::error_code ignored;
    if (standardOutput.empty() && std::filesystem::exists(outFile, ignored))
        result.out = readFile(outFile);
    if (std::filesystem::exists(errFile, ignored))
        result.err = readFile(errFile);
    return result;
}

/// Runs `body` in a child process and returns its exit code (128 + signal when it was killed).
inline int inChild(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

/// In the calling (child) process: a private mount namespace, so that mounts made next vanish with it.
inline bool privateMounts()
{
    return ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

/// Child setup: `folder` becomes read-only for this process and its children. As root (which ignores
/// permission bits) the folder is bind-mounted read-only in a private mount namespace.
inline ChildSetup readOnlyFolder(const std::filesystem::path& folder)
{
    return [folder] {
        if (::geteuid() != 0)
            return ::chmod(folder.c_str(), 0555) == 0 ? 0 : setupImpossible;
        if (!privateMounts() || ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            return setupImpossible;
        return 0;
    };
}

/// Child setup: `folder` becomes a fresh file system of `bytes` bytes (a tmpfs in a private mount namespace).
inline ChildSetup smallDisk(const std::filesystem::path& folder, std::size_t bytes)
{
    return [folder, bytes] {
        const std::string options = "size=" + std::to_string(bytes);
        if (!privateMounts() || ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return setupImpossible;
        return 0;
    };
}

/// Child setup: no file may grow past `bytes`; a write beyond fails with EFBIG instead of raising SIGXFSZ.
inline ChildSetup fileSizeLimit(rlim_t bytes)
{
    return [bytes] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = bytes;
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? 0 : setupImpossible;
    };
}

} // namespace morvex::test
