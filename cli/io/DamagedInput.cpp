#include "cli/io/DamagedInput.h"

#include <cstdint>
#include <cstring>
#include <regex>

namespace
{
constexpr const char* kDamaged = " (truncated or damaged)";

std::uint64_t number(const std::csub_match& digits)
{
    return std::stoull(digits.str());
}
} // namespace

std::string damageOf(SNDFILE* file)
{
    char log[16384] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    std::cmatch m;

    // An audio chunk that runs past the end of the file is trimmed to what is there:
    // "data : 192000 (should be 99956)".
    static const std::regex kShortChunk(R"((data|SSND)\s*:\s*(\d+)\s*\(should be (\d+)\))");
    if (std::regex_search(log, m, kShortChunk) && number(m[3]) < number(m[2]))
        return "its header promises " + m[2].str() + " bytes of audio, the file holds " + m[3].str() + kDamaged;

    // "Frame count read from 'COMM' chunk (96000) not equal to frame count calculated from
    // length of 'SSND' chunk (48000)."
    static const std::regex kAiffFrames(R"(COMM' chunk \((\d+)\) not equal to frame count\s*\*{0,3}\s*calculated from length of 'SSND' chunk \((\d+)\))");
    if (std::regex_search(log, m, kAiffFrames) && number(m[2]) < number(m[1]))
        return "its header promises " + m[1].str() + " frames, its sound data holds " + m[2].str() + kDamaged;

    // "data : 0" and then the samples, read as a chunk marker: "Unknown chunk marker (...) at
    // position 44".
    static const std::regex kEmptyData(R"(\ndata : 0\n[^]*Unknown chunk marker \S* at position (\d+))");
    static const std::regex kLength(R"(Length : (\d+))");
    std::cmatch length;
    if (std::regex_search(log, m, kEmptyData) && std::regex_search(log, length, kLength) &&
        number(length[1]) > number(m[1]))
        return "its header gives its audio as 0 bytes, yet " + std::to_string(number(length[1]) - number(m[1])) +
               " bytes follow (a size never filled in, or damaged)";

    if (std::strstr(log, "File ended unexpectedly without an End-Of-Stream flag set") != nullptr)
        return std::string("its stream ends without its end-of-stream mark") + kDamaged;

    // An Ogg stream cut mid-page has no last page to give its length: libsndfile says the
    // length is unknown (the largest count) and reads what comes before the cut.
    SF_INFO info{};
    sf_command(file, SFC_GET_CURRENT_SF_INFO, &info, sizeof info);
    if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG && info.frames == SF_COUNT_MAX)
        return std::string("its stream is cut short, its length unreadable") + kDamaged;
    return {};
}
