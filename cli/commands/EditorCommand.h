// `crumlet editor`: the effect's editor in a window of the stand-in host, with the input
// (or the demo) looping through the effect so that meters move and changes are heard.
#pragma once

#include <string>
#include <vector>

struct EditorOptions
{
    std::string input; // empty: the demo
    std::vector<std::string> assignments;
    std::string preset;
    std::string bankFile;
    std::string screenshot; // PNG written after `afterMs` of audio; then the command ends
    int afterMs = 1000;
    double scale = 0.0;     // the screen density as a scale (dpi / 96); 0: the display's own
    std::string savePreset; // the settings the window was closed with
    bool force = false;     // replace an existing preset file
};

// Runs until the window is closed (or the screenshot is written); answers the exit code.
int runEditor(const EditorOptions& options);
