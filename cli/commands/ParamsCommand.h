// `crumlet params`: the effect's properties as the host knows them, with the display names
// the plugin object gives.
#pragma once

#include <nlohmann/json_fwd.hpp>

// Every property as --json lists it.
nlohmann::ordered_json propertiesJson();

int runParams(bool json);
