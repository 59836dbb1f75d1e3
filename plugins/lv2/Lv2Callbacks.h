// The LV2 C callbacks that hand a plugin instance's calls to its class.
#pragma once

#include <lv2/core/lv2.h>

#include <cstdint>

template <typename Instance>
struct Lv2Callbacks
{
    static void connectPort(LV2_Handle h, std::uint32_t port, void* data) { static_cast<Instance*>(h)->connect(port, data); }
    static void activate(LV2_Handle h) { static_cast<Instance*>(h)->activate(); }
    static void run(LV2_Handle h, std::uint32_t frames) { static_cast<Instance*>(h)->run(frames); }
    static void deactivate(LV2_Handle h) { static_cast<Instance*>(h)->deactivate(); }
    static void cleanup(LV2_Handle h) { delete static_cast<Instance*>(h); }
    static const void* extensionData(const char*) { return nullptr; }
};
