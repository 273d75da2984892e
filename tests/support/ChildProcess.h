#pragma once

// Running part of a test in a forked child: under another user, or under a resource limit that
// must not touch the test program itself. The child reports through a pipe, never through
// GoogleTest (its results would be lost with the child).

#include <cerrno>
#include <cstdio>
#include <grp.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct ChildResult {
    bool exited = false; // normally, through _exit
    int code = -1;
    std::string output; // what the child wrote
};

// Runs body(output) in a forked child, which ends with body's return value as its exit code.
template <class Body> ChildResult RunInChild(Body body) {
    ChildResult result;
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    std::fflush(nullptr); // nothing buffered may be written twice
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return result;
    }
    if (pid == 0) {
        close(fds[0]);
        std::string out;
        int code = 0;
        try {
            code = body(out);
        } catch (...) {
            code = 125;
        }
        for (std::size_t done = 0; done < out.size();) {
            const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
        _exit(code); // no destructors, atexit handlers or leak checks of the parent's state
    }
    close(fds[1]);
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        result.output.append(buffer, std::size_t(n));
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exited = WIFEXITED(status);
    result.code = result.exited ? WEXITSTATUS(status) : -1;
    return result;
}

// In a child: as root, becomes the unprivileged user "nobody" (65534) for good, so that file
// permissions apply; any other user is subject to them already. False when that fails.
inline bool DropRoot() {
    if (geteuid() != 0)
        return true;
    constexpr uid_t kNobody = 65534;
    return setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
           setresuid(kNobody, kNobody, kNobody) == 0 && geteuid() == kNobody;
}
