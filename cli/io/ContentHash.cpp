#include "cli/io/ContentHash.h"

#include "cli/io/OutputFiles.h"
#include "cli/settings/UsageError.h"

#include <xxhash.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <vector>

std::optional<FileStamp> fileStamp(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string contentHash(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        throw IoError("cannot read \"" + path + "\": " + systemReason(errno));
    std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> state(XXH3_createState(), &XXH3_freeState);
    XXH3_128bits_reset(state.get());
    std::vector<char> buffer(1 << 20);
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0;)
        XXH3_128bits_update(state.get(), buffer.data(), n);
    if (std::ferror(file.get()))
        throw IoError("cannot read \"" + path + "\": " + systemReason(errno));
    const XXH128_hash_t hash = XXH3_128bits_digest(state.get());
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(hash.high64),
                  static_cast<unsigned long long>(hash.low64));
    return text;
}
