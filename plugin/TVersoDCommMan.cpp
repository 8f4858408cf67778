#include "plugin/TVersoDCommMan.h"

#include "framework/Alerts.h"
#include "framework/Documents.h"
#include "framework/FileName.h"
#include "framework/TORVDlgWin.h"
#include "framework/TORVWin.h"
#include "framework/TextUtils.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "lang/TORVAboutWin.h"
#include "lang/TSimpleAboutView.h"
#include "lang/TNodeMonitorHandler.h"
#include "lyrics/LyricsFile.h"
#include "lyrics/TVSOInfoView.h"
#include "lyrics/TVersoDWin.h"
#include "plugin/AppGlobals.h"
#include "plugin/CommManMessages.h"
#include "plugin/TAppPrivacy.h"
#include "plugin/TIAPFilter.h"
#include "prefs/PrefStore.h"
#include "prefs/TPrefWin.h"

#include <Application.h>
#include <Entry.h>
#include <File.h>
#include <NodeMonitor.h>
#include <Path.h>
#include <Roster.h>

#include <stdio.h>

namespace {

// "Cannot show the page:" and a line feed, as the user reads it.
const char* const kPageErrorPrefix =
	"\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8\xE3\x82\x92\xE8\xA1\xA8\xE7\xA4\xBA"
	"\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\xEF\xBC\x9A\n";

// Where the lyrics window opens when no saved frame is at hand; it then
// docks to the player's window anyway.
const BRect kFallbackMainFrame(50, 50, 349, 149);

std::string text(const char* key)
{
	if (gLLT == NULL)
		return std::string();
	return gLLT->Text(key);
}

// Locks the window through its messenger, so that a window that is gone
// fails the lock instead of being touched. Unlock with window->Unlock().
bool lock_window(BWindow* window, const BMessenger& messenger)
{
	return window != NULL && messenger.LockTarget();
}

void send_to(const BMessenger& messenger, BMessage* message)
{
	if (messenger.IsValid())
		messenger.SendMessage(message, (BHandler*)NULL, B_INFINITE_TIMEOUT);
}

// Shows the window again, when it still exists.
bool appear(TORVWin* window, const BMessenger& messenger)
{
	if (!lock_window(window, messenger))
		return false;
	window->Appear();
	window->Unlock();
	return true;
}

// Quits the window and forgets it. A window that is gone already (the lock
// fails only then) is forgotten as well.
template<typename Window>
void close_window(Window*& window, BMessenger& messenger)
{
	if (window == NULL)
		return;
	if (lock_window(window, messenger))
		window->Quit();
	window = NULL;
	messenger = BMessenger();
}

// The about window: the plug-in's information view (with the plug-in
// file's icon) on a simple page.
TORVDlgWin* make_about_window(BRect frame)
{
	TVSOInfoView* info = new TVSOInfoView(BRect(0, 0, 1, 1), verso_displayer_fname().c_str());
	TSimpleAboutView* page = new TSimpleAboutView(frame, info);
	return new TORVAboutWin(frame, page);
}

void give_about_info(TORVDlgWin* window, const char* name, const char* version,
	const char* rights, TLLT* table)
{
	TORVAboutWin* about = dynamic_cast<TORVAboutWin*>(window);
	if (about == NULL)
		return;
	about->SetAppInfo(name, version, rights);
	about->SetLLTRef(table);
}

std::string percent_encoded_path(const std::string& path)
{
	static const char kHex[] = "0123456789ABCDEF";
	std::string out;
	for (unsigned char c : path) {
		bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
			|| c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
		if (plain) {
			out += (char)c;
		} else {
			out += '%';
			out += kHex[c >> 4];
			out += kHex[c & 0xF];
		}
	}
	return out;
}

std::string full_path(const entry_ref& ref)
{
	BPath path(&ref);
	if (path.InitCheck() == B_OK && path.Path() != NULL)
		return path.Path();
	return ref.name != NULL ? ref.name : "";
}

}

TVersoDCommMan::TVersoDCommMan()
	: TCommMan(kVersoDCommManName, kVersoECommManName),
	  fMainWin(NULL),
	  fNodeMonitor(NULL),
	  fPrefWin(NULL),
	  fAboutWin(NULL),
	  fIAPFilter(NULL),
	  fMainMaker([](BRect frame, TCommMan* manager) -> TORVWin* {
		  return new TVersoDWin(frame, manager);
	  }),
	  fPrefMaker(make_pref_window),
	  fAboutMaker(make_about_window),
	  fAboutInfo(give_about_info)
{
	// The constructor holds the looper's lock, as AddHandler needs.
	fNodeMonitor = new TNodeMonitorHandler(kMsgLanguageFolderChanged);
	AddHandler(fNodeMonitor);
	set_node_monitor_language(verso_displayer_fname(), fNodeMonitor);

	// The common preference window tells applications, not plug-ins, about
	// its changes: the filter on the application passes them on here.
	if (be_app != NULL && be_app->Lock()) {
		fIAPFilter = new TIAPFilter(BMessenger(NULL, this));
		be_app->AddCommonFilter(fIAPFilter);
		be_app->Unlock();
	}
}

TVersoDCommMan::~TVersoDCommMan()
{
	DetachFromApp();

	// The handler must leave the looper before it is deleted; a handler
	// that could not be taken off is left alone rather than freed under it.
	if (fNodeMonitor != NULL) {
		stop_watching(fNodeMonitor, this);
		bool removed = false;
		if (IsLocked()) {
			removed = RemoveHandler(fNodeMonitor);
		} else if (Lock()) {
			removed = RemoveHandler(fNodeMonitor);
			Unlock();
		}
		if (removed)
			delete fNodeMonitor;
		fNodeMonitor = NULL;
	}
}

void TVersoDCommMan::Quit()
{
	// Here, before the thread ends: the thread that quits the manager is
	// free to wait for the application's lock, while the manager's own
	// thread, deleting the manager later, might not be.
	DetachFromApp();
	TCommMan::Quit();
}

void TVersoDCommMan::DetachFromApp()
{
	if (fIAPFilter == NULL)
		return;
	if (be_app != NULL && be_app->Lock()) {
		be_app->RemoveCommonFilter(fIAPFilter);
		be_app->Unlock();
		delete fIAPFilter;
	} else if (be_app != NULL) {
		// Still on an application that cannot be locked: freeing it would
		// leave the application a dangling filter.
		fprintf(stderr, "VersoD: the preference filter stays on the application\n");
	} else {
		// The application is gone, and its filters with it.
	}
	fIAPFilter = NULL;
}

void TVersoDCommMan::SetMainWindowMaker(main_window_maker maker)
{
	fMainMaker = std::move(maker);
}

void TVersoDCommMan::SetPrefWindowMaker(pref_window_maker maker)
{
	fPrefMaker = std::move(maker);
}

void TVersoDCommMan::SetAboutWindowMaker(about_window_maker maker, about_info_setter setInfo)
{
	fAboutMaker = std::move(maker);
	fAboutInfo = std::move(setInfo);
}

std::string TVersoDCommMan::RightsNotice()
{
	return std::string(gCrightPrfx) + text("App_Author");
}

std::string TVersoDCommMan::AuthorWebAddress()
{
	// The project has no web page of its own; its documentation is the help
	// document that comes with the plug-in.
	std::string folder = extract_file_folder_path_kernel(verso_displayer_fname(), 0);
	return "file://" + percent_encoded_path(folder + "/VersoD.htm");
}

void TVersoDCommMan::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgOpenMainWin:
			OpenMainWindowRqtd();
			break;
		case kMsgPrepareOpenPrefWin:
		case kMsgPrefsRqtd:
			PrepareOpenPrefWindowRqtd();
			break;
		case kMsgOpenPrefWin:
			OpenPrefWindowRqtd(message);
			break;
		case kMsgPrepareOpenAboutWin:
		case B_ABOUT_REQUESTED:
			PrepareOpenAboutWindowRqtd();
			break;
		case kMsgOpenAboutWin:
			OpenAboutWindowRqtd(message);
			break;
		case kMsgOpenVersoE:
			OpenVersoERqtd(message);
			break;
		case kMsgCommonPrefsRqtd:
			PopMItemORVIKCommonPrefClicked();
			break;
		case kMsgHelpRqtd:
			PopMItemHelpClicked();
			break;
		case kMsgAuthorWebRqtd:
			PopMItemAuthorWebClicked();
			break;

		case kMsgCloseMainWin:
			CloseMainWindowRqtd();
			break;
		case kMsgClosePrefWin:
			ClosePrefWindowRqtd();
			break;
		case kMsgCloseAboutWin:
			CloseAboutWindowRqtd();
			break;
		case kMsgCloseCommonPrefWin:
			CloseORVIKCommonPrefWindowRqtd();
			break;

		// The window that made the change has applied it already: the other
		// one gets the bare code first, the peer then gets it with the
		// settings.
		case kMsgPrefStayOnTopChanged:
		case kMsgPrefAppearanceChanged:
		case kMsgPrefDoubleBufferChanged:
			send_to(fMainMessenger, message);
			ForwardToPeer(message);
			break;
		case kMsgStayOnTopToggled:
		case kMsgBackImageChanged:
			send_to(fPrefMessenger, message);
			ForwardToPeer(message);
			break;
		// The lyrics window reads its lyrics again with the new reading.
		case kMsgPrefReadEncodingChanged:
			send_to(fMainMessenger, message);
			ForwardToPeer(message);
			break;
		case kMsgPrefWriteEncodingChanged:
		case kMsgPrefLineEndChanged:
		case kMsgPrefTimeDiffChanged:
		case kMsgPrefToolBarChanged:
		case kMsgPrefSettingsRestored:
		case kMsgPrefOKPressed:
			ForwardToPeer(message);
			break;

		case kMsgLanguageChosen:
			PrefLanguageChanged();
			break;
		case kMsgLanguageReloaded:
			LanguageChanged();
			send_to(fMainMessenger, message);
			send_to(fPrefMessenger, message);
			ForwardToPeer(message);
			break;
		case kMsgLanguageFolderChanged:
			NodeLanguageChanged();
			send_to(fPrefMessenger, message);
			break;
		case kMsgInterAppPrefChanged:
			IAPChanged(message);
			break;

		default:
			TCommMan::MessageReceived(message);
			break;
	}
}

void TVersoDCommMan::OpenMainWindowRqtd()
{
	// A window that went away behind the manager's back is made anew.
	if (fMainWin != NULL && appear(fMainWin, fMainMessenger))
		return;
	fMainWin = NULL;
	fMainMessenger = BMessenger();
	if (!fMainMaker)
		return;

	BRect frame = kFallbackMainFrame;
	if (gExitState != NULL) {
		TPrefLock lock;
		frame = gExitState->windowFrame;
	}
	TORVWin* window = fMainMaker(frame, this);
	if (window == NULL)
		return;
	fMainWin = window;
	fMainMessenger = BMessenger(NULL, window);
	appear(fMainWin, fMainMessenger);
}

void TVersoDCommMan::PostPrepared(uint32 what)
{
	BMessage request(what);
	BRect frame;
	bool beside = false;
	if (lock_window(fMainWin, fMainMessenger)) {
		frame = fMainWin->Frame();
		fMainWin->Unlock();
		beside = true;
	}
	request.AddBool(kFieldBesideDlg, beside);
	if (beside)
		request.AddRect(kFieldWinFrame, frame);
	// Answered in a later turn of the loop, with the frame of this moment.
	PostMessage(&request);
}

void TVersoDCommMan::PrepareOpenPrefWindowRqtd()
{
	PostPrepared(kMsgOpenPrefWin);
}

void TVersoDCommMan::PrepareOpenAboutWindowRqtd()
{
	PostPrepared(kMsgOpenAboutWin);
}

bool TVersoDCommMan::DialogFrame(BMessage* message, bool* beside, BRect* frame)
{
	if (message->FindBool(kFieldBesideDlg, beside) != B_OK)
		return false;
	*frame = BRect(0, 0, -1, -1);
	if (*beside && message->FindRect(kFieldWinFrame, frame) != B_OK)
		return false;
	frame->top += 20;
	return true;
}

void TVersoDCommMan::OpenPrefWindowRqtd(BMessage* message)
{
	if (fPrefWin != NULL) {
		if (appear(fPrefWin, fPrefMessenger))
			return;
		fPrefWin = NULL;
		fPrefMessenger = BMessenger();
	}
	bool beside;
	BRect frame;
	if (!DialogFrame(message, &beside, &frame))
		return;
	if (!fPrefMaker)
		return;   // no preference window in this build

	TORVDlgWin* window = fPrefMaker(frame, this);
	if (window == NULL) {
		orvik::show_msg(text("Alert_Caption").c_str(), text("Err_Cannot_Create_Pref_Win").c_str(),
			text("Button_OK").c_str(), B_WARNING_ALERT);
		return;
	}
	fPrefWin = window;
	fPrefMessenger = BMessenger(NULL, window);
	if (lock_window(fPrefWin, fPrefMessenger)) {
		fPrefWin->SetPos(beside, frame.LeftTop());
		fPrefWin->SetTarget(this);
		fPrefWin->SetFeel(B_FLOATING_ALL_WINDOW_FEEL);
		fPrefWin->Appear();
		fPrefWin->Unlock();
	}
}

void TVersoDCommMan::OpenAboutWindowRqtd(BMessage* message)
{
	if (fAboutWin != NULL) {
		if (appear(fAboutWin, fAboutMessenger))
			return;
		fAboutWin = NULL;
		fAboutMessenger = BMessenger();
	}
	bool beside;
	BRect frame;
	if (!DialogFrame(message, &beside, &frame))
		return;

	TORVDlgWin* window = fAboutMaker ? fAboutMaker(frame) : NULL;
	if (window == NULL) {
		// Without its window the program information still reaches the
		// user, so that "About" always answers.
		ShowAppInfoAlert();
		return;
	}
	fAboutWin = window;
	fAboutMessenger = BMessenger(NULL, window);
	if (lock_window(fAboutWin, fAboutMessenger)) {
		fAboutWin->SetPos(beside, frame.LeftTop());
		if (fAboutInfo)
			fAboutInfo(fAboutWin, gAppName, gAppVer, RightsNotice().c_str(), gLLT);
		fAboutWin->Appear();
		fAboutWin->Unlock();
	}
}

void TVersoDCommMan::ShowAppInfoAlert()
{
	std::string info = std::string(gAppName) + " " + gAppVer + "\n" + RightsNotice();
	orvik::show_msg(gAppName, info.c_str(), text("Button_OK").c_str(), B_INFO_ALERT);
}

void TVersoDCommMan::GiveAboutInfo()
{
	if (!fAboutInfo || !lock_window(fAboutWin, fAboutMessenger))
		return;
	fAboutInfo(fAboutWin, gAppName, gAppVer, RightsNotice().c_str(), gLLT);
	fAboutWin->Unlock();
}

void TVersoDCommMan::OpenVersoERqtd(BMessage* message)
{
	entry_ref ref;
	if (message->FindRef(kFieldLyricsERef, &ref) != B_OK)
		return;
	std::string format;
	if (gIAP != NULL)
		gIAP->GetString("AccKeyFormat", &format);

	// The editor running beside the displayer opens the file itself.
	BMessage refs(B_REFS_RECEIVED);
	refs.AddRef("refs", &ref);
	if (SendMessage(&refs) == B_OK)
		return;

	const std::string path = full_path(ref);
	const std::string caption = text("Alert_Caption");
	BEntry entry(&ref);
	if (!entry.Exists()) {
		std::string question = text("Ask_Create_New_1") + path + text("Ask_Create_New_2");
		std::string no = orvik::merge_accelerator_key(format, "N", text("Button_No"));
		std::string yes = orvik::merge_accelerator_key(format, "Y", text("Button_Yes"));
		int32 answer = orvik::show_alert(caption.c_str(), question.c_str(), no.c_str(),
			yes.c_str(), NULL, -1, B_INFO_ALERT);
		if (answer != 1)
			return;
		// Never truncates: a file made meanwhile by someone else stays as
		// it is.
		BFile file(&ref, B_WRITE_ONLY | B_CREATE_FILE);
		if (file.InitCheck() != B_OK) {
			std::string error = text("Err_Cannot_Open_Lyrics_File") + path;
			orvik::show_msg(caption.c_str(), error.c_str(), text("Button_OK").c_str(),
				B_WARNING_ALERT);
			return;
		}
	}

	status_t result = be_roster != NULL ? be_roster->Launch(&ref) : (status_t)B_ERROR;
	if (result == B_OK || result == B_ALREADY_RUNNING)
		return;
	std::string error = text("Err_Cannot_Open_Lyrics_File") + path;
	orvik::show_msg(caption.c_str(), error.c_str(), text("Button_OK").c_str(), B_WARNING_ALERT);
}

void TVersoDCommMan::PopMItemORVIKCommonPrefClicked()
{
	if (gIAP == NULL)
		return;
	BRect frame(0, 0, -1, -1);
	if (lock_window(fMainWin, fMainMessenger)) {
		frame = fMainWin->Frame();
		fMainWin->Unlock();
	}
	frame.top += 20;
	gIAP->ShowWindow(frame);
}

void TVersoDCommMan::PopMItemHelpClicked()
{
	show_help();
}

void TVersoDCommMan::PopMItemAuthorWebClicked()
{
	orvik::show_url(AuthorWebAddress().c_str(), text("Alert_Caption").c_str(), kPageErrorPrefix);
}

void TVersoDCommMan::NodeLanguageChanged()
{
	PostMessage(kMsgLanguageChosen);
}

void TVersoDCommMan::PrefLanguageChanged()
{
	if (gAppPrivacy != NULL && !gAppPrivacy->ShouldBeLanguageChanged())
		return;
	if (gLLT == NULL)
		return;
	load_language(verso_displayer_fname().c_str());
	// The loader's hook records the file as well; recording here too keeps
	// a repeated request from reloading an unchanged file when no hook is
	// installed.
	if (gAppPrivacy != NULL)
		gAppPrivacy->UpdateLanguageInfos();
	PostMessage(kMsgLanguageReloaded);
}

void TVersoDCommMan::LanguageChanged()
{
	GiveAboutInfo();
	set_node_monitor_language(verso_displayer_fname(), fNodeMonitor);
}

void TVersoDCommMan::IAPChanged(BMessage* message)
{
	// The store first, so that the windows read the new value.
	if (gIAP != NULL)
		gIAP->SetValue(*message);
	send_to(fMainMessenger, message);
	send_to(fPrefMessenger, message);
}

void TVersoDCommMan::ForwardToPeer(BMessage* message)
{
	if (!IsConnected())
		return;
	if (gPref != NULL) {
		TPrefLock pref;
		pref->Archive(message);
	}
	SendMessage(message);
}

void TVersoDCommMan::CloseMainWindowRqtd()
{
	close_window(fMainWin, fMainMessenger);
}

void TVersoDCommMan::ClosePrefWindowRqtd()
{
	close_window(fPrefWin, fPrefMessenger);
}

void TVersoDCommMan::CloseAboutWindowRqtd()
{
	close_window(fAboutWin, fAboutMessenger);
}

void TVersoDCommMan::CloseORVIKCommonPrefWindowRqtd()
{
	if (gIAP != NULL)
		gIAP->CloseWindow(false);
}
