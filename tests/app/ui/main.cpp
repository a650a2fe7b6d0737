// The GL view tests need a real X display with GLX: they start their own Xvfb, so that they
// run the same on a desktop, in CI and under a sanitizer, and never touch the user's screen.
#include <QApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t startXvfb() {
    int fds[2];
    if (::pipe(fds) != 0) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x360x24",
                 "-nolisten", "tcp", static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(fds[1]);
    char number[16] = {};
    ssize_t got = 0;
    while (got < static_cast<ssize_t>(sizeof number) - 1) {
        const ssize_t n =
            ::read(fds[0], number + got, sizeof number - 1 - static_cast<size_t>(got));
        if (n <= 0 || number[got + n - 1] == '\n') {
            got += n > 0 ? n : 0;
            break;
        }
        got += n;
    }
    ::close(fds[0]);
    if (got <= 0) {
        return -1;
    }
    const std::string display = ":" + std::string(number, static_cast<size_t>(got - 1));
    ::setenv("DISPLAY", display.c_str(), 1);
    return pid;
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const pid_t xvfb = startXvfb();
    if (xvfb <= 0) {
        std::fprintf(stderr, "cannot start Xvfb\n");
        return 1;
    }
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    int result = 1;
    {
        QApplication application(argc, argv); // the settings windows are widgets
        result = RUN_ALL_TESTS();
    }
    ::kill(xvfb, SIGTERM);
    ::waitpid(xvfb, nullptr, 0);
    return result;
}
