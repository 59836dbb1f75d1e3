// Compiles (and so passes) only if every platform header a module source may include
// first lets the framework's header precede <windows.h>. Each block below is what one
// source of the module includes first.
#include "params/ParameterTable.h"

#include "host/OrvexCrumletApp.h"
#include "platform/DynamicLibrary.h"
#include "platform/ModuleState.h"
#include "platform/ScreenDevice.h"
#include "platform/StringTable.h"
#include "platform/WinApp.h"
#include "platform/WindowMessages.h"

// The module's application object as the framework's CWinApp derives it.
static_assert(std::is_base_of<CWinApp, COrvexCrumletApp>::value, "the application object is the framework's");
