// What happens between speaker and listener, as settings: a speech codec at one of its rates,
// packet loss with concealment, and a radio's keying, static and squelch. Each part reads from
// and writes to one line of text, the same text the tool's --codec, --loss and --radio take
// and a preset's "transmission" object holds.
#pragma once

#include <stdexcept>
#include <string>

namespace transmission
{

// Thrown for a text that names no codec, rate or setting this build has; the message says
// what is available.
class SettingsError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

enum class CodecKind
{
    None,
    Gsm,    // GSM 06.10 full rate, 13 kbit/s, 8 kHz
    AmrNb,  // AMR narrowband, 4.75 to 12.2 kbit/s, 8 kHz
    AmrWb,  // AMR wideband, 6.6 to 23.85 kbit/s, 16 kHz
    Opus,   // 6 to 64 kbit/s, 48 kHz
    Codec2, // 700 to 3200 bit/s, 8 kHz
    Lpc10,  // 2.4 kbit/s, 8 kHz
    G726,   // ADPCM, 16 to 40 kbit/s, 8 kHz
    G729,   // CS-ACELP, 8 kbit/s, 8 kHz
};

enum class OpusBandwidth
{
    Automatic,
    Narrow,    // 4 kHz
    Medium,    // 6 kHz
    Wide,      // 8 kHz
    SuperWide, // 12 kHz
    Full,      // 20 kHz
};

struct CodecSettings
{
    CodecKind kind = CodecKind::None;
    int bitRate = 0;           // bit/s; AMR's mode by its rate, Codec2's mode (700 is 700C)
    bool discontinuous = false; // DTX / VAD: silence is not sent, word onsets may be clipped
    OpusBandwidth bandwidth = OpusBandwidth::Automatic;
};

enum class Concealment
{
    Codec,   // the codec's own where it has one, else Repeat
    Repeat,  // the last frame again, 3 dB quieter each time, silent after eight
    Silence, // nothing
};

struct LossSettings
{
    double rate = 0.0;       // share of frames lost, 0 to below 1
    double meanBurst = 0.0;  // frames; 0: each frame lost on its own (random)
    Concealment concealment = Concealment::Codec;
    bool active() const { return rate > 0.0; }
};

enum class StaticColour
{
    White,
    Pink,
    Brown,
};

enum class Keying
{
    Level, // a transmission while the input is above the threshold, and for the hold time after
    Line,  // one transmission from the start of the line to its end
};

struct RadioSettings
{
    bool enabled = false;
    double staticDb = -32.0;     // the static under the voice, dBFS RMS; -inf: none
    StaticColour colour = StaticColour::Pink;
    double squelchMs = 160.0;    // the burst of static when the transmission ends; 0: none
    double clickDb = -14.0;      // the push-to-talk click's peak, dBFS; -inf: none
    double carrierMs = 25.0;     // the carrier's rise at the start of a transmission
    double thresholdDb = -45.0;  // the input level that keys the radio
    double holdMs = 350.0;       // how long the key stays down after the input falls below it
    Keying keying = Keying::Level;
};

struct TransmissionSettings
{
    CodecSettings codec;
    LossSettings loss;
    RadioSettings radio;
    bool active() const { return codec.kind != CodecKind::None || loss.active() || radio.enabled; }
};

// "gsm", "amr:7.4", "amr-wb:12.65", "opus:12k", "opus:16k:wb:dtx", "codec2:1600", "lpc10",
// "g726:32k", "g729", "none". Throws SettingsError naming the codecs or rates available.
CodecSettings parseCodec(const std::string& text);
// "5%", "3%:burst=4", "8%:burst=3:conceal=repeat", "0" or "off".
LossSettings parseLoss(const std::string& text);
// "on", "off", or settings joined by ':' ("static=-30dB:colour=white:squelch=200ms:click=off:
// threshold=-40dB:hold=300ms:carrier=20ms:key=line"); what is not named keeps its default.
RadioSettings parseRadio(const std::string& text);

// The texts the parsers read back to the same settings.
std::string codecText(const CodecSettings& codec);
std::string lossText(const LossSettings& loss);
std::string radioText(const RadioSettings& radio);
// One line for a listing: "codec amr:7.4, loss 3%:burst=4, radio".
std::string summaryText(const TransmissionSettings& settings);

// The codecs and their rates, for help and error messages.
std::string availableCodecsText();

} // namespace transmission
