// windows_demo: the displayer's about window, in English and in the
// built-in Japanese, and the common preference window of the author's
// programs with the items "AccKeyFormat" and "FlatToolBar".
//
//   windows_demo [--headless] [--out DIR] PLUGIN LANGUAGE_FOLDER
//
// PLUGIN is gen_VersoD.so (its icon and its built-in language), and
// LANGUAGE_FOLDER holds English.llt. On a display the windows stay until
// each is closed. Headless (or with --headless) it writes about-en.png,
// about-ja.png and common-prefs.png into DIR (a new temporary folder
// without --out), names it, and ends.
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPItemFlatToolBar.h"
#include "iap/TIAPView.h"
#include "iap/TIAPWin.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "lang/TLLT.h"
#include "lang/TORVAboutWin.h"
#include "lang/TSimpleAboutView.h"
#include "lyrics/TVSOInfoView.h"
#include "plugin/AppGlobals.h"

#include <Application.h>
#include <MessageRunner.h>
#include <OS.h>
#include <Window.h>

#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const char* const kSignature = "application/x-vnd.ORVIK-WindowsDemo";
const uint32 kMsgCheck = 'chck';

struct Options {
	bool headless = false;
	std::string out;
	std::string plugin;
	std::string languages;
};

bool write_png(BWindow* window, const std::string& path)
{
	// Everything asked of the window so far is drawn first.
	BPrivate::WindowAccess::Settle(window);
	display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	if (display::DisplayServer::Get()->WriteContentsToPng(id, path.c_str()) != B_OK) {
		fprintf(stderr, "windows_demo: cannot write %s\n", path.c_str());
		return false;
	}
	return true;
}

class DemoApp : public BApplication {
public:
	explicit DemoApp(const Options& options)
		: BApplication(kSignature), fOptions(options)
	{
		fStore.SetAppSignatureRef(kSignature);
		fStore.AddItem(new TIAPItemAccKeyFormat());
		fStore.AddItem(new TIAPItemFlatToolBar());
		install_common_window(&fStore);
	}

	~DemoApp() override
	{
		delete fCheck;
	}

	void ReadyToRun() override
	{
		const std::string englishPath = fOptions.languages + "/English.llt";
		if (fEnglish.Load(englishPath.c_str()) != 0)
			fprintf(stderr, "windows_demo: cannot read %s\n", englishPath.c_str());
		if (load_built_in_language(fOptions.plugin.c_str(), &fJapanese) != 0)
			fprintf(stderr, "windows_demo: no built-in language in %s\n", fOptions.plugin.c_str());
		fStore.SetLLTRef(&fEnglish);

		const std::string rights = std::string(gCrightPrfx) + fEnglish.Text("App_Author");
		TORVAboutWin* english = MakeAbout(BRect(60, 60, 61, 61), &fEnglish, rights);
		const std::string jaRights = std::string(gCrightPrfx) + fJapanese.Text("App_Author");
		TORVAboutWin* japanese = MakeAbout(BRect(420, 60, 421, 61), &fJapanese, jaRights);
		fStore.ShowWindow(BRect(60, 330, 61, 331));
		TIAPWin* common = nullptr;
		for (int32 w = 0; BWindow* window = WindowAt(w); w++) {
			if (TIAPWin* found = dynamic_cast<TIAPWin*>(window))
				common = found;
		}

		if (fOptions.headless) {
			// The common window takes the items from its port a moment later.
			for (int i = 0; common != nullptr && i < 250; i++) {
				bool complete = false;
				if (common->Lock()) {
					complete = common->View()->ComponentView("FlatToolBar") != nullptr;
					common->Unlock();
				}
				if (complete)
					break;
				snooze(20000);
			}
			bool ok = write_png(english, fOptions.out + "/about-en.png")
				&& write_png(japanese, fOptions.out + "/about-ja.png")
				&& (common != nullptr && write_png(common, fOptions.out + "/common-prefs.png"));
			printf("windows_demo: pictures of the about window (English, Japanese) and of the "
				"common preference window are in %s\n", fOptions.out.c_str());
			fResult = ok ? 0 : 1;
			PostMessage(B_QUIT_REQUESTED);
			return;
		}
		BMessage check(kMsgCheck);
		fCheck = new BMessageRunner(BMessenger(this), &check, 500000);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kMsgCheck) {
			BApplication::MessageReceived(message);
			return;
		}
		// Closing a window only hides it: the demo ends when all are hidden.
		bool shown = false;
		for (int32 w = 0; BWindow* window = WindowAt(w); w++) {
			if (window->Lock()) {
				shown = shown || !window->IsHidden();
				window->Unlock();
			}
		}
		if (!shown)
			PostMessage(B_QUIT_REQUESTED);
	}

	bool QuitRequested() override
	{
		fStore.QuitWindow();
		return BApplication::QuitRequested();
	}

	int Result() const { return fResult; }

private:
	TORVAboutWin* MakeAbout(BRect frame, TLLT* table, const std::string& rights)
	{
		TVSOInfoView* info = new TVSOInfoView(BRect(0, 0, 1, 1), fOptions.plugin.c_str());
		TORVAboutWin* window = new TORVAboutWin(frame, new TSimpleAboutView(frame, info));
		window->SetAppInfo(gAppName, gAppVer, rights.c_str());
		window->SetLLTRef(table);
		window->Show();
		return window;
	}

	Options fOptions;
	TInterAppPrefs fStore;
	TLLT fEnglish;
	TLLT fJapanese;
	BMessageRunner* fCheck = nullptr;
	int fResult = 0;
};

}

int main(int argc, char** argv)
{
	Options options;
	std::vector<std::string> rest;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--headless") == 0) {
			options.headless = true;
		} else if (strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
			options.out = argv[++i];
		} else {
			rest.push_back(argv[i]);
		}
	}
	if (rest.size() != 2) {
		fprintf(stderr, "usage: windows_demo [--headless] [--out DIR] PLUGIN LANGUAGE_FOLDER\n");
		return 2;
	}
	options.plugin = rest[0];
	options.languages = rest[1];
	const char* display = getenv("VERSO_DISPLAY");
	if (options.headless || (display != nullptr && strcmp(display, "headless") == 0)
		|| getenv("VERSO_HEADLESS") != nullptr || getenv("DISPLAY") == nullptr) {
		options.headless = true;
		setenv("VERSO_HEADLESS", "1", 1);
	}
	if (options.headless && options.out.empty()) {
		char folder[] = "/tmp/verso-windows-XXXXXX";
		if (mkdtemp(folder) == nullptr) {
			perror("windows_demo");
			return 1;
		}
		options.out = folder;
	}

	DemoApp app(options);
	if (app.InitCheck() != B_OK)
		return 1;
	app.Run();
	return app.Result();
}
