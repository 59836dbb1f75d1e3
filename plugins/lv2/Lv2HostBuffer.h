// The largest buffer an LV2 host says it will run a plugin with: buf-size's maxBlockLength
// among the options it passes (its nominal length when it gives only that), read through its
// URID map; 0 when it does not say.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>

inline std::uint32_t hostBufferFrames(const LV2_Feature* const* features)
{
    const LV2_URID_Map* map = nullptr;
    const LV2_Options_Option* options = nullptr;
    for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f)
    {
        if (std::strcmp((*f)->URI, LV2_URID__map) == 0)
            map = static_cast<const LV2_URID_Map*>((*f)->data);
        else if (std::strcmp((*f)->URI, LV2_OPTIONS__options) == 0)
            options = static_cast<const LV2_Options_Option*>((*f)->data);
    }
    if (map == nullptr || options == nullptr)
        return 0;
    const LV2_URID most = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID nominal = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
    const LV2_URID integer = map->map(map->handle, LV2_ATOM__Int);
    std::uint32_t largest = 0, usual = 0;
    for (const LV2_Options_Option* o = options; o->key != 0; ++o)
    {
        if (o->context != LV2_OPTIONS_INSTANCE || o->type != integer || o->size != sizeof(std::int32_t) ||
            o->value == nullptr)
            continue;
        const std::int32_t frames = *static_cast<const std::int32_t*>(o->value);
        if (frames <= 0)
            continue;
        if (o->key == most)
            largest = static_cast<std::uint32_t>(frames);
        else if (o->key == nominal)
            usual = static_cast<std::uint32_t>(frames);
    }
    return largest != 0 ? largest : usual;
}
