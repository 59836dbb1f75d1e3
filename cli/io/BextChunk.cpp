#include "cli/io/BextChunk.h"

#include "cli/io/AudioFiles.h"
#include "cli/io/RiffChunks.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

namespace
{
// The bext chunk's fields before the coding history, as EBU Tech 3285 lays them out.
constexpr std::size_t kBextFixedBytes = 602;
// libsndfile holds at most this much coding history.
constexpr std::size_t kMostCodingHistory = 16 * 1024 - kBextFixedBytes - 64;

using Broadcast = SF_BROADCAST_INFO_VAR(16 * 1024);

void copyField(char* into, std::size_t size, const std::string& text)
{
    std::memset(into, 0, size);
    std::memcpy(into, text.data(), std::min(size, text.size()));
}

std::string field(const char* from, std::size_t size)
{
    return std::string(from, strnlen(from, size));
}

void dateAndTime(char (&date)[10], char (&time)[8], const std::optional<std::int64_t>& stampSeconds)
{
    const std::time_t when = stampSeconds ? static_cast<std::time_t>(*stampSeconds) : std::time(nullptr);
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d%H:%M:%S", &utc);
    std::memcpy(date, text, 10);
    std::memcpy(time, text + 10, 8);
}


std::size_t paddedSettingsBytes(std::size_t jsonBytes)
{
    return (jsonBytes + 3) / 4 * 4;
}

// A settings chunk's JSON without the spaces (or NULs) that pad it.
std::string withoutPadding(std::string text)
{
    const auto end = text.find_last_not_of(std::string(" \0", 2));
    text.resize(end == std::string::npos ? 0 : end + 1);
    return text;
}

std::string kibibytes(std::size_t bytes)
{
    return std::to_string(bytes) + " bytes (" + std::to_string(bytes / 1024) + " KiB)";
}

// The bext fields as libsndfile takes them; returns the bytes of it that count.
std::size_t fillBroadcast(Broadcast& info, const OutputMetadata& metadata)
{
    std::memset(&info, 0, sizeof(Broadcast));
    copyField(info.description, sizeof info.description, metadata.description);
    copyField(info.originator, sizeof info.originator, metadata.originator);
    copyField(info.originator_reference, sizeof info.originator_reference, metadata.originatorReference);
    dateAndTime(info.origination_date, info.origination_time, metadata.stampSeconds);
    info.version = 1;
    const std::size_t history = std::min(metadata.codingHistory.size(), kMostCodingHistory);
    std::memcpy(info.coding_history, metadata.codingHistory.data(), history);
    info.coding_history_size = static_cast<std::uint32_t>(history);
    return offsetof(Broadcast, coding_history) + history;
}

void putLittleEndian(std::string& bytes, std::uint64_t v, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<char>(v >> (8 * i)));
}

// The bext chunk's data as EBU Tech 3285 lays it out (the struct above has padding of its own).
std::string bextBytes(const Broadcast& info)
{
    std::string b;
    b.append(info.description, sizeof info.description);
    b.append(info.originator, sizeof info.originator);
    b.append(info.originator_reference, sizeof info.originator_reference);
    b.append(info.origination_date, sizeof info.origination_date);
    b.append(info.origination_time, sizeof info.origination_time);
    putLittleEndian(b, info.time_reference_low, 4);
    putLittleEndian(b, info.time_reference_high, 4);
    putLittleEndian(b, static_cast<std::uint16_t>(info.version), 2);
    b.append(reinterpret_cast<const char*>(info.umid), sizeof info.umid);
    b.append(10 + 180, '\0'); // the loudness fields, unset, and the reserved bytes
    b.append(info.coding_history, info.coding_history_size);
    return b;
}

int majorFormat(int format)
{
    return format & SF_FORMAT_TYPEMASK;
}

bool carriesBext(int format)
{
    return majorFormat(format) == SF_FORMAT_WAV || majorFormat(format) == SF_FORMAT_WAVEX ||
           majorFormat(format) == SF_FORMAT_RF64;
}

bool carriesSettingsChunk(int format)
{
    return carriesBext(format) || majorFormat(format) == SF_FORMAT_AIFF || majorFormat(format) == SF_FORMAT_CAF;
}

bool carriesSettingsComment(int format)
{
    return majorFormat(format) == SF_FORMAT_FLAC || majorFormat(format) == SF_FORMAT_OGG;
}
} // namespace

bool carriesMetadata(int format)
{
    return carriesSettingsChunk(format) || carriesSettingsComment(format);
}

std::string metadataChunks(const OutputMetadata& metadata)
{
    auto info = std::make_unique<Broadcast>();
    fillBroadcast(*info, metadata);
    return chunkBytes("bext", bextBytes(*info)) + chunkBytes(kSettingsChunkId, settingsChunkBytes(metadata));
}

std::string settingsChunkBytes(const OutputMetadata& metadata)
{
    std::string bytes = metadata.settingsJson;
    bytes.resize(paddedSettingsBytes(bytes.size()), ' ');
    return bytes;
}

std::string metadataUnwritable(const OutputMetadata& metadata)
{
    const std::size_t bytes = paddedSettingsBytes(metadata.settingsJson.size());
    if (bytes <= kMostSettingsChunkBytes)
        return {};
    return "its settings would take " + std::to_string(bytes) + " bytes, and a settings chunk holds at most " +
           kibibytes(kMostSettingsChunkBytes);
}

std::string writeMetadata(SndfileHandle& file, const OutputMetadata& metadata, const std::string& settingsChunk)
{
    if (std::string unwritable = metadataUnwritable(metadata); !unwritable.empty())
        return unwritable;
    const int format = file.format();
    if (carriesBext(format))
    {
        auto info = std::make_unique<Broadcast>();
        const auto size = static_cast<int>(fillBroadcast(*info, metadata));
        if (file.command(SFC_SET_BROADCAST_INFO, info.get(), size) != SF_TRUE)
            return std::string("the bext chunk: ") + file.strError();
    }
    if (carriesSettingsComment(format))
    {
        if (file.setString(SF_STR_SOFTWARE, metadata.originator.c_str()) != 0 ||
            file.setString(SF_STR_COMMENT, metadata.settingsJson.c_str()) != 0)
            return std::string("the settings comment: ") + file.strError();
        return {};
    }
    if (settingsChunk.empty() || !carriesSettingsChunk(format))
        return {};
    SF_CHUNK_INFO chunk{};
    std::memcpy(chunk.id, kSettingsChunkId, 4);
    chunk.id_size = 4;
    chunk.datalen = static_cast<unsigned>(settingsChunk.size());
    chunk.data = const_cast<char*>(settingsChunk.data());
    if (sf_set_chunk(file.rawHandle(), &chunk) != SF_ERR_NO_ERROR)
        return std::string("the settings chunk: ") + file.strError();
    return {};
}

OutputMetadata readMetadata(const std::string& path)
{
    SndfileHandle file = openInput(path);
    OutputMetadata metadata;
    auto info = std::make_unique<Broadcast>();
    std::memset(info.get(), 0, sizeof(Broadcast));
    if (file.command(SFC_GET_BROADCAST_INFO, info.get(), static_cast<int>(sizeof(Broadcast))) == SF_TRUE)
    {
        metadata.description = field(info->description, sizeof info->description);
        metadata.originator = field(info->originator, sizeof info->originator);
        metadata.originatorReference = field(info->originator_reference, sizeof info->originator_reference);
        metadata.originationDate = field(info->origination_date, sizeof info->origination_date);
        metadata.originationTime = field(info->origination_time, sizeof info->origination_time);
        metadata.codingHistory =
            field(info->coding_history, std::min<std::size_t>(info->coding_history_size, sizeof info->coding_history));
    }
    SF_CHUNK_INFO wanted{};
    std::memcpy(wanted.id, kSettingsChunkId, 4);
    wanted.id_size = 4;
    if (SF_CHUNK_ITERATOR* it = sf_get_chunk_iterator(file.rawHandle(), &wanted))
    {
        SF_CHUNK_INFO chunk{};
        if (sf_get_chunk_size(it, &chunk) == SF_ERR_NO_ERROR && chunk.datalen > 0)
        {
            // A size is what the chunk claims: refused unread beyond the bound or the file.
            std::error_code ec;
            const std::uintmax_t fileBytes = std::filesystem::file_size(path, ec);
            const std::string claims = "its settings chunk claims " + std::to_string(chunk.datalen) + " bytes";
            if (chunk.datalen > kMostSettingsChunkBytes)
                metadata.settingsUnread = claims + "; crumlet reads at most " + kibibytes(kMostSettingsChunkBytes);
            else if (!ec && chunk.datalen > fileBytes)
                metadata.settingsUnread = claims + ", more than the file holds (" + std::to_string(fileBytes) + ")";
            else
            {
                std::string text(chunk.datalen, '\0');
                chunk.data = text.data();
                if (sf_get_chunk_data(it, &chunk) != SF_ERR_NO_ERROR)
                    metadata.settingsUnread = "its settings chunk cannot be read";
                else
                    metadata.settingsJson = withoutPadding(std::move(text));
            }
        }
    }
    // A comment that is a JSON object, bounded as a chunk is.
    const char* comment = carriesSettingsComment(file.format()) ? file.getString(SF_STR_COMMENT) : nullptr;
    if (metadata.settingsJson.empty() && metadata.settingsUnread.empty() && comment != nullptr && comment[0] == '{')
    {
        const std::size_t bytes = std::strlen(comment);
        if (bytes > kMostSettingsChunkBytes)
            metadata.settingsUnread = "its settings comment holds " + std::to_string(bytes) +
                                      " bytes; crumlet reads at most " + kibibytes(kMostSettingsChunkBytes);
        else
            metadata.settingsJson.assign(comment, bytes);
    }
    return metadata;
}

OutputMetadata readSettings(const std::string& path)
{
    constexpr std::size_t kHeaderReadBytes = 64 * 1024;
    std::string head(kHeaderReadBytes, '\0');
    if (std::FILE* f = std::fopen(path.c_str(), "rb"))
    {
        head.resize(std::fread(head.data(), 1, head.size(), f));
        std::fclose(f);
    }
    else
        head.clear();
    const bool wave = head.size() >= 12 && (head.compare(0, 4, "RIFF") == 0 || head.compare(0, 4, "RF64") == 0) &&
                      head.compare(8, 4, "WAVE") == 0;
    if (wave)
        for (const RiffChunk& chunk : riffChunks(head))
        {
            if (chunk.id == "data")
                break;
            if (chunk.id == kSettingsChunkId && chunk.claimed <= kMostSettingsChunkBytes &&
                chunk.data.size() == chunk.claimed)
            {
                OutputMetadata metadata;
                metadata.settingsJson = withoutPadding(chunk.data);
                return metadata;
            }
        }
    return readMetadata(path);
}
