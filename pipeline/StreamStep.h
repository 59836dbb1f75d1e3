// A step of the effect run after the effect: interleaved frames in, the frames it has ready
// out, aligned with those that went in; finish() hands on what it still holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pipeline
{
class StreamStep
{
public:
    virtual ~StreamStep() = default;

    // Appends what comes out for `frames` interleaved frames in.
    virtual void process(const float* interleaved, std::uint32_t frames, std::vector<float>& out) = 0;
    // Appends the frames still held (and the step's own tail), ending the stream.
    virtual void finish(std::vector<float>& out) = 0;
    // The most frames the step holds back after a call, whatever the calls' sizes.
    virtual std::size_t mostFramesHeldBack() const = 0;
};
} // namespace pipeline
