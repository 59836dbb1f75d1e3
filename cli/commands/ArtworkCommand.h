// `crumlet artwork --out DIR`: writes every embedded image as DIR/NAME.png, decoded from the
// module's own arrays, and DIR/contact-sheet.png with all of them.
#pragma once

#include <string>

int runArtwork(const std::string& outDir);
