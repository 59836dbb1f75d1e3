// A changed property handed to a running effect, as the host's sound engine hands it once the
// plugin object has seen the change: a single-parameter update under the property's
// identifier, its value carried as the description says (PropertyDescription::update).
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "quarl/PropertySet.h"

#include <string>

namespace quarl
{
// The value `properties` holds for the property on its current platform, to `params`. Answers
// the parameter object's code, or InvalidParameter for a name the set does not know or a
// property without an identifier.
ZQ::Quarl::Result sendProperty(ZQ::Quarl::IEffectParams& params, const PropertySet& properties,
                               const std::string& name);
} // namespace quarl
