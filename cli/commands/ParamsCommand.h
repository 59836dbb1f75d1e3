// `crumlet params`: the effect's properties as the host knows them, with the display names
// the plugin object gives.
#pragma once

int runParams(bool json);
