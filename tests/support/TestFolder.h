// An empty folder for the running test: named by the prefix, this process and the test, so
// that other checkouts running the same test at once never share it.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace crumlet_test
{
inline std::filesystem::path freshTestFolder(const std::string& prefix)
{
    const auto dir = std::filesystem::temp_directory_path() /
                     (prefix + "-" + std::to_string(::getpid()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}
} // namespace crumlet_test
