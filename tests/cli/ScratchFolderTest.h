// A test with a folder of its own under the system's temporary folder (its name and the
// process's, so that suites of two checkouts can run at once), removed afterwards,
// and the audio file helpers the rendering tests share.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.hh>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

class ScratchFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("crumlet-test-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                 std::to_string(::getpid()));
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    // Every frame of a file, interleaved; its format, rate and size in `info`.
    static std::vector<float> readAll(const std::string& file, SF_INFO* info = nullptr)
    {
        SndfileHandle f(file);
        std::vector<float> samples(static_cast<std::size_t>(std::max<sf_count_t>(f.frames(), 0)) * f.channels());
        f.readf(samples.data(), f.frames());
        if (info != nullptr)
        {
            info->channels = f.channels();
            info->samplerate = f.samplerate();
            info->frames = f.frames();
            info->format = f.format();
        }
        return samples;
    }

    std::filesystem::path m_dir;
};
