#include "cli/settings/TransmissionOptions.h"

#include "cli/settings/UsageError.h"

#include <CLI/CLI.hpp>

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
