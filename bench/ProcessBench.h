#pragma once

#include <chrono>
#include <string>
#include <vector>

// Whole-process timing for the start-up and card-tool benchmarks: each run
// starts a program, waits for it and records its wall time and peak memory.
namespace ProcessBench {

struct Run
{
    double milliseconds = 0;
    double cpuMilliseconds = 0; // user and system time: the wall time less its waits (for a disk, say)
    double peakMiB = 0; // the child's maximum resident set
    int exitCode = -1;  // -1 when it did not exit normally
};

// How long one run may take before it is killed.
inline constexpr std::chrono::seconds TimeLimit{30};

// Runs argv[0] (a path) with the arguments; standard input comes from
// stdinFile (or /dev/null), standard output and error go to /dev/null. A run
// past TimeLimit is killed and counts as failed.
Run run(const std::vector<std::string> &argv, const std::string &stdinFile = {});

// The folder of the running benchmark, where the programs it times are built.
std::string ownFolder();

double median(std::vector<double> values);

// Runs a and b alternately, pairs times, and prints the medians of each and
// the medians of the ratios a / b for wall time, CPU time and peak memory. Returns false
// (after saying so) if a run fails.
bool compare(const char *label, const std::vector<std::string> &a, const std::vector<std::string> &b,
             int pairs, const std::string &stdinFile = {});

// --pairs N from the command line, else the default.
int pairsArgument(int argc, char **argv, int fallback);

} // namespace ProcessBench
