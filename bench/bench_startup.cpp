// Start-up to the first painted main window, against a bare Qt Widgets window
// built in the same tree (bare, and linked to the program's shared libraries):
// whole processes, interleaved, median of the ratios.
// Run: build/bin/bench_startup [--pairs N] [--display]
// Without --display both programs run on the offscreen platform; with it they
// open real windows on the X server of DISPLAY (with a window manager), as a
// user starts the program.

#include "ProcessBench.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

int main(int argc, char **argv)
{
    const int pairs = ProcessBench::pairsArgument(argc, argv, 60);
    bool onDisplay = false;
    for (int i = 1; i < argc; ++i)
        onDisplay = onDisplay || std::strcmp(argv[i], "--display") == 0;
    if (onDisplay) {
        if (!std::getenv("DISPLAY")) {
            std::fprintf(stderr, "bench_startup: --display needs DISPLAY, an X server with a window manager\n");
            return 2;
        }
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    // Settings and user data of a home of its own; the first, untimed run
    // makes whatever the program makes on its first start.
    char home[] = "/tmp/bench_startup.XXXXXX";
    if (!mkdtemp(home))
        return 1;
    const std::string base = home;
    for (const char *sub : {"/data", "/config", "/cache", "/run"})
        mkdir((base + sub).c_str(), 0700);
    setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (base + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (base + "/run").c_str(), 1);

    const std::string dir = ProcessBench::ownFolder();
    // Against an empty window, and against one that shows a line of text and
    // so loads the fonts as well.
    const bool ok = ProcessBench::compare("start-up", {dir + "/bench_startup_borvessa"},
                                          {dir + "/bench_bare_window"}, pairs)
        && ProcessBench::compare("vs text", {dir + "/bench_startup_borvessa"},
                                 {dir + "/bench_bare_window", "--text"}, pairs)
        && ProcessBench::compare("same libs", {dir + "/bench_startup_borvessa"},
                                 {dir + "/bench_bare_window_libs", "--text"}, pairs);
    std::system(("rm -rf '" + base + "'").c_str());
    return ok ? 0 : 1;
}
