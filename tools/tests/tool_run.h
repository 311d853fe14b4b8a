// Runs one of the build's tools with arguments and keeps what it printed and how it exited.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct ToolRun {
    int status = -1;     // exit code; -1 when the tool did not exit normally
    std::string output;  // stdout and stderr
};

inline ToolRun runTool(const std::string& program, const std::string& args) {
    ToolRun run;
    FILE* p = popen((program + " " + args + " 2>&1").c_str(), "r");
    if (!p) return run;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) run.output.append(buffer, n);
    const int status = pclose(p);
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}
