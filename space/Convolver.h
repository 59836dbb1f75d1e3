// Partitioned convolution of a few channels, each through its own impulse response, by
// libzita-convolver. Fed and drained one block at a time: a block's output is the
// convolution up to the block's last input frame, so the output lines up with the input.
//
// Large blocks: uniform partitions of 8192 frames, all computed in the caller's thread: the
// least work, for files. Small blocks: a first partition of 64 frames, growing to 8192; the
// larger partitions are computed on the library's worker threads at normal priority (no real-
// time rights needed), and a block waits for the partitions it takes from them, so that the
// output does not depend on how the threads are scheduled. The two give the same convolution
// with different rounding.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class Convproc;

namespace space
{

enum class Partitioning
{
    LargeBlocks,
    SmallBlocks,
};

class Convolver
{
public:
    // Input channel c through `impulses[c]`, delayed by `offset` frames, to output channel c;
    // channels given the same impulse response share its transform. The impulse responses
    // must hold a sample other than zero.
    Convolver(const std::vector<const std::vector<float>*>& impulses, std::size_t offset, Partitioning partitioning);
    ~Convolver();
    Convolver(const Convolver&) = delete;
    Convolver& operator=(const Convolver&) = delete;

    std::size_t blockFrames() const { return m_blockFrames; }
    unsigned channels() const { return m_channels; }
    // The next block's input, blockFrames() samples, to be filled before run().
    float* input(unsigned channel);
    // After run(): the block's output, blockFrames() samples.
    const float* output(unsigned channel) const;
    void run();

private:
    std::unique_ptr<Convproc> m_engine;
    std::size_t m_blockFrames;
    unsigned m_channels;
};

} // namespace space
