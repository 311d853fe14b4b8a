// Forked children for tests of what a process does once (opening its log, crashing).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace testsupport {

// Runs body in a forked child that ends with _exit(0) after it; returns the wait status.
int inChild(const std::function<void()>& body);

}  // namespace testsupport
