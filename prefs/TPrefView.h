// TPrefView: the main view of the preference window. It is rebuilt from
// the archived view tree "PrefViewRsrc" (five tab pages of controls and a
// row of four buttons), binds every control by its name, and edits the
// live preference record gPref: each change in a control is written to the
// record at once and announced to the window's target (the communication
// manager), so that the lyrics window follows while the user experiments.
//
// It keeps the confirmed copy: the record as it was when the view was made
// or when OK was last pressed. OK saves the record and makes it the
// confirmed copy; Cancel (Escape, the close box) puts the confirmed copy
// back; Default puts the defaults in.
//
// Threads: everything runs in the window's thread; the record is read and
// written under the preference lock, never while another window is locked.
//
// Ownership: the view owns its children (the controls and their menus), as
// every view; the window owns the view.
#ifndef PREFS_T_PREF_VIEW_H
#define PREFS_T_PREF_VIEW_H

#include "framework/TORVDlgView.h"
#include "prefs/TPref.h"

#include <GraphicsDefs.h>

#include <string>

class BBox;
class BButton;
class BCheckBox;
class BColorControl;
class BMenu;
class BMenuField;
class BRadioButton;
class BStringView;
class BTabView;
class BTextControl;
class BTranslatorRoster;

class TPrefView : public TORVDlgView {
public:
	// Builds the children from `archive`; IsComplete() tells whether every
	// control was there.
	explicit TPrefView(BMessage* archive);
	virtual ~TPrefView();

	virtual void MessageReceived(BMessage* message);
	virtual void AttachedToWindow();
	// Targets every control and menu at this view, selects the first tab,
	// makes OK the default button, then labels the controls and shows the
	// record in them.
	virtual void AllAttached();
	virtual void Draw(BRect updateRect);
	// F1 presses Help, Escape presses Cancel; other keys as every dialog
	// view (Enter, Control plus a label's letter).
	virtual void ShortCutDown(int32 rawChar, int32 key);

	// Whether the archive held every control the view works with.
	bool IsComplete() const { return fComplete; }

	// Shows the live record in every control. Setting the three text
	// fields sends their modification messages, as typing does.
	void UpdateCompos();
	// Labels every control in the current language and accelerator format
	// and fits it to its label.
	void SetViewLabel();
	// SetViewLabel, then the option menu.
	void SetLabelsCommon();
	// The language was reloaded: menus, tabs and labels again.
	void LanguageChanged();
	// The language folder changed: the language menu again.
	void ReloadLanguageFiles();
	// An inter-application preference changed; the accelerator format
	// relabels everything.
	void IAPChanged(BMessage* message);
	// Stay on top / the background image were changed in the lyrics window:
	// the confirmed copy takes the change too, so that Cancel keeps it.
	void PrefStayOnTopImmChanged();
	void PrefBGImageImmChanged();

	// Posts a notice to the window's target.
	void NotifyPrefChange(uint32 what);
	void NotifyPrefChange(BMessage* message);
	// Announces what Cancel or Default changed that the manager would not
	// hear of otherwise: 'plgc' when the language file differs, then
	// 'Splc' when the tool-bar setting does.
	void NotifyPrefDiffe(const TPref& before, const TPref& after);
	// Announces what Cancel or Default changed that the lyrics window acts
	// on and would not hear of otherwise: 'Spsc' when stay on top differs,
	// then 'pdbc' when double buffering does, then 'Sprc' when the lyrics
	// are to be read another way (encoding or extended tags).
	void NotifyDisplayerDiffe(const TPref& before, const TPref& after);

	// The option menu of the appearance tab: load and save submenus with
	// the stored presets, and the skin colours.
	void SetMFieldOption();
	// The load ('plps') or save ('psps') submenu; the caller owns it.
	BMenu* CreateAppearanceMenu(const char* label, uint32 what);
	// What the option menu's items ask for.
	void PopMItemLoadPresetClicked(BMessage* message);
	void PopMItemSavePresetClicked(BMessage* message);
	void PopMItemDelAllPresetsClicked();
	void SaveNewPresetRqtd(BMessage* message);
	// Writes the live record's appearance as the preset `name`, replacing
	// one of that name. False, and nothing written, for a name that would
	// lead out of the preset folder or when writing fails (an existing
	// preset then stays as it was).
	bool SaveCurrentAppearance(const char* name);
	// The skin file panel's answer: PLEDIT.TXT itself, or a skin archive
	// that a translator of the roster can list and extract from.
	void GetSkinColorRqtd(BMessage* message);
	// The roster the skin archives are opened through; NULL (as at first)
	// means the default roster. The caller keeps ownership.
	void SetTranslatorRoster(BTranslatorRoster* roster);

	// The colour file's words: see SkinColors.h.
	static int32 GetSkinColor(std::string* tokens, int32 count, const char* key,
		rgb_color* colour);
	static uint8 HexToInt(char c);

	// The colour of index 0 to 4: lyrics, background, active lyrics,
	// active background, active frame. Black for other indexes.
	static rgb_color PrefColor(const TPref* pref, int32 index);
	static void SetPrefColor(TPref* pref, int32 index, rgb_color color);

	// The record as last confirmed.
	const TPref& Confirmed() const { return fConfirmed; }

	// The buttons, for the window's close box and for tests.
	BButton* CancelButton() const { return fButtonCancel; }
	BButton* OKButton() const { return fButtonOK; }
	BTabView* TabView() const { return fTabView; }

private:
	void BindControls();
	void SetMessages();
	void BuildLanguageMenu();
	void BuildReadEncodingMenu();
	void BuildFontFamilyMenu();
	void BuildColorMenu();
	void BuildWriteCrTypeMenu();
	void BuildWriteEncodingMenu();
	void MarkLanguage(const std::string& languageFile);
	void ShowColor(rgb_color color);
	void EnableBGImageControls(bool enabled);
	void SetTargets();
	// Asks, then removes the preset file `fileName` and rebuilds the menu.
	void DeleteOnePreset(const char* fileName);
	// Extracts the first member named PLEDIT.TXT (any case) of the archive
	// into the private temporary folder; false where that fails.
	bool ExtractColourFile(const std::string& archive, std::string* colourFile);

	// Control handlers.
	void CheckBoxClicked(uint32 what);
	void MenuItemChosen(uint32 what);
	void LanguageItemChosen(BMessage* message);
	void FontFamilyChosen();
	void FontSizeEdited();
	void TimeDifferenceEdited();
	void BGImageNameEdited();
	void ImageAlignClicked();
	void ColorItemChosen();
	void ColorControlChanged();
	void ButtonHelpClicked();
	void ButtonOKClicked();
	void ButtonCancelClicked();
	void ButtonDefaultClicked();
	void RefsReceived(BMessage* message);
	// True when the drop was taken.
	bool SimpleData(BMessage* message);

	bool fComplete;
	TPref fConfirmed;

	BTabView* fTabView;
	BCheckBox* fStayOnTop;
	BMenuField* fLanguage;
	BMenuField* fReadEncoding;
	BStringView* fSharedGeneralStat;
	BMenuField* fFontFamily;
	BTextControl* fFontSize;
	BCheckBox* fAntiAliasing;
	BMenuField* fColor;
	BBox* fDispColor;
	BColorControl* fColorControl;
	BCheckBox* fUseActiveFrame;
	BStringView* fSharedAppearanceStat;
	BMenuField* fOption;
	BCheckBox* fUseBGImage;
	BTextControl* fBGImageName;
	BButton* fBrowseBGImage;
	BBox* fBGImageAlign;
	BRadioButton* fTile;
	BRadioButton* fScaleToFit;
	BStringView* fDisplayerBGImageStat;
	BCheckBox* fDoubleBuffering;
	BCheckBox* fReadExtendedTags;
	BStringView* fDisplayerOtherStat;
	BBox* fBoxNew;
	BMenuField* fWriteCrType;
	BMenuField* fWriteEncoding;
	BTextControl* fTimeDifference;
	BCheckBox* fShowToolBar;
	BStringView* fEditorStat;
	BButton* fButtonHelp;
	BButton* fButtonDefault;
	BButton* fButtonCancel;
	BButton* fButtonOK;
	BTranslatorRoster* fRoster;
};

#endif
