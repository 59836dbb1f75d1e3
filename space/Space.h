// Where the listener stands, as a step after the effect and the transmission: the line
// convolved with a space's impulse response and mixed with the dry line. One instance per
// file, fed interleaved float frames in pieces of any size: pieces of any sizes give the same
// samples as one piece, and every run the same.
//
// The output lines up with the input (output frame k is input frame k in the space); frames
// come out a block after they go in (Convolver.h: 8192 frames for files; live, 64 or a
// caller's largest buffer), and finish() brings out the rest with the space's tail: as many
// frames as went in, plus tailFrames().
//
// Channels: the space keeps the line's channel count. An impulse response of one channel
// serves every channel; one of two serves a stereo line ear by ear (left to left, right to
// right; with more channels, even ones left and odd ones right), and a mono line hears the
// mean of its two ears. Samples that are not finite enter as silence.
#pragma once

#include "space/Convolver.h"
#include "space/ImpulseResponse.h"
#include "space/SpaceSettings.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace space
{

class ImpulseCache;

// The share of the space in what is heard, and how long it waits.
struct Blend
{
    double mixPercent = 100.0; // wet share: 0 the dry line alone, 100 the space alone
    double predelayMs = 0.0;   // the space's sound starts this much later; the dry line does not
};

class Space
{
public:
    // The space the settings name, its impulse response through `cache` (ImpulseCache::shared()
    // by default). Throws SpaceError for a space or file that cannot be used.
    Space(const SpaceSettings& settings, double sampleRate, unsigned channels,
          Partitioning partitioning = Partitioning::LargeBlocks, ImpulseCache* cache = nullptr);
    // Any impulse response, at the line's rate.
    Space(std::shared_ptr<const ImpulseResponse> impulse, unsigned channels, const Blend& blend,
          Partitioning partitioning = Partitioning::LargeBlocks);
    // The same with a first partition of `firstPartition` frames (Convolver.h): a real-time
    // caller's, for its largest buffer (firstPartitionFor).
    Space(std::shared_ptr<const ImpulseResponse> impulse, unsigned channels, const Blend& blend,
          std::size_t firstPartition);
    ~Space();
    Space(const Space&) = delete;
    Space& operator=(const Space&) = delete;

    // Takes `frames` interleaved frames and appends the frames that are ready to `out`.
    void process(const float* interleaved, std::size_t frames, std::vector<float>& out);
    // Appends the rest and the tail; nothing may be processed after.
    void finish(std::vector<float>& out);

    unsigned channels() const { return m_channels; }
    // The frames finish() adds beyond those that went in: the predelay and the response's
    // length after its first sample.
    std::size_t tailFrames() const { return m_tailFrames; }
    // The most frames a call holds back (a live caller's latency when it must hand on as many
    // frames as it takes).
    std::size_t heldBackFrames() const;
    const ImpulseResponse& impulse() const { return *m_impulse; }

    // Whether a block waits for the partitions the convolution's workers compute (the
    // default: the same samples however the threads are scheduled) or, for a real-time thread
    // that must never wait, goes on without those not yet finished.
    void setWaiting(bool waiting) { m_waiting = waiting; }
    // Blocks that went on without a partition.
    std::uint64_t lateBlocks() const { return m_lateBlocks; }

private:
    void runBlock(std::vector<float>& out, std::size_t framesOut);

    std::shared_ptr<const ImpulseResponse> m_impulse;
    std::vector<float> m_meanOfEars; // a two-ear response heard on a mono line
    unsigned m_channels;
    float m_wet;
    float m_dry;
    std::size_t m_tailFrames;
    std::unique_ptr<Convolver> m_convolver;
    std::vector<float> m_block; // the block being gathered, interleaved, while the dry line is heard
    std::size_t m_filled = 0;   // frames gathered in the block
    bool m_finished = false;
    bool m_waiting = true;
    std::uint64_t m_lateBlocks = 0;
};

} // namespace space
