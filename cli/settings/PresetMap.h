// A line list's preset values as presets (--map-preset): the looks a sheet names ("bad mobile
// line", "PA in a train station") as shipped presets or preset files. Given inline
// ("bad mobile line=Bad mobile line,PA in a train station=./station.json", files relative to
// the working folder) or as a file: CSV rows of value and preset (a first row whose preset
// cell says "preset" is a header) or a JSON object of value to preset, its files relative to
// it. Values match in any case, spaces around them and doubled inside ignored.
#pragma once

#include <string>
#include <vector>

class PresetMap
{
public:
    PresetMap() = default;
    // Throws UsageError for a malformed map, a value mapped twice, or a preset that is neither
    // a shipped preset nor a file (saying where, with the nearest name); IoError when the file
    // cannot be read.
    explicit PresetMap(const std::string& option);

    bool empty() const { return m_entries.empty(); }

    // The preset `value` maps to (a shipped preset's name or a file's path), or null.
    const std::string* find(const std::string& value) const;

    // "did you mean "bad mobile line"?" among the map's values and the shipped presets; empty
    // when nothing is near.
    std::string suggestion(const std::string& value) const;

private:
    struct Entry
    {
        std::string value; // as the map writes it
        std::string key;   // as values are matched
        std::string preset;
    };
    void add(const std::string& value, const std::string& preset, const std::string& folder, const std::string& where);

    std::vector<Entry> m_entries;
};
