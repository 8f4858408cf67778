// Message codes shared by the lyrics view, the lyrics window and the
// communication manager, and the fields they carry.
#ifndef LYRICS_VERSO_D_MESSAGES_H
#define LYRICS_VERSO_D_MESSAGES_H

#include <SupportDefs.h>

enum {
	// The view's poll timer: ask the player where it is. No fields.
	kMsgPollPlayer = 'pcir',
	// The appearance preferences changed (or a background image was
	// dropped on the view): the view applies them.
	kMsgAppearanceChanged = 'Spac',
	// The double-buffering preference changed.
	kMsgDoubleBufferingChanged = 'pdbc',
	// The language changed: the view rebuilds its context menu.
	kMsgLanguageChanged = '_lgc',
	// An inter-application preference changed; field "IAP:SrcIAPItem"
	// names it. "AccKeyFormat" makes the view rebuild its context menu.
	kMsgIAPChanged = '_ipc',
	// A preference of how lyrics files are read changed (the read
	// encoding or the extended reading): the view reads its lyrics again.
	kMsgReadingChanged = 'Sprc',
	// The view took a dropped image as its background. No fields; the
	// window passes it to the communication manager.
	kMsgBackgroundImageChanged = 'piic',

	// Context-menu commands, all aimed at the lyrics window.
	kMsgPopOpenLyrics = 'popn',      // open the lyrics file in the editor
	kMsgPopWinPos = 'pwps',          // dock; field "WinPos" (int32, 0-3)
	kMsgPopWinSize = 'pwsz',         // size; field "WinSize" (int32, 0-1)
	kMsgPopHide = 'phid',            // hide (minimize) the window
	kMsgPopStayOnTop = 'psot',       // toggle the stay-on-top preference
	kMsgPopPreferences = 'pprf',     // open the preference window
	kMsgPopCommonPrefs = 'pscc',     // open the common preferences window
	kMsgPopHelp = 'phlp',            // open the help document
	kMsgPopAuthorWeb = 'pawb'        // open the author's web page
	// The about item sends B_ABOUT_REQUESTED ('_ABR').
};

// Field names.
inline constexpr const char kFieldWinPos[] = "WinPos";
inline constexpr const char kFieldWinSize[] = "WinSize";
inline constexpr const char kFieldIAPSrcItem[] = "IAP:SrcIAPItem";

// Values of "WinPos": where the lyrics window docks beside the player.
enum {
	kWinPosAbove = 0,
	kWinPosBelow = 1,
	kWinPosLeft = 2,
	kWinPosRight = 3
};

// Values of "WinSize".
enum {
	kWinSizePlayerWidth = 0,
	kWinSizeFixedHeight = 1
};

#endif
