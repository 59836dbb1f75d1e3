#include "cli/io/ProgressBar.h"

#include <cstdio>
#include <unistd.h>

ProgressBar::ProgressBar(std::string label, std::uint64_t total)
    : m_label(std::move(label)), m_total(total), m_enabled(stderrIsTerminal())
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

bool ProgressBar::stderrIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

void ProgressBar::update(std::uint64_t done)
{
    if (!m_enabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_drawn && now - m_lastDraw < std::chrono::milliseconds(100))
        return;
    m_lastDraw = now;
    draw(done);
}

void ProgressBar::draw(std::uint64_t done)
{
    constexpr int kWidth = 30;
    if (m_total > 0)
    {
        const double fraction = done >= m_total ? 1.0 : static_cast<double>(done) / static_cast<double>(m_total);
        const int filled = static_cast<int>(fraction * kWidth);
        std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", m_label.c_str(), filled, "##############################",
                     kWidth - filled, "", static_cast<int>(fraction * 100.0));
    }
    else
    {
        std::fprintf(stderr, "\r%s %llu", m_label.c_str(), static_cast<unsigned long long>(done));
    }
    std::fflush(stderr);
    m_drawn = true;
}

void ProgressBar::finish()
{
    if (m_enabled && m_drawn)
    {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
    m_drawn = false;
}
