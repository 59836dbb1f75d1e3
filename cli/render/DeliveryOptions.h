// Checks of the delivery options, the same for the command line and a line list's columns:
// each answers the value or throws UsageError saying what it takes.
#pragma once

#include "cli/io/AudioFiles.h"

#include <cstdint>
#include <optional>
#include <string>

constexpr std::uint32_t kLowestDeliveryRate = 8000;
constexpr std::uint32_t kHighestDeliveryRate = 384000;

// A delivery rate: whole hertz from 8000 to 384000 ("48000", "48k", "44.1kHz").
std::uint32_t deliveryRate(const std::string& text);
void checkDeliveryRate(std::uint32_t hz);

// 1 folds the input to mono; 0 keeps its channels.
void checkChannels(std::uint32_t channels);
// A channel count as --channels reads it (a whole number, then checkChannels); throws
// UsageError for any other text ("1.9", "-1", "nan").
std::uint32_t deliveryChannels(const std::string& text);

// 16 or 24.
unsigned sampleBits(const std::string& text);

// The sample format from --format and --bits together (either may be empty or 0).
SampleFormat sampleFormatOf(const std::string& format, unsigned bits);

// "tpdf" or "none" (empty: tpdf); true for dither.
bool ditherOf(const std::string& text);

// An integrated loudness target from -70 to 0 LUFS.
double checkedLoudness(double lufs);
// One as typed ("-23", "-23 LUFS", "â" "23"), then checkedLoudness.
double loudnessOf(const std::string& text);
// --loudness (checkedLoudness) or --match-loudness, not both.
void checkLoudnessChoice(const std::optional<double>& lufs, bool matchInput);

// A seed: a whole number from 0 to 2^64 - 1.
std::uint64_t seedOf(const std::string& text);
