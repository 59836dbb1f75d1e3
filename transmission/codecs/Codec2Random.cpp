// The library calls codec2_rand through its procedure linkage table, so this definition, in
// the program or the module that links the transmission stage, takes the library's place (the
// same generator, so a fresh channel decodes as the library's own tools do in a fresh process)
// and draws from the state of the channel that is decoding on this thread.
#include "transmission/codecs/Codec2Random.h"

namespace transmission
{
namespace
{
thread_local unsigned long* t_state = nullptr;
} // namespace

Codec2RandomScope::Codec2RandomScope(unsigned long& state) : m_previous(t_state) { t_state = &state; }

Codec2RandomScope::~Codec2RandomScope() { t_state = m_previous; }
} // namespace transmission

extern "C" __attribute__((visibility("default"))) int codec2_rand(void)
{
    static thread_local unsigned long unscoped = transmission::Codec2RandomScope::kFreshState;
    unsigned long& next = transmission::t_state != nullptr ? *transmission::t_state : unscoped;
    next = next * 1103515245 + 12345;
    return static_cast<int>(static_cast<unsigned>(next / 65536) % 32768);
}
