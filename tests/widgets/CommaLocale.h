// A locale whose decimal point is a comma, set for the whole process while in scope, and
// the previous one put back after; `active()` is false where no such locale is installed
// (scripts/setup.sh generates de_DE.UTF-8).
#pragma once

#include <clocale>
#include <string>

class CommaLocale
{
public:
    CommaLocale() : m_previous(std::setlocale(LC_ALL, nullptr))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
            if (std::setlocale(LC_ALL, name) != nullptr && std::string(std::localeconv()->decimal_point) == ",")
            {
                m_active = true;
                return;
            }
        std::setlocale(LC_ALL, m_previous.c_str());
    }
    ~CommaLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};
