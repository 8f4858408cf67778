#include "AppGlobals.h"

const char* const gAppName = "Verso Displayer";
const char* const gAppVer = "Ver 3.72";
const char* const gCrightPrfx = "Copyright © ";
const char* const gAppSignature = "application/x-vnd.ORVIK-VersoDisplayer";
