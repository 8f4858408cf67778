// The displayer's identity texts.
#ifndef PLUGIN_APP_GLOBALS_H
#define PLUGIN_APP_GLOBALS_H

extern const char* const gAppName;       // "Verso Displayer"
extern const char* const gAppVer;        // "Ver 3.72"
extern const char* const gCrightPrfx;    // prefix of the rights notice
extern const char* const gAppSignature;  // "application/x-vnd.ORVIK-VersoDisplayer"

#endif
