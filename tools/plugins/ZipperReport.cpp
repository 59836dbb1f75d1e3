// crumlet-zipper-report: the energy above 4 kHz that a SIMTuning sweep puts on a 1 kHz sine
// in the DAW wrappers, with each buffer's value sent at once and ramped across the buffer,
// for host buffers of several sizes; for the default device model and for the one whose
// retune zips most (Analog Baby Monitor, index 99, at 512 frames).
#include "tools/plugins/ZipperMeasurement.h"

#include <cstdio>
#include <initializer_list>

int main()
{
    std::printf("SIMTuning 50 -> 200 %% over 1 s, 1 kHz sine at -6 dBFS, 48 kHz: energy above 4 kHz against the "
                "300 Hz-3.4 kHz band\n");
    for (int device : {0, 99})
    {
        std::printf("\ndevice model %d; steady (no sweep): %.1f dB\n", device,
                    zipperDb(SweepDelivery::Steady, 512, 48000, device));
        std::printf("%8s %10s %10s %10s\n", "buffer", "at once", "ramped", "less");
        for (unsigned frames : {32u, 64u, 128u, 256u, 512u, 1024u, 2048u})
        {
            const double atOnce = zipperDb(SweepDelivery::AtOnce, frames, 48000, device);
            const double ramped = zipperDb(SweepDelivery::Ramped, frames, 48000, device);
            std::printf("%8u %7.1f dB %7.1f dB %7.1f dB\n", frames, atOnce, ramped, atOnce - ramped);
        }
    }
    return 0;
}
