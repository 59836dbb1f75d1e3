// Runs the built `crumlet` as a separate process, the way scripts and pipelines use it:
// arguments in, exit code and both output streams back.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct ProcessResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CrumletProcess
{
public:
    // Starts crumlet with the arguments; its output streams go to files read at wait().
    explicit CrumletProcess(const std::vector<std::string>& args);
    ~CrumletProcess();

    void signal(int number) const;
    // Waits for the process to end.
    ProcessResult wait();
    // True while it runs.
    bool running();

private:
    pid_t m_pid = -1;
    std::string m_outPath, m_errPath;
    int m_status = 0;
    bool m_done = false;
};

// Runs crumlet to completion.
ProcessResult runCrumlet(const std::vector<std::string>& args);
