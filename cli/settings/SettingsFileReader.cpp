#include "cli/settings/SettingsFileReader.h"

#include "cli/io/OutputFiles.h"
#include "cli/settings/UsageError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};
} // namespace

SettingsFileBytes readSettingsFile(const std::string& path, std::size_t mostBytes, const std::string& kind)
{
    auto unreadable = [&](int error) { return IoError("cannot read \"" + path + "\": " + systemReason(error)); };
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        throw unreadable(errno);
    // What was opened, not what the name named a moment before.
    struct stat status{};
    if (::fstat(file.get(), &status) != 0)
        throw unreadable(errno);
    if (S_ISDIR(status.st_mode))
        throw UsageError("\"" + path + "\" is a folder, not " + kind);
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        throw UsageError("\"" + path + "\" is a device, not " + kind);

    SettingsFileBytes read;
    read.bytes.resize(mostBytes + 1);
    std::size_t filled = 0;
    while (filled < read.bytes.size())
    {
        const ssize_t n = ::read(file.get(), &read.bytes[filled], read.bytes.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw unreadable(errno);
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    read.longer = filled > mostBytes;
    read.bytes.resize(std::min(filled, mostBytes));
    return read;
}
