#include "prefs/TPrefWin.h"

#include "framework/Desktop.h"
#include "framework/TextUtils.h"
#include "iap/IAPDefs.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "lyrics/LyricsFile.h"
#include "plugin/CommManMessages.h"
#include "plugin/TCommMan.h"
#include "prefs/PrefStore.h"
#include "prefs/PrefWinDefs.h"
#include "prefs/TPrefView.h"
#include "prefs/TSimpleInputWin.h"

#include <DataIO.h>
#include <File.h>
#include <FilePanel.h>
#include <Message.h>
#include <Messenger.h>
#include <Resources.h>
#include <Screen.h>

#include <string.h>

namespace {

const int32 kShownPanelPriority = 15;
const int32 kHiddenPanelPriority = 5;

std::string text(const char* key)
{
	return gLLT != NULL ? std::string(gLLT->Text(key)) : std::string();
}

std::string acc_key_format()
{
	std::string format;
	if (gIAP == NULL || gIAP->GetString("AccKeyFormat", &format) != B_OK)
		format = "a) ";
	return format;
}

// The archived view tree, read from the resources of `path`.
bool read_view_archive(const std::string& path, BMessage* archive)
{
	if (path.empty())
		return false;
	BFile file(path.c_str(), B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return false;
	BResources resources;
	if (resources.SetTo(&file) != B_OK)
		return false;
	size_t size = 0;
	const void* data = resources.LoadResource(kPrefViewRsrcType, kPrefViewRsrcName, &size);
	if (data == NULL || size == 0)
		return false;
	BMemoryIO stream(data, size);
	return archive->Unflatten(&stream) == B_OK;
}

void label_panel(BFilePanel* panel, const char* titleKey)
{
	if (panel == NULL)
		return;
	if (BWindow* window = panel->Window()) {
		if (window->Lock()) {
			window->SetTitle(text(titleKey).c_str());
			window->Unlock();
		}
	}
	panel->SetButtonLabel(B_CANCEL_BUTTON, text("Button_Cancel").c_str());
	panel->SetButtonLabel(B_DEFAULT_BUTTON, text("Button_Select").c_str());
}

}

TPrefWin::TPrefWin(BRect frame, TCommMan* commMan, const char* resourceFile)
	: TORVDlgWin(frame, "PrefWin", B_TITLED_WINDOW, B_NOT_RESIZABLE | B_NOT_ZOOMABLE,
		B_CURRENT_WORKSPACE),
	  fInitStatus(B_NO_INIT),
	  fCommMan(commMan),
	  fBGImgPanel(NULL),
	  fSkinPanel(NULL),
	  fView(NULL),
	  fSaveDlg(NULL)
{
	const std::string path = resourceFile != NULL ? std::string(resourceFile)
		: verso_displayer_fname();
	BMessage archive;
	if (!read_view_archive(path, &archive))
		return;
	TPrefView* view = new TPrefView(&archive);
	// A tree that lacks a control the window works with is as damaged as
	// one that does not unflatten.
	if (!view->IsComplete()) {
		delete view;
		return;
	}
	fView = view;
	const BRect viewFrame = fView->Frame();
	ResizeTo(viewFrame.right, viewFrame.bottom);
	AddMainChild(fView);
	SetWinTitle();
	fInitStatus = B_OK;
}

TPrefWin::~TPrefWin()
{
	delete fBGImgPanel;
	delete fSkinPanel;
	if (fSaveDlg != NULL && fSaveDlg->Lock())
		fSaveDlg->Quit();
}

void TPrefWin::PassToView(BMessage* message)
{
	if (fView != NULL)
		PostMessage(message, fView);
}

void TPrefWin::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgLanguageReloaded:
			LanguageChanged();
			PassToView(message);
			break;
		case kMsgLanguageFolderChanged:
		case B_REFS_RECEIVED:
		case kMsgSkinFileChosen:
		case kMsgBackImageChanged:
			PassToView(message);
			break;
		case kMsgInterAppPrefChanged:
			IAPChanged(message);
			PassToView(message);
			break;
		case kMsgStayOnTopToggled:
			PrefStayOnTopChanged();
			PassToView(message);
			break;
		case kMsgPrefStayOnTopChanged:
			PrefStayOnTopChanged();
			if (fCommMan != NULL)
				fCommMan->PostMessage(message);
			break;
		case B_CANCEL: {
			// A file panel went away: its thread may rest.
			BFilePanel* panel = NULL;
			if (message->FindPointer("source", (void**)&panel) == B_OK
				&& (panel == fBGImgPanel || panel == fSkinPanel))
				orvik::set_file_panel_priority(panel, kHiddenPanelPriority);
			break;
		}
		case kMsgBrowseBGImageClicked:
			ButtonBrowseBGImgClicked();
			break;
		case kMsgGetSkinColorChosen:
			PopMItemGetSkinColorClicked();
			break;
		case kMsgShowSavePanel:
			ShowSavePanelRqtd();
			break;
		default:
			TORVDlgWin::MessageReceived(message);
			break;
	}
}

bool TPrefWin::QuitRequested()
{
	if (CurrentMessage() != NULL)
		Cancel();
	return TORVDlgWin::QuitRequested();
}

void TPrefWin::WindowActivated(bool active)
{
	TORVDlgWin::WindowActivated(active);
	if (active)
		set_proper_feel(this);
}

void TPrefWin::Cancel()
{
	if (fView == NULL)
		return;
	// As a press of Cancel, without showing the button pressed.
	BMessage cancel(kMsgCancelClicked);
	fView->MessageReceived(&cancel);
}

void TPrefWin::PrefStayOnTopChanged()
{
	if (!IsMinimized())
		set_proper_feel(this);
}

void TPrefWin::SetWinTitle()
{
	SetTitle(text("Pref_Win_Title").c_str());
}

void TPrefWin::SetBrowseBGImgPanelLabel()
{
	label_panel(fBGImgPanel, "BrowseBGImgPanel_Title");
}

void TPrefWin::SetBrowseSkinPanelLabel()
{
	label_panel(fSkinPanel, "BrowseSkinPanel_Title");
}

void TPrefWin::SetSavePanelLabel()
{
	if (fSaveDlg == NULL)
		return;
	const std::string format = acc_key_format();
	if (fSaveDlg->Lock()) {
		fSaveDlg->SetTitle(text("New_Preset_Name_Win_Title").c_str());
		fSaveDlg->Unlock();
	}
	fSaveDlg->SetDataLabel(
		orvik::merge_accelerator_key(format, "N", text("SID_Preset_Name")).c_str());
	fSaveDlg->SetButtonLabel(B_CANCEL_BUTTON, text("Button_Cancel").c_str());
	fSaveDlg->SetButtonLabel(B_DEFAULT_BUTTON, text("Button_OK").c_str());
}

void TPrefWin::ButtonBrowseBGImgClicked()
{
	if (fBGImgPanel == NULL) {
		BMessenger self(this);
		fBGImgPanel = new BFilePanel(B_OPEN_PANEL, &self, NULL, 0, true, NULL, NULL, false,
			true);
		SetBrowseBGImgPanelLabel();
	} else {
		orvik::set_file_panel_priority(fBGImgPanel, kShownPanelPriority);
	}
	fBGImgPanel->Show();
}

void TPrefWin::PopMItemGetSkinColorClicked()
{
	if (fSkinPanel == NULL) {
		BMessenger self(this);
		BMessage message(kMsgSkinFileChosen);
		fSkinPanel = new BFilePanel(B_OPEN_PANEL, &self, NULL, 0, true, &message, NULL,
			false, true);
		SetBrowseSkinPanelLabel();
	} else {
		orvik::set_file_panel_priority(fSkinPanel, kShownPanelPriority);
	}
	fSkinPanel->Show();
}

void TPrefWin::ShowSavePanelRqtd()
{
	if (fSaveDlg == NULL) {
		BRect frame = Frame();
		frame.top += 20;
		fSaveDlg = new TSimpleInputWin(frame, "");
		if (fSaveDlg->Lock()) {
			fSaveDlg->SetPos(true, frame.LeftTop());
			fSaveDlg->SetMessage(new BMessage(kMsgSaveNewPreset));
			fSaveDlg->SetTarget(fView);
			fSaveDlg->Unlock();
		}
		fSaveDlg->SetData(text("Untitled_Preset_Name").c_str());
		SetSavePanelLabel();
	}
	fSaveDlg->Appear();
}

void TPrefWin::LanguageChanged()
{
	SetWinTitle();
	SetBrowseBGImgPanelLabel();
	SetBrowseSkinPanelLabel();
	SetSavePanelLabel();
}

void TPrefWin::IAPChanged(BMessage* message)
{
	const char* item = NULL;
	if (message->FindString(kIAPFieldSrcItem, &item) == B_OK
		&& strcmp(item, "AccKeyFormat") == 0)
		SetSavePanelLabel();
}

TORVDlgWin* make_pref_window(BRect frame, TCommMan* manager)
{
	TPrefWin* window = new TPrefWin(frame, manager);
	if (window->InitCheck() != B_OK) {
		if (window->Lock())
			window->Quit();
		return NULL;
	}
	return window;
}
