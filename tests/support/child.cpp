// Forked children for tests of what a process does once.
#include "tests/support/child.h"

#include <cstdio>

namespace testsupport {

int inChild(const std::function<void()>& body) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

}  // namespace testsupport
