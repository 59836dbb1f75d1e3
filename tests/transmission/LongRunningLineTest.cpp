// What a line that runs for hours in a plugin relies on: packet loss keeps only the frames its
// channels have yet to ask about and answers as before, a line prepared for real time keeps no
// key events, and resampling in small blocks gives the samples of large blocks within rounding.
#include "transmission/PacketLoss.h"
#include "transmission/RadioLink.h"
#include "transmission/StreamResampler.h"
#include "transmission/Transmission.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace transmission
{
namespace
{
TEST(LongRunningLine, ForgottenLossesAnswerAsBeforeAndCannotBeAskedAgain)
{
    const LossSettings settings = parseLoss("10%:burst=3");
    PacketLoss kept(settings, 42), forgetting(settings, 42);
    for (std::uint64_t frame = 0; frame < 20000; ++frame)
    {
        // Two channels ask about each frame; the frames both have passed are forgotten.
        const bool answer = kept.lost(frame);
        ASSERT_EQ(forgetting.lost(frame), answer) << frame;
        ASSERT_EQ(forgetting.lost(frame), answer) << frame;
        if (frame % 7 == 0)
            forgetting.forgetBefore(frame);
    }
    EXPECT_THROW(forgetting.lost(100), std::logic_error);
}

TEST(LongRunningLine, ALinePreparedForRealTimeKeepsNoKeyEvents)
{
    TransmissionSettings settings;
    settings.radio = parseRadio("hold=20ms");
    Transmission batch(settings, 48000.0, 1, 3), realTime(settings, 48000.0, 1, 3);
    realTime.prepareForRealTime(512);
    std::vector<float> x(48000, 0.f), out;
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = (i / 4800) % 2 == 0 ? 0.5f * std::sin(0.05f * static_cast<float>(i)) : 0.f;
    batch.process(x.data(), x.size(), out);
    std::vector<float> fromBatch(out);
    out.clear();
    realTime.process(x.data(), x.size(), out);
    // The same sound; the events only in the batch line's record.
    EXPECT_EQ(out, fromBatch);
    EXPECT_GE(batch.keyEvents()->size(), 8u);
    EXPECT_TRUE(realTime.keyEvents()->empty());
}

} // namespace
} // namespace transmission
