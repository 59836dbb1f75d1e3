// Partitioned convolution of a few channels, each through its own impulse response, by
// libzita-convolver. Fed and drained one block at a time: a block's output is the
// convolution up to the block's last input frame, so the output lines up with the input.
//
// Large blocks: uniform partitions of 8192 frames, all computed in the caller's thread: the
// least work, for files. Small blocks: a first partition of 64 frames, growing to 8192; the
// larger partitions are computed on the library's worker threads at normal priority (no real-
// time rights needed), and a block waits for the partitions it takes from them, so that the
// output does not depend on how the threads are scheduled. Partitionings give the same
// convolution with different rounding.
//
// A real-time caller that must never wait goes on without a partition that is late
// (run(false)). A worker has until its partition's frames have passed again; a caller whose
// buffers hold more than one block runs several blocks in one go, and its workers then have no
// time at all: its first partition must hold its largest buffer (firstPartitionFor).
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

// The first partition's frames: 8192 for large blocks, 64 for small ones.
std::size_t firstPartitionOf(Partitioning partitioning);
// The smallest first partition (a power of two, 64 to 8192 frames) that holds a caller's
// buffers of up to `bufferFrames`.
std::size_t firstPartitionFor(std::size_t bufferFrames);

class Convolver
{
public:
    // Input channel c through `impulses[c]`, delayed by `offset` frames, to output channel c;
    // channels given the same impulse response share its transform. The impulse responses
    // must hold a sample other than zero.
    Convolver(const std::vector<const std::vector<float>*>& impulses, std::size_t offset, Partitioning partitioning);
    // The same with a first partition of `firstPartition` frames (a power of two, 64 to 8192),
    // growing to 8192.
    Convolver(const std::vector<const std::vector<float>*>& impulses, std::size_t offset, std::size_t firstPartition);
    ~Convolver();
    Convolver(const Convolver&) = delete;
    Convolver& operator=(const Convolver&) = delete;

    std::size_t blockFrames() const { return m_blockFrames; }
    unsigned channels() const { return m_channels; }
    // The next block's input, blockFrames() samples, to be filled before run().
    float* input(unsigned channel);
    // After run(): the block's output, blockFrames() samples.
    const float* output(unsigned channel) const;
    // Convolves the block. Waiting, it takes every partition the workers compute; not waiting,
    // a partition they have not finished is left out of this block (and the result is false).
    bool run(bool waitForWorkers = true);

private:
    std::unique_ptr<Convproc> m_engine;
    std::size_t m_blockFrames;
    unsigned m_channels;
};

} // namespace space
