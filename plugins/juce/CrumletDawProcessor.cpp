#include "plugins/juce/CrumletDawProcessor.h"

#include "params/ParameterBlock.h"
#include "params/ValueLists.h"
#include "plugins/juce/CrumletDawEditor.h"
#include "plugins/juce/SixSignificantDigits.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace
{
// Makes a parameter of its own type and keeps a typed pointer to it.
template <typename Parameter, typename... Arguments>
std::unique_ptr<juce::RangedAudioParameter> made(Parameter*& typed, Arguments&&... arguments)
{
    auto parameter = std::make_unique<Parameter>(std::forward<Arguments>(arguments)...);
    typed = parameter.get();
    return parameter;
}
} // namespace

std::unique_ptr<juce::RangedAudioParameter> CrumletDawProcessor::makeParameter(const ParameterDefinition& d,
                                                                               TypedParameter& typed)
{
    const juce::String name = toAscii(d.name);
    const juce::ParameterID id{name, 1};
    switch (d.hostType)
    {
    case HostType::Bool: return made(typed.asSwitch, id, name, d.defaultValue >= 0.5f);
    case HostType::Int: {
        juce::StringArray texts;
        for (const auto& text : valueListOf(d.id))
            texts.add(text);
        return made(typed.asList, id, name, texts, static_cast<int>(d.defaultValue));
    }
    case HostType::Float:
        break;
    }
    return made(typed.asFloat, id, name, juce::NormalisableRange<float>(d.minValue, d.maxValue), d.defaultValue,
                juce::AudioParameterFloatAttributes().withLabel(d.unit));
}

CrumletDawProcessor::CrumletDawProcessor() : MonoOrStereoEffectProcessor("Crumlet")
{
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        auto parameter = makeParameter(g_parameterDefinitions[i], m_typed[i]);
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

float CrumletDawProcessor::heldValue(std::size_t hostIndex) const
{
    const TypedParameter& p = m_typed[hostIndex];
    if (p.asSwitch != nullptr)
        return p.asSwitch->get() ? 1.f : 0.f;
    if (p.asList != nullptr)
        return static_cast<float>(p.asList->getIndex());
    return p.asFloat->get();
}

float CrumletDawProcessor::unitsOf(std::size_t hostIndex, float held) const
{
    return m_typed[hostIndex].asFloat != nullptr ? toSixSignificantDigits(held) : held;
}

std::array<float, kParameterCount> CrumletDawProcessor::values() const
{
    std::array<float, kParameterCount> v{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        v[i] = value(i);
    return v;
}

float CrumletDawProcessor::value(std::size_t hostIndex) const
{
    return unitsOf(hostIndex, heldValue(hostIndex));
}

// The first buffer gets the whole block; later buffers a single update per value that
// changed in its units. A value is brought to its units only when it changed as held.
void CrumletDawProcessor::sendParameters()
{
    if (!m_blockSent)
    {
        for (std::size_t i = 0; i < kParameterCount; ++i)
        {
            m_held[i] = heldValue(i);
            m_sent[i] = unitsOf(i, m_held[i]);
        }
        m_session->setAll(m_sent);
        m_blockSent = true;
        return;
    }
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const float held = heldValue(i);
        if (held == m_held[i])
            continue;
        m_held[i] = held;
        const float units = unitsOf(i, held);
        if (units != m_sent[i])
        {
            m_sent[i] = units;
            m_session->set(i, units);
        }
    }
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

juce::AudioProcessorEditor* CrumletDawProcessor::createEditor()
{
    return new CrumletDawEditor(*this);
}

void CrumletDawProcessor::meterRecordPosted(const void* record, std::uint32_t)
{
    m_meterRecords.fold(record, false);
}

void CrumletDawProcessor::getStateInformation(juce::MemoryBlock& destination)
{
    const auto block = parameterBlockOf(values());
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
    const auto stored = parameterValuesOf(block);
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
