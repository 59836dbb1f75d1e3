// The audio thread's part of Crumlet Line takes no memory: after the first second, the
// buffers of every codec with loss, DTX and the radio run without a call to the allocator on
// the calling thread (the worker making new lines may allocate; it is another thread), and so
// do those of a line in a space while its room, distance and mix change and the host switches
// between playing live and rendering. The
// allocator is counted by standing in for glibc's malloc family in this program, which is why
// this test is a program of its own and is not built with the sanitizers' allocators.
#include "plugins/common/LineSession.h"
#include "space/SpaceCatalogue.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
extern "C" void* __libc_memalign(std::size_t, std::size_t);
extern "C" void __libc_free(void*);

namespace
{
thread_local bool t_counting = false;
thread_local long t_allocations = 0;

void count()
{
    if (t_counting)
        ++t_allocations;
}
} // namespace

extern "C" void* malloc(std::size_t bytes)
{
    count();
    return __libc_malloc(bytes);
}
extern "C" void* calloc(std::size_t n, std::size_t bytes)
{
    count();
    return __libc_calloc(n, bytes);
}
extern "C" void* realloc(void* p, std::size_t bytes)
{
    count();
    return __libc_realloc(p, bytes);
}
extern "C" void* memalign(std::size_t alignment, std::size_t bytes)
{
    count();
    return __libc_memalign(alignment, bytes);
}
extern "C" int posix_memalign(void** p, std::size_t alignment, std::size_t bytes)
{
    count();
    *p = __libc_memalign(alignment, bytes);
    return *p != nullptr ? 0 : 12;
}
extern "C" void* aligned_alloc(std::size_t alignment, std::size_t bytes)
{
    count();
    return __libc_memalign(alignment, bytes);
}
extern "C" void free(void* p)
{
    __libc_free(p);
}

TEST(LineRealTime, NoBufferCallsTheAllocator)
{
    const double rate = 44100.0;
    constexpr std::size_t kBlock = 441;
    std::vector<std::vector<float>> x(2, std::vector<float>(kBlock));
    std::vector<float*> pointers{x[0].data(), x[1].data()};
    for (std::size_t codec = 0; codec <= transmission::codecCatalogue().size(); ++codec)
    {
        plugins::LineSession session(2);
        session.setValue(plugins::kLineCodec, static_cast<float>(codec));
        session.setValue(plugins::kLineLoss, 15.f);
        session.setValue(plugins::kLineBurst, 2.f);
        session.setValue(plugins::kLineDtx, 1.f);
        session.setValue(plugins::kLineRadio, 1.f);
        session.setValue(plugins::kLineHold, 50.f);
        session.prepare(rate, kBlock);
        long during = 0;
        // Speech-like bursts and pauses, so that DTX, the radio's keying and concealment all
        // come into play; the first second settles the buffers.
        for (int buffer = 0; buffer < 600; ++buffer)
        {
            const bool talking = (buffer / 40) % 2 == 0;
            for (std::size_t i = 0; i < kBlock; ++i)
            {
                const float t = static_cast<float>(buffer * kBlock + i) / static_cast<float>(rate);
                x[0][i] = x[1][i] = talking ? 0.3f * std::sin(2.f * 3.14159265f * 220.f * t) : 0.f;
            }
            t_counting = buffer >= 100;
            t_allocations = 0;
            // A transport jump: the line standing by takes over.
            if (buffer == 300)
                session.requestReset();
            session.process(pointers.data(), kBlock);
            t_counting = false;
            during += t_allocations;
        }
        EXPECT_EQ(during, 0) << "codec " << codec;
        session.release();
    }
}

TEST(LineRealTime, NoBufferInASpaceCallsTheAllocatorWhileItChanges)
{
    const double rate = 48000.0;
    constexpr std::size_t kBlock = 256;
    std::vector<std::vector<float>> x(2, std::vector<float>(kBlock));
    std::vector<float*> pointers{x[0].data(), x[1].data()};
    const auto& catalogue = space::spaceCatalogue();
    plugins::LineSession session(2);
    session.setValue(plugins::kLineCodec, 1.f);
    session.setValue(plugins::kLineSpace, static_cast<float>(catalogue.size())); // the last
    session.setValue(plugins::kLineMix, 60.f);
    session.prepare(rate, kBlock);
    const std::uint64_t linesBefore = session.linesMade();
    long during = 0;
    for (int buffer = 0; buffer < 1200; ++buffer)
    {
        // Between buffers, as a host's other threads would: a new room, a new distance, the
        // mix moved, a transport jump; each new line is waited for, so that it is taken (and
        // crossfaded) on the counted buffers.
        if (buffer % 150 == 100)
        {
            session.setValue(plugins::kLineSpace, static_cast<float>(1 + (buffer / 150) % catalogue.size()));
            EXPECT_TRUE(session.waitUntilCurrent(10000));
        }
        if (buffer == 520)
        {
            session.setValue(plugins::kLineDistance, 2.5f);
            EXPECT_TRUE(session.waitUntilCurrent(10000));
        }
        if (buffer % 90 == 45)
            session.setValue(plugins::kLineMix, static_cast<float>(buffer % 100));
        for (std::size_t i = 0; i < kBlock; ++i)
            x[0][i] = x[1][i] = 0.3f * std::sin(2.f * 3.14159265f * 220.f * static_cast<float>(buffer * kBlock + i) /
                                               static_cast<float>(rate));
        t_counting = buffer >= 200;
        t_allocations = 0;
        if (buffer == 700)
            session.requestReset();
        session.setOffline(buffer >= 900 && buffer < 1000);
        session.process(pointers.data(), kBlock);
        t_counting = false;
        during += t_allocations;
    }
    EXPECT_EQ(during, 0);
    EXPECT_GE(session.linesMade(), linesBefore + 8);
    session.release();
}
