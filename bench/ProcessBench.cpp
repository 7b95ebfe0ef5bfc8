#include "ProcessBench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <poll.h>
#include <unistd.h>

extern char **environ;

namespace ProcessBench {

Run run(const std::vector<std::string> &argv, const std::string &stdinFile)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, stdinFile.empty() ? "/dev/null" : stdinFile.c_str(),
                                     O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    Run result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return result;
    }
    // A program that never ends (a modal dialog waiting for an answer, say)
    // is killed after the time limit, so the benchmark fails instead of
    // waiting for ever. The wait blocks on the process's descriptor, so it
    // takes no time from the program being timed.
    const int pidfd = int(syscall(SYS_pidfd_open, pid, 0));
    pollfd ended{pidfd, POLLIN, 0};
    if (pidfd >= 0 && poll(&ended, 1, int(std::chrono::milliseconds(TimeLimit).count())) == 0) {
        kill(pid, SIGKILL);
        std::fprintf(stderr, "%s did not end within %lld s and was killed\n", args[0],
                     static_cast<long long>(TimeLimit.count()));
    }
    if (pidfd >= 0)
        close(pidfd);
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    result.milliseconds = std::chrono::duration<double, std::milli>(end - start).count();
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    result.cpuMilliseconds = ms(usage.ru_utime) + ms(usage.ru_stime);
    result.peakMiB = double(usage.ru_maxrss) / 1024.0;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string ownFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool compare(const char *label, const std::vector<std::string> &a, const std::vector<std::string> &b,
             int pairs, const std::string &stdinFile)
{
    // One untimed run of each fills the file system cache.
    run(a, stdinFile);
    run(b, stdinFile);
    std::vector<double> timeA, timeB, memA, memB, timeRatio, cpuRatio, memRatio;
    for (int i = 0; i < pairs; ++i) {
        // Alternate which one goes first, so neither always runs warmer.
        const bool aFirst = i % 2 == 0;
        Run ra, rb;
        if (aFirst) {
            ra = run(a, stdinFile);
            rb = run(b, stdinFile);
        } else {
            rb = run(b, stdinFile);
            ra = run(a, stdinFile);
        }
        if (ra.exitCode != 0 || rb.exitCode != 0) {
            std::fprintf(stderr, "%s: a run failed (exit %d and %d)\n", label, ra.exitCode, rb.exitCode);
            return false;
        }
        timeA.push_back(ra.milliseconds);
        timeB.push_back(rb.milliseconds);
        memA.push_back(ra.peakMiB);
        memB.push_back(rb.peakMiB);
        timeRatio.push_back(ra.milliseconds / rb.milliseconds);
        if (rb.cpuMilliseconds > 0)
            cpuRatio.push_back(ra.cpuMilliseconds / rb.cpuMilliseconds);
        memRatio.push_back(ra.peakMiB / rb.peakMiB);
    }
    std::printf("%-10s %7.1f ms vs %6.1f ms  time ratio %.2f (CPU %.2f)   %6.1f MiB vs %5.1f MiB  memory ratio %.2f"
                "   (%d pairs)\n",
                label, median(timeA), median(timeB), median(timeRatio), median(cpuRatio), median(memA),
                median(memB), median(memRatio), pairs);
    std::fflush(stdout);
    return true;
}

int pairsArgument(int argc, char **argv, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--pairs") == 0)
            return std::max(1, std::atoi(argv[i + 1]));
    }
    return fallback;
}

} // namespace ProcessBench
