#include "plugins/juce/CrumletLineProcessor.h"

#include <cmath>

namespace
{
std::unique_ptr<juce::RangedAudioParameter> makeParameter(const plugins::LineParameter& p)
{
    const juce::ParameterID id{p.id, 1};
    switch (p.kind)
    {
    case plugins::LineParameterKind::Switch:
        return std::make_unique<juce::AudioParameterBool>(
            id, p.name, p.defaultValue >= 0.5f, juce::AudioParameterBoolAttributes().withAutomatable(p.automatable));
    case plugins::LineParameterKind::Choice: {
        juce::StringArray texts;
        for (const auto& text : p.choices)
            texts.add(text);
        return std::make_unique<juce::AudioParameterChoice>(
            id, p.name, texts, static_cast<int>(p.defaultValue),
            juce::AudioParameterChoiceAttributes().withAutomatable(p.automatable));
    }
    case plugins::LineParameterKind::Integer:
        return std::make_unique<juce::AudioParameterInt>(
            id, p.name, static_cast<int>(p.minValue), static_cast<int>(p.maxValue), static_cast<int>(p.defaultValue),
            juce::AudioParameterIntAttributes().withAutomatable(p.automatable));
    case plugins::LineParameterKind::Float: break;
    }
    return std::make_unique<juce::AudioParameterFloat>(
        id, p.name, juce::NormalisableRange<float>(p.minValue, p.maxValue), p.defaultValue,
        juce::AudioParameterFloatAttributes().withLabel(p.unit).withAutomatable(p.automatable));
}
} // namespace

CrumletLineProcessor::CrumletLineProcessor() : MonoOrStereoEffectProcessor("Crumlet Line")
{
    const auto& table = plugins::lineParameters();
    for (std::size_t i = 0; i < plugins::kLineParameterCount; ++i)
    {
        auto parameter = makeParameter(table[i]);
        m_parameters[i] = parameter.get();
        addParameter(parameter.release());
    }
}

CrumletLineProcessor::~CrumletLineProcessor()
{
    m_session.reset();
    cancelPendingUpdate();
}

float CrumletLineProcessor::valueOf(std::size_t index) const
{
    const auto& p = *m_parameters[index];
    return p.convertFrom0to1(p.getValue());
}

void CrumletLineProcessor::sendValues()
{
    for (std::size_t i = 0; i < plugins::kLineParameterCount; ++i)
        m_session->setValue(i, valueOf(i));
}

void CrumletLineProcessor::prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock)
{
    m_session = std::make_unique<plugins::LineSession>(static_cast<unsigned>(getTotalNumOutputChannels()));
    sendValues();
    m_session->prepare(sampleRate, static_cast<std::size_t>(std::max(maximumExpectedSamplesPerBlock, 1)));
    // Later latencies come from the worker thread; the host is told on its message thread.
    m_session->setLatencyListener([this](std::size_t) { triggerAsyncUpdate(); });
    setLatencySamples(static_cast<int>(m_session->latency()));
    m_expectedTime = -1;
}

void CrumletLineProcessor::handleAsyncUpdate()
{
    if (m_session != nullptr)
        setLatencySamples(static_cast<int>(m_session->latency()));
}

void CrumletLineProcessor::releaseResources()
{
    m_session.reset();
}

void CrumletLineProcessor::resetOnTransportJump(int frames)
{
    auto* head = getPlayHead();
    const auto position = head != nullptr ? head->getPosition() : juce::Optional<juce::AudioPlayHead::PositionInfo>{};
    if (!position || !position->getIsPlaying() || !position->getTimeInSamples())
    {
        m_expectedTime = -1;
        return;
    }
    const juce::int64 now = *position->getTimeInSamples();
    if (m_expectedTime >= 0 && now != m_expectedTime)
        m_session->requestReset();
    m_expectedTime = now + frames;
}

void CrumletLineProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;
    if (m_session == nullptr || buffer.getNumChannels() < getTotalNumOutputChannels())
    {
        buffer.clear();
        return;
    }
    sendValues();
    resetOnTransportJump(buffer.getNumSamples());
    // An export waits for the space's convolution workers; playing never does.
    m_session->setOffline(isNonRealtime());
    m_session->process(buffer.getArrayOfWritePointers(), static_cast<std::size_t>(buffer.getNumSamples()));
}

double CrumletLineProcessor::getTailLengthSeconds() const
{
    // After the input ends the radio may hold the key and close with its squelch burst, and
    // the space rings on.
    const double radio =
        valueOf(plugins::kLineRadio) < 0.5f ? 0.0 : (valueOf(plugins::kLineHold) + valueOf(plugins::kLineSquelch)) / 1000.0;
    const double space = m_session != nullptr && getSampleRate() > 0.0
                             ? static_cast<double>(m_session->spaceTailFrames()) / getSampleRate()
                             : 0.0;
    return radio + space;
}

void CrumletLineProcessor::getStateInformation(juce::MemoryBlock& destination)
{
    juce::XmlElement state(kStateTag);
    state.setAttribute("version", kStateVersion);
    const auto& table = plugins::lineParameters();
    for (std::size_t i = 0; i < plugins::kLineParameterCount; ++i)
    {
        auto* entry = state.createNewChildElement("Parameter");
        entry->setAttribute("id", table[i].id);
        entry->setAttribute("value", static_cast<double>(valueOf(i)));
    }
    destination.setSize(0);
    copyXmlToBinary(state, destination);
}

void CrumletLineProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    // A state that is not ours, or of another version, changes nothing; a parameter it lacks
    // keeps its value, and one it gives out of range is brought into it.
    const auto state = data != nullptr && sizeInBytes > 0 ? getXmlFromBinary(data, sizeInBytes) : nullptr;
    if (state == nullptr || !state->hasTagName(kStateTag) || state->getIntAttribute("version") != kStateVersion)
        return;
    const auto& table = plugins::lineParameters();
    for (std::size_t i = 0; i < plugins::kLineParameterCount; ++i)
    {
        const auto* entry = state->getChildByAttribute("id", table[i].id);
        if (entry == nullptr || !entry->hasAttribute("value"))
            continue;
        const auto stored = static_cast<float>(entry->getDoubleAttribute("value", std::nan("")));
        const float value = plugins::clampedLineValue(i, std::isfinite(stored) ? stored : table[i].defaultValue);
        m_parameters[i]->setValueNotifyingHost(m_parameters[i]->convertTo0to1(value));
    }
    if (m_session != nullptr)
        sendValues();
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CrumletLineProcessor();
}
