// Codec 2's decoder draws random phases and post-filter noise from one generator of the
// library's own (codec2_rand), shared by the whole process: a file's samples would depend on
// what was decoded before it, and threads would race on it. Each Codec 2 channel keeps its
// own generator state and makes it the current one while it encodes or decodes.
#pragma once

namespace transmission
{
class Codec2RandomScope
{
public:
    // The library's generator starts from this state in a fresh process.
    static constexpr unsigned long kFreshState = 1;

    explicit Codec2RandomScope(unsigned long& state);
    ~Codec2RandomScope();
    Codec2RandomScope(const Codec2RandomScope&) = delete;
    Codec2RandomScope& operator=(const Codec2RandomScope&) = delete;

private:
    unsigned long* m_previous;
};
} // namespace transmission
