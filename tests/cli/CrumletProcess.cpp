#include "CrumletProcess.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
std::string slurp(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string scratchName(const char* stream)
{
    static int counter = 0;
    return "/tmp/crumlet-process-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "." + stream;
}
} // namespace

CrumletProcess::CrumletProcess(const std::vector<std::string>& args)
    : m_outPath(scratchName("out")), m_errPath(scratchName("err"))
{
    m_pid = ::fork();
    if (m_pid == 0)
    {
        const int out = ::open(m_outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(CRUMLET_TOOL_PATH)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(CRUMLET_TOOL_PATH, argv.data());
        ::_exit(127);
    }
}

CrumletProcess::~CrumletProcess()
{
    if (!m_done && m_pid > 0)
    {
        ::kill(m_pid, SIGKILL);
        wait();
    }
    std::remove(m_outPath.c_str());
    std::remove(m_errPath.c_str());
}

void CrumletProcess::signal(int number) const
{
    ::kill(m_pid, number);
}

bool CrumletProcess::running()
{
    if (m_done)
        return false;
    if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid)
        m_done = true;
    return !m_done;
}

ProcessResult CrumletProcess::wait()
{
    if (!m_done)
    {
        ::waitpid(m_pid, &m_status, 0);
        m_done = true;
    }
    ProcessResult r;
    r.exitCode = WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
    r.out = slurp(m_outPath);
    r.err = slurp(m_errPath);
    return r;
}

ProcessResult runCrumlet(const std::vector<std::string>& args)
{
    return CrumletProcess(args).wait();
}
