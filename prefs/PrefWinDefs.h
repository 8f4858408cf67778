// Message codes, view names and resource of the preference window and of
// the simple input dialog.
#ifndef PREFS_PREF_WIN_DEFS_H
#define PREFS_PREF_WIN_DEFS_H

#include <SupportDefs.h>

// The archived view tree of the preference window: a resource of the
// plug-in file.
inline constexpr uint32 kPrefViewRsrcType = 'ARCV';
inline constexpr int32 kPrefViewRsrcID = 3000;
inline constexpr const char kPrefViewRsrcName[] = "PrefViewRsrc";
// The design font size that the archive's top level records.
inline constexpr float kPrefViewDesignFontSize = 11.99f;

enum : uint32 {
	// The controls' own messages, handled by the preference view.
	kMsgStayOnTopClicked = 'cstc',
	kMsgLanguageItemChosen = 'mlgc',      // "LLTF" (string): the file, empty for the built-in
	kMsgReadEncodingChosen = 'mrec',
	kMsgFontFamilyChosen = 'mffc',
	kMsgFontSizeEdited = 'tfsc',
	kMsgAntiAliasingClicked = 'caac',
	kMsgColorItemChosen = 'mclc',         // "Color" (raw rgb_color)
	kMsgColorControlChanged = 'capc',
	kMsgActiveFrameClicked = 'cufc',
	kMsgUseBGImageClicked = 'cubc',
	kMsgBGImageNameEdited = 'tbic',
	kMsgBrowseBGImageClicked = 'bbgi',
	kMsgImageAlignClicked = 'rbia',
	kMsgDoubleBufferingClicked = 'cdbc',
	kMsgReadExtendedTagsClicked = 'crxc',
	kMsgWriteCrTypeChosen = 'mwcc',
	kMsgWriteEncodingChosen = 'mwec',
	kMsgTimeDifferenceEdited = 'ttdc',
	kMsgShowToolBarClicked = 'cslc',
	kMsgHelpClicked = '_hlp',
	kMsgDefaultClicked = '_dfl',
	kMsgCancelClicked = '_cnc',
	kMsgOKClicked = '_ok',                // 0x005F6F6B

	// The option menu of the appearance tab.
	kMsgLoadPresetChosen = 'plps',        // "PSFName" (string)
	kMsgSavePresetChosen = 'psps',        // "PSFName" (string)
	kMsgDeleteAllPresetsChosen = 'pdap',
	kMsgGetSkinColorChosen = 'pgsc',
	kMsgShowSavePanel = 'sspr',
	kMsgSaveNewPreset = 'snpr',           // "_SmplIptData" (string)
	kMsgSkinFileChosen = 'gscr',          // "refs" (entry_ref)

	// The simple input dialog's message until its owner gives another.
	kMsgSimpleInputDone = '_sdc'
};

inline constexpr const char kFieldLLTF[] = "LLTF";
inline constexpr const char kFieldColor[] = "Color";
inline constexpr const char kFieldPSFName[] = "PSFName";
inline constexpr const char kFieldSimpleInputData[] = "_SmplIptData";

// The prefix of the preset files' names.
inline constexpr const char kPresetFilePrefix[] = "UAP_";

#endif
