// Resource identifiers shared by the resource script and the code.
#pragma once

// The settings dialog the host creates and the editor fills.
#define IDD_CRUMLET_SETTINGS 104
