// A private X server for tests that open windows: Xvfb on a free display number, chosen by
// the server itself, set as DISPLAY for the process while it runs.
#pragma once

#include <string>
#include <sys/types.h>

class VirtualDisplay
{
public:
    // Starts Xvfb (without a window manager; it keeps its atoms between clients). When it
    // cannot be started, isRunning() is false and the reason is in error().
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool isRunning() const { return m_pid > 0; }
    const std::string& name() const { return m_name; } // ":N"
    const std::string& error() const { return m_error; }

private:
    pid_t m_pid = -1;
    std::string m_name;
    std::string m_error;
};
