// `crumlet sims`: the device models with their categories, sections and levels.
#pragma once

int runSims(bool json);
