// `crumlet presets`: the presets that ship with the product.
#pragma once

int runPresets(bool json);
