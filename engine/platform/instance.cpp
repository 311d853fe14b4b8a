// One running copy per user folder: a lock file held with flock, and a local socket beside it
// through which a second start asks the first to bring its window back.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <thread>

#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "engine/platform/platform_internal.h"

namespace {

constexpr char kRequest = 'R';
constexpr char kAnswer = 'K';
// How long either side waits for the other before giving up.
constexpr int kReplyTimeoutMs = 2000;

struct Instance {
    int lockFd = -1;
    int listenFd = -1;
    int wakePipe[2] = {-1, -1};
    char socketPath[sizeof(sockaddr_un::sun_path)] = {};
    std::thread listener;
};

Instance gInstance;

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

bool makeAddress(const char* path, sockaddr_un* address) {
    memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (strlen(path) >= sizeof address->sun_path) return false;
    strcpy(address->sun_path, path);
    return true;
}

bool waitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    int n;
    do n = poll(&p, 1, timeoutMs); while (n < 0 && errno == EINTR);
    return n == 1;
}

void serve(int client) {
    char request = 0;
    if (waitReadable(client, kReplyTimeoutMs) && read(client, &request, 1) == 1 &&
        request == kRequest && platPushRestoreRequest()) {
        send(client, &kAnswer, 1, MSG_NOSIGNAL);
    }
    close(client);
}

void listenLoop(int listenFd, int wakeFd) {
    for (;;) {
        pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) {
            int client = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) serve(client);
        }
    }
}

// Opens the socket the second start will call; without it the lock still works.
void startListener(const char* path) {
    sockaddr_un address;
    if (!makeAddress(path, &address)) {
        logPrintf("Single instance: the path %s is too long for a socket\n", path);
        return;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    // Holding the lock makes any socket file left here stale.
    unlink(path);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0 ||
        pipe2(gInstance.wakePipe, O_CLOEXEC) != 0) {
        logPrintf("Single instance: no socket at %s: %s\n", path, strerror(errno));
        close(fd);
        return;
    }
    gInstance.listenFd = fd;
    strcpy(gInstance.socketPath, path);
    gInstance.listener = std::thread(listenLoop, fd, gInstance.wakePipe[0]);
}

// Asks the instance that holds the lock to restore its window; true when it confirmed.
bool askFirst(const char* path) {
    sockaddr_un address;
    if (!makeAddress(path, &address)) return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    char answer = 0;
    bool done = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                send(fd, &kRequest, 1, MSG_NOSIGNAL) == 1 && waitReadable(fd, kReplyTimeoutMs) &&
                read(fd, &answer, 1) == 1 && answer == kAnswer;
    close(fd);
    return done;
}

}  // namespace

PlatInstance platInstanceAcquire(const char* folder) {
    if (!folder || !*folder) {
        logPrintf("Single instance: no folder for the lock\n");
        return PLAT_INSTANCE_ERROR;
    }
    char lockPath[4096], socketPath[4096];
    if (snprintf(lockPath, sizeof lockPath, "%s/instance.lock", folder) >= int(sizeof lockPath) ||
        snprintf(socketPath, sizeof socketPath, "%s/instance.sock", folder) >= int(sizeof socketPath)) {
        logPrintf("Single instance: the folder name is too long\n");
        return PLAT_INSTANCE_ERROR;
    }
    int fd = open(lockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        logPrintf("Single instance: cannot open %s: %s\n", lockPath, strerror(errno));
        return PLAT_INSTANCE_ERROR;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (gInstance.lockFd >= 0) platInstanceRelease();
        gInstance.lockFd = fd;
        startListener(socketPath);
        return PLAT_INSTANCE_FIRST;
    }
    int error = errno;
    close(fd);
    if (error != EWOULDBLOCK) {
        logPrintf("Single instance: cannot lock %s: %s\n", lockPath, strerror(error));
        return PLAT_INSTANCE_ERROR;
    }
    if (askFirst(socketPath)) return PLAT_INSTANCE_RESTORED;
    logPrintf("Single instance: another instance is running and did not answer\n");
    return PLAT_INSTANCE_OTHER;
}

void platInstanceRelease() {
    if (gInstance.listener.joinable()) {
        char wake = 1;
        ssize_t written = write(gInstance.wakePipe[1], &wake, 1);
        (void)written;
        gInstance.listener.join();
    }
    closeFd(gInstance.wakePipe[0]);
    closeFd(gInstance.wakePipe[1]);
    if (gInstance.listenFd >= 0) {
        closeFd(gInstance.listenFd);
        unlink(gInstance.socketPath);
        gInstance.socketPath[0] = 0;
    }
    // Closing the only descriptor drops the lock; the file stays, as removing it would race.
    closeFd(gInstance.lockFd);
}
