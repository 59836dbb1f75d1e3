#include "tests/support/VirtualDisplay.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <poll.h>

namespace
{
// Xvfb asked to stop before its signal handlers are set (a loaded machine) may never exit:
// after five seconds it is killed.
void stopServer(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int waited = 0; waited < 500; ++waited)
    {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
} // namespace

VirtualDisplay::VirtualDisplay()
{
    int fds[2];
    if (pipe(fds) != 0)
    {
        m_error = "pipe failed";
        return;
    }
    const pid_t pid = fork();
    if (pid == 0)
    {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp", "-screen", "0",
                              "1024x768x24", nullptr};
        execvp("Xvfb", const_cast<char* const*>(argv));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0)
    {
        close(fds[0]);
        m_error = "fork failed";
        return;
    }
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 30000) > 0)
    {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty())
    {
        stopServer(pid);
        m_error = "Xvfb did not start (is the xvfb package installed?)";
        return;
    }
    m_pid = pid;
    m_name = ":" + number;
    setenv("DISPLAY", m_name.c_str(), 1);
}

VirtualDisplay::~VirtualDisplay()
{
    if (m_pid <= 0)
        return;
    stopServer(m_pid);
}
