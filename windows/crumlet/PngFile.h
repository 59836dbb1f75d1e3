// Writes 0xAARRGGBB pixels as an RGB PNG file (libpng).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Throws std::runtime_error when the file cannot be written.
void writePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height);
