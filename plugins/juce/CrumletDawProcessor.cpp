#include "plugins/juce/CrumletDawProcessor.h"

#include "editor/PluginEditor.h"
#include "params/ValueLists.h"
#include "plugins/juce/CrumletDawEditor.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace
{
std::unique_ptr<juce::RangedAudioParameter> makeParameter(const ParameterDefinition& d)
{
    const juce::String name = toAscii(d.name);
    const juce::ParameterID id{name, 1};
    switch (d.hostType)
    {
    case HostType::Bool: return std::make_unique<juce::AudioParameterBool>(id, name, d.defaultValue >= 0.5f);
    case HostType::Int: {
        juce::StringArray texts;
        for (const auto& text : valueListOf(d.id))
            texts.add(text);
        return std::make_unique<juce::AudioParameterChoice>(id, name, texts, static_cast<int>(d.defaultValue));
    }
    case HostType::Float:
        break;
    }
    return std::make_unique<juce::AudioParameterFloat>(id, name, juce::NormalisableRange<float>(d.minValue, d.maxValue),
                                                       d.defaultValue, juce::AudioParameterFloatAttributes().withLabel(d.unit));
}

// A float as a person would set it, to six significant digits: a value that went through the
// host's normalised form comes back a rounding away (1 ms as 0.99999994 ms), and the block
// and the state should carry the 1.
float settled(float v)
{
    if (!std::isfinite(v) || v == 0.f)
        return v;
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(v));
    return std::strtof(text, nullptr);
}

// A parameter's value in its own units: 0 or 1, a list index, or the float.
float unitsOf(const juce::RangedAudioParameter& p)
{
    if (const auto* b = dynamic_cast<const juce::AudioParameterBool*>(&p))
        return b->get() ? 1.f : 0.f;
    if (const auto* c = dynamic_cast<const juce::AudioParameterChoice*>(&p))
        return static_cast<float>(c->getIndex());
    if (const auto* f = dynamic_cast<const juce::AudioParameterFloat*>(&p))
        return settled(f->get());
    return p.convertFrom0to1(p.getValue());
}
} // namespace

CrumletDawProcessor::CrumletDawProcessor()
{
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        auto parameter = makeParameter(g_parameterDefinitions[i]);
        m_parameters[i] = parameter.get();
        addParameter(parameter.release());
    }
}

void CrumletDawProcessor::prepareToPlay(double sampleRate, int)
{
    m_sampleRate = sampleRate;
    m_session = std::make_unique<plugins::EngineSession>(static_cast<std::uint32_t>(std::lround(sampleRate)),
                                                         static_cast<std::uint32_t>(getTotalNumOutputChannels()));
    m_session->setMeterRecordListener(this);
    m_blockSent = false;
    setLatencySamples(0);
}

void CrumletDawProcessor::releaseResources()
{
    m_session.reset();
}

std::array<float, kParameterCount> CrumletDawProcessor::values() const
{
    std::array<float, kParameterCount> v{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        v[i] = unitsOf(*m_parameters[i]);
    return v;
}

float CrumletDawProcessor::value(std::size_t hostIndex) const
{
    return unitsOf(*m_parameters[hostIndex]);
}

// The first buffer gets the whole block; later buffers a single update per changed value.
void CrumletDawProcessor::sendParameters()
{
    const auto now = values();
    if (!m_blockSent)
    {
        m_session->setAll(now);
        m_blockSent = true;
    }
    else
    {
        for (std::size_t i = 0; i < kParameterCount; ++i)
            if (now[i] != m_sent[i])
                m_session->set(i, now[i]);
    }
    m_sent = now;
}

void CrumletDawProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;
    if (m_session == nullptr || !m_session->ready())
        return;
    sendParameters();
    m_session->process(buffer.getArrayOfWritePointers(), static_cast<std::uint32_t>(buffer.getNumSamples()));
}

double CrumletDawProcessor::getTailLengthSeconds() const
{
    return m_session != nullptr ? static_cast<double>(m_session->tailFrames()) / m_sampleRate : 0.0;
}

const plugins::MeterReading& CrumletDawProcessor::meters() const
{
    return m_session != nullptr ? m_session->meters() : m_noMeters;
}

juce::AudioProcessorEditor* CrumletDawProcessor::createEditor()
{
    return new CrumletDawEditor(*this);
}

void CrumletDawProcessor::setMeteredEditor(PluginEditor* editor)
{
    m_meteredEditor.store(editor);
    if (editor == nullptr)
        while (m_deliveries.load() != 0)
            std::this_thread::yield();
}

void CrumletDawProcessor::meterRecordPosted(const void* record, std::uint32_t bytes)
{
    m_deliveries.fetch_add(1);
    if (PluginEditor* editor = m_meteredEditor.load())
    {
        const ZQ::Quarl::MonitorEntry entry{0, record, bytes};
        editor->monitorDataReceived(&entry, false);
    }
    m_deliveries.fetch_sub(1);
}

void CrumletDawProcessor::getStateInformation(juce::MemoryBlock& destination)
{
    const auto block = plugins::EngineSession::blockOf(values());
    destination.setSize(0);
    destination.append(kStateTag, sizeof kStateTag);
    const std::uint32_t version = juce::ByteOrder::swapIfBigEndian(kStateVersion);
    destination.append(&version, sizeof version);
    destination.append(block.data(), block.size());
}

void CrumletDawProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    // Anything but a state of this version is left alone: the parameters keep their values.
    constexpr int kBytes = sizeof kStateTag + 4 + static_cast<int>(kParameterBlockSize);
    if (data == nullptr || sizeInBytes != kBytes || std::memcmp(data, kStateTag, sizeof kStateTag) != 0)
        return;
    std::uint32_t version = 0;
    std::memcpy(&version, static_cast<const char*>(data) + sizeof kStateTag, 4);
    if (juce::ByteOrder::swapIfBigEndian(version) != kStateVersion)
        return;
    std::uint8_t block[kParameterBlockSize];
    std::memcpy(block, static_cast<const char*>(data) + sizeof kStateTag + 4, sizeof block);
    const auto stored = plugins::EngineSession::valuesOf(block);
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& d = g_parameterDefinitions[i];
        const float v = std::isfinite(stored[i]) ? juce::jlimit(d.minValue, d.maxValue, stored[i]) : d.defaultValue;
        m_parameters[i]->setValueNotifyingHost(m_parameters[i]->convertTo0to1(v));
    }
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CrumletDawProcessor();
}
