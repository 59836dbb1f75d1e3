#include "pipeline/SpaceStep.h"

#include "space/Space.h"

namespace pipeline
{
namespace
{
class InSpace final : public SpaceStep
{
public:
    InSpace(const space::SpaceSettings& settings, std::uint32_t sampleRate, std::uint32_t channels)
        : m_settings(settings), m_space(settings, sampleRate, channels)
    {
    }

    void process(const float* interleaved, std::uint32_t frames, std::vector<float>& out) override
    {
        m_space.process(interleaved, frames, out);
    }

    void finish(std::vector<float>& out) override { m_space.finish(out); }

    std::size_t mostFramesHeldBack() const override { return m_space.heldBackFrames(); }

    SpaceReport report() const override { return {space::spaceText(m_settings), m_space.tailFrames()}; }

private:
    space::SpaceSettings m_settings;
    space::Space m_space;
};
} // namespace

std::unique_ptr<SpaceStep> SpaceStep::make(const space::SpaceSettings& settings, std::uint32_t sampleRate,
                                           std::uint32_t channels)
{
    if (!settings.active())
        return nullptr;
    return std::make_unique<InSpace>(settings, sampleRate, channels);
}
} // namespace pipeline
