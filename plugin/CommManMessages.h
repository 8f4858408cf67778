// The message codes and field names that travel through the communication
// manager. The manager routes each request to the window that handles it;
// every other part talks to the windows only through these codes.
//
// Codes shared with lyrics/VersoDMessages.h and iap/IAPDefs.h have names
// of their own here, so that one file may include all three.
#ifndef PLUGIN_COMM_MAN_MESSAGES_H
#define PLUGIN_COMM_MAN_MESSAGES_H

#include <AppDefs.h>
#include <SupportDefs.h>

// The two managers' looper names (and so their thread names): the
// displayer's own and that of the companion lyrics editor.
inline constexpr const char kVersoDCommManName[] = "VersoD Communication Manager";
inline constexpr const char kVersoECommManName[] = "VersoE Communication Manager";

enum : uint32 {
	// Greeting between two managers; "CSCommMan" (pointer) = the sender.
	kMsgCommManGreeting = 'Scmc',

	// Window requests.
	kMsgOpenMainWin = 'Somr',          // open (or show) the lyrics window
	kMsgPrepareOpenPrefWin = 'Sppr',   // preferences, from the player
	kMsgPrefsRqtd = 'pprf',            // preferences, from the context menu
	kMsgOpenPrefWin = 'Sopr',          // "BesideDlg", "WinFrame"
	kMsgPrepareOpenAboutWin = 'Spar',  // about, from the player
	// The context menu's about item uses B_ABOUT_REQUESTED ('_ABR').
	kMsgOpenAboutWin = 'Soar',         // "BesideDlg", "WinFrame"
	kMsgOpenVersoE = 'ocer',           // "LyricsERef" (entry_ref)
	kMsgCommonPrefsRqtd = 'pscc',      // the common preference window
	kMsgHelpRqtd = 'phlp',             // the help document
	kMsgAuthorWebRqtd = 'pawb',        // the author's page

	// Close requests, posted in this order at shutdown: about,
	// preferences, common preferences, lyrics window.
	kMsgCloseMainWin = 'Scmr',
	kMsgClosePrefWin = 'Scpr',
	kMsgCloseAboutWin = 'Scar',
	kMsgCloseCommonPrefWin = 'Scsr',

	// Preference changes from the preference window: posted to the lyrics
	// window and forwarded to the peer.
	kMsgPrefStayOnTopChanged = 'Spsc',
	kMsgPrefAppearanceChanged = 'Spac',
	kMsgPrefDoubleBufferChanged = 'pdbc',
	// Changes made in the lyrics window: posted to the preference window
	// and forwarded to the peer.
	kMsgStayOnTopToggled = 'Ssic',
	kMsgBackImageChanged = 'piic',
	// How lyrics files are read (encoding, extended tags): posted to the
	// lyrics window and forwarded to the peer.
	kMsgPrefReadEncodingChanged = 'Sprc',
	// Preference changes that only concern the peer (the editor).
	kMsgPrefWriteEncodingChanged = 0x53706563,   // the characters S p e c
	kMsgPrefLineEndChanged = 'Spcc',
	kMsgPrefTimeDiffChanged = 'Sptc',
	kMsgPrefToolBarChanged = 'Splc',
	kMsgPrefSettingsRestored = 'Sedr',
	kMsgPrefOKPressed = 'Sssr',        // "StatBarStr" (string)

	// Language.
	kMsgLanguageChosen = 'plgc',        // reload the language if its file changed
	kMsgLanguageReloaded = '_lgc',      // the language was reloaded
	kMsgLanguageFolderChanged = '_nlc', // node-monitor fields

	// An inter-application preference changed (IAPDefs.h kIAPValueChanged).
	kMsgInterAppPrefChanged = '_ipc',

	// To the lyrics window: the player's window has moved.
	kMsgPlayerWinMoved = 'Scwm',
};

inline constexpr const char kFieldCommMan[] = "CSCommMan";
inline constexpr const char kFieldBesideDlg[] = "BesideDlg";
inline constexpr const char kFieldWinFrame[] = "WinFrame";
inline constexpr const char kFieldLyricsERef[] = "LyricsERef";
inline constexpr const char kFieldStatBarStr[] = "StatBarStr";

#endif
