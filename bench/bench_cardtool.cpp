// The card tool's card commands on a bundled card, against a bare
// QCoreApplication that does nothing but loads the same shared libraries:
// whole processes, interleaved, median of the ratios. One last line compares
// a command with a QCoreApplication that loads Qt Core alone.
// Run: build/bin/bench_cardtool [--pairs N]

#include "ProcessBench.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>

int main(int argc, char **argv)
{
    const int pairs = ProcessBench::pairsArgument(argc, argv, 40);
    char home[] = "/tmp/bench_cardtool.XXXXXX";
    if (!mkdtemp(home))
        return 1;
    const std::string base = home;
    mkdir((base + "/run").c_str(), 0700);
    setenv("XDG_DATA_HOME", base.c_str(), 1);
    setenv("XDG_CONFIG_HOME", base.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (base + "/run").c_str(), 1);

    const std::string dir = ProcessBench::ownFolder();
    const std::string tool = dir + "/borvessa-card";
    const std::string card = base + "/Canada.qcf";
    const std::string copy = base + "/Copy.qcf";
    const std::string text = base + "/Canada.txt";
    const std::string prepare = "cp '" + dir + "/Canada.qcf' '" + card + "' && cp '" + card + "' '" + copy
        + "' && '" + tool + "' decrypt '" + card + "' > '" + text + "'";
    if (std::system(prepare.c_str()) != 0) {
        std::fprintf(stderr, "cannot prepare the cards in %s\n", base.c_str());
        return 1;
    }

    const std::vector<std::string> bare = {dir + "/bench_bare_coreapp"};
    bool ok = ProcessBench::compare("decrypt", {tool, "decrypt", card}, bare, pairs)
        && ProcessBench::compare("encrypt", {tool, "encrypt", base + "/New.qcf"}, bare, pairs, text)
        && ProcessBench::compare("show", {tool, "show", card}, bare, pairs)
        && ProcessBench::compare("check", {tool, "check", card}, bare, pairs)
        && ProcessBench::compare("get", {tool, "get", card, "553"}, bare, pairs)
        && ProcessBench::compare("set", {tool, "set", copy, "553", "EnlargeFactor:1"}, bare, pairs)
        && ProcessBench::compare("get, Qt Core", {tool, "get", card, "553"}, {dir + "/bench_bare_coreapp_core"}, pairs);
    std::system(("rm -rf '" + base + "'").c_str());
    return ok ? 0 : 1;
}
