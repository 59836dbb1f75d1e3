#include "cli/settings/TransmissionOptions.h"

#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"
#include "space/RoomImpulse.h"
#include "space/SpaceCatalogue.h"
#include "space/SpaceError.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

void addTransmissionOptions(CLI::App* command, TransmissionOptions& options)
{
    command->add_option("--codec", options.codec,
                        "After the effect, a speech codec at its own rate: NAME[:RATE][:dtx], e.g. gsm, amr:7.4, "
                        "amr-wb:12.65, opus:12k (opus also :nb|mb|wb|swb|fb), codec2:1600, lpc10, g726:32k, g729; "
                        "none. Codecs: " + transmission::availableCodecsText());
    command->add_option("--loss", options.loss,
                        "Codec frames lost on the way: 5% (each on its own) or 3%:burst=4 (bursts of 4 frames in the "
                        "mean); :conceal=codec|repeat|silence (the codec's own concealment where it has one, else "
                        "the last frame repeated, fading)");
    command
        ->add_option("--radio", options.radio,
                     "A two-way radio's link: keyed by the level (or key=line), click, carrier, static under the "
                     "voice and a squelch tail. Alone, or settings joined by ':': static=-32dB|off, "
                     "colour=white|pink|brown, squelch=160ms|off, click=-14dB|off, carrier=25ms, threshold=-45dB, "
                     "hold=350ms, key=level|line; off")
        ->expected(0, 1)
        ->default_str("on");
    command->add_option("--space", options.space,
                        "Where the listener hears it, after the transmission: a generated space (crumlet spaces: " +
                            space::spaceNamesText() +
                            ") or an impulse response file (WAV, FLAC, AIFF; mono or stereo), then settings joined "
                            "by ':': mix=PERCENT (the space's share, 100), distance=METRES (a generated space's), "
                            "predelay=MS, normalize (a file's); off");
}

TransmissionChoice readTransmissionOptions(const TransmissionOptions& options)
{
    TransmissionChoice choice;
    try
    {
        if (!options.codec.empty())
            choice.codec = transmission::parseCodec(options.codec);
        if (!options.loss.empty())
            choice.loss = transmission::parseLoss(options.loss);
        if (options.radio)
            choice.radio = transmission::parseRadio(options.radio->empty() ? "on" : *options.radio);
    }
    catch (const transmission::SettingsError& e)
    {
        throw UsageError(e.what());
    }
    if (!options.space.empty())
        choice.space = readSpaceText(options.space);
    return choice;
}

transmission::TransmissionSettings transmissionFrom(transmission::TransmissionSettings settings,
                                                    const TransmissionChoice& choice)
{
    if (choice.codec)
        settings.codec = *choice.codec;
    if (choice.loss)
        settings.loss = *choice.loss;
    if (choice.radio)
        settings.radio = *choice.radio;
    if (settings.loss.active() && settings.codec.kind == transmission::CodecKind::None)
        throw UsageError("--loss needs a codec (--codec, or a preset's): the frames lost are the codec's");
    return settings;
}

transmission::TransmissionSettings transmissionFrom(transmission::TransmissionSettings settings,
                                                    const TransmissionOptions& options)
{
    return transmissionFrom(std::move(settings), readTransmissionOptions(options));
}

space::SpaceSettings readSpaceText(const std::string& text, const std::string& folder)
{
    space::SpaceSettings settings;
    try
    {
        settings = space::parseSpace(text);
    }
    catch (const space::SpaceError& e)
    {
        throw UsageError(e.what());
    }
    if (!settings.active())
        return settings;
    if (settings.generated())
    {
        const space::RoomDescription& room = *space::findSpace(settings.source);
        const double longest = space::longestDistance(room);
        if (settings.distance && *settings.distance > longest + 1e-9)
        {
            char text[96];
            std::snprintf(text, sizeof text, "distance=%g m does not fit in the %s: at most %.1f m", *settings.distance,
                          room.name, longest);
            throw UsageError(text);
        }
        return settings;
    }
    const std::filesystem::path file(settings.source);
    if (!folder.empty() && file.is_relative())
        settings.source = (std::filesystem::path(folder) / file).string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(settings.source, ec))
        throw UsageError("no space or file " + quoted(settings.source, kQuotedExcerptBytes) + "; spaces: " +
                         space::spaceNamesText());
    return settings;
}

space::SpaceSettings spaceFrom(const space::SpaceSettings& preset, const TransmissionChoice& choice)
{
    return choice.space ? *choice.space : preset;
}
