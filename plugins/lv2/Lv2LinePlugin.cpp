// Crumlet Line's LV2 plugins (mono and stereo): the line's parameters as control ports handed
// to plugins::LineSession each run, the audio processed in place, and the latency on a
// control output port that the host reads to compensate it. The line is made for the largest
// buffer the host says it will run (a space's convolution holds that much back). A host that
// does not say it plays in real time (the freewheeling port at 0) is taken to render: a space
// then waits for its convolution's workers, so that a file tool's output is whole.
#include "plugins/lv2/Lv2LinePlugin.h"

#include "plugins/common/LineSession.h"
#include "plugins/lv2/Lv2Callbacks.h"
#include "plugins/lv2/Lv2HostBuffer.h"
#include "plugins/lv2/Lv2InPlace.h"
#include "plugins/lv2/Lv2LinePorts.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace
{
class LineInstance
{
public:
    LineInstance(double sampleRate, std::uint32_t channels, std::uint32_t hostFrames)
        : m_session(channels), m_sampleRate(sampleRate), m_channels(channels),
          m_maxFrames(hostFrames == 0 ? lv2line::kMostFramesPerCall
                                      : std::min(hostFrames, lv2line::kLargestFramesPerCall)),
          m_ports(lv2line::portCount(channels), nullptr), m_work(channels)
    {
    }

    void connect(std::uint32_t port, void* data)
    {
        if (port < m_ports.size())
            m_ports[port] = static_cast<float*>(data);
    }

    // The line is made here, from the ports' values, with its latency known before the first run.
    void activate()
    {
        sendValues();
        m_session.prepare(m_sampleRate, m_maxFrames);
    }

    void deactivate() { m_session.release(); }

    void run(std::uint32_t frames)
    {
        sendValues();
        const float* freewheel = m_ports[lv2line::freewheelPort(m_channels)];
        const bool live = freewheel != nullptr && *freewheel < 0.5f; // NaN: not live
        m_session.setOffline(!live);
        if (!outputsInPlace(m_ports, lv2line::kFirstAudio, m_channels, frames, m_work))
            return;
        m_session.process(m_work.data(), frames);
        if (float* latency = m_ports[lv2line::latencyPort(m_channels)])
            *latency = static_cast<float>(m_session.latency());
    }

private:
    void sendValues()
    {
        for (std::size_t i = 0; i < plugins::kLineParameterCount; ++i)
            if (const float* port = m_ports[lv2line::kFirstControl + i])
                m_session.setValue(i, *port);
    }

    plugins::LineSession m_session;
    double m_sampleRate;
    std::uint32_t m_channels;
    std::uint32_t m_maxFrames;
    std::vector<float*> m_ports;
    std::vector<float*> m_work;
};

template <std::uint32_t Channels>
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
    return new (std::nothrow) LineInstance(rate, Channels, hostBufferFrames(features));
}

using Callbacks = Lv2Callbacks<LineInstance>;

const LV2_Descriptor kLineDescriptors[] = {
    {lv2line::kVariants[0].uri, instantiate<1>, Callbacks::connectPort, Callbacks::activate, Callbacks::run,
     Callbacks::deactivate, Callbacks::cleanup, Callbacks::extensionData},
    {lv2line::kVariants[1].uri, instantiate<2>, Callbacks::connectPort, Callbacks::activate, Callbacks::run,
     Callbacks::deactivate, Callbacks::cleanup, Callbacks::extensionData},
};
} // namespace

const LV2_Descriptor* lineDescriptor(std::uint32_t index)
{
    return index < sizeof kLineDescriptors / sizeof kLineDescriptors[0] ? &kLineDescriptors[index] : nullptr;
}
