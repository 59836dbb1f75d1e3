// The LV2 plugin: the forty parameters as control ports, handed to the effect as the host
// hands them (the whole parameter block first, then single-parameter updates for the ports
// that change), the audio processed in place in buffers of the engine's size, and the meter
// record's values on control output ports.
#include "plugins/common/EngineSession.h"
#include "plugins/lv2/Lv2Callbacks.h"
#include "plugins/lv2/Lv2InPlace.h"
#include "plugins/lv2/Lv2LinePlugin.h"
#include "plugins/lv2/Lv2Ports.h"

#include <lv2/core/lv2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace
{
class Instance
{
public:
    Instance(double sampleRate, std::uint32_t channels)
        : m_session(static_cast<std::uint32_t>(std::lround(sampleRate)), channels), m_channels(channels),
          m_ports(lv2port::portCount(channels), nullptr), m_work(channels)
    {
    }

    bool ready() const { return m_session.ready(); }

    void connect(std::uint32_t port, void* data)
    {
        if (port < m_ports.size())
            m_ports[port] = static_cast<float*>(data);
    }

    void activate() { m_sent = false; }

    void run(std::uint32_t frames)
    {
        sendParameters();
        if (!outputsInPlace(m_ports, lv2port::kFirstAudio, m_channels, frames, m_work))
            return;
        m_session.process(m_work.data(), frames);
        const plugins::MeterReading& m = m_session.meters();
        const float values[lv2port::kMeterCount] = {m.input, m.output, m.noiseDucking, m.gateGain};
        for (std::uint32_t i = 0; i < lv2port::kMeterCount; ++i)
            if (float* port = m_ports[lv2port::firstMeter(m_channels) + i])
                *port = values[i];
    }

private:
    // The first run sends the whole block; later runs send each value that changed.
    void sendParameters()
    {
        std::array<float, kParameterCount> now{};
        for (std::size_t i = 0; i < kParameterCount; ++i)
        {
            const float* port = m_ports[lv2port::kFirstControl + i];
            now[i] = port != nullptr ? *port : g_parameterDefinitions[i].defaultValue;
        }
        if (!m_sent)
        {
            m_session.setAll(now);
            m_sent = true;
        }
        else
        {
            for (std::size_t i = 0; i < kParameterCount; ++i)
                if (now[i] != m_values[i] && !(std::isnan(now[i]) && std::isnan(m_values[i])))
                    m_session.set(i, now[i]);
        }
        m_values = now;
    }

    plugins::EngineSession m_session;
    std::uint32_t m_channels;
    std::vector<float*> m_ports;
    std::vector<float*> m_work;
    std::array<float, kParameterCount> m_values{};
    bool m_sent = false;
};

template <std::uint32_t Channels>
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*)
{
    std::unique_ptr<Instance> instance(new (std::nothrow) Instance(rate, Channels));
    return instance && instance->ready() ? instance.release() : nullptr;
}

using Callbacks = Lv2Callbacks<Instance>;

const LV2_Descriptor kDescriptors[] = {
    {lv2port::kVariants[0].uri, instantiate<1>, Callbacks::connectPort, Callbacks::activate, Callbacks::run, nullptr,
     Callbacks::cleanup, Callbacks::extensionData},
    {lv2port::kVariants[1].uri, instantiate<2>, Callbacks::connectPort, Callbacks::activate, Callbacks::run, nullptr,
     Callbacks::cleanup, Callbacks::extensionData},
};
} // namespace

// The effect's plugins first, then Crumlet Line's.
extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    constexpr std::uint32_t kCount = sizeof kDescriptors / sizeof kDescriptors[0];
    return index < kCount ? &kDescriptors[index] : lineDescriptor(index - kCount);
}
