// A one-line progress display on stderr, shown only when stderr is a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class ProgressBar
{
public:
    // total 0: the length is unknown and only the count is shown.
    ProgressBar(std::string label, std::uint64_t total);
    ~ProgressBar();

    void update(std::uint64_t done);
    void finish();

    static bool stderrIsTerminal();

private:
    void draw(std::uint64_t done);

    std::string m_label;
    std::uint64_t m_total;
    bool m_enabled;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw;
};
