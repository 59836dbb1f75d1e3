// The settings dialog's resource identifier: the resource script builds the dialog under it
// (resources/OrvexCrumlet.rc) and the plugin object names it to the host, which creates the
// dialog for the editor to fill. A plain definition, for the resource compiler too.
#pragma once

#define IDD_CRUMLET_SETTINGS 104
