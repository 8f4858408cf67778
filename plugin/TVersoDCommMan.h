// TVersoDCommMan: the displayer's communication manager, the hub of the
// plug-in. Its thread owns the lyrics window, the preference window and the
// about window, opens, closes and updates them on request, routes the
// preference changes between them and on to the companion editor's manager
// (its peer, "VersoE Communication Manager", when that runs in the same
// application), and starts the editor on a lyrics file. The codes it
// handles are in CommManMessages.h; every other part talks to the windows
// only by posting to the manager.
//
// Ownership: the manager does not delete its windows: a window lives from
// its creation until the matching close request quits it (a quit window
// deletes itself; a window the user closes is only hidden). The manager
// owns its node-monitor handler and the filter it puts on the application;
// both are removed and deleted with the manager, so neither outlives it.
//
// Threads: every request is handled in the manager's thread. The window
// accessors and the makers' setters below need the manager's lock (or must
// be called before Run()).
#ifndef PLUGIN_T_VERSO_D_COMM_MAN_H
#define PLUGIN_T_VERSO_D_COMM_MAN_H

#include "plugin/TCommMan.h"

#include <Rect.h>

#include <functional>
#include <string>

class TIAPFilter;
class TLLT;
class TNodeMonitorHandler;
class TORVDlgWin;
class TORVWin;

class TVersoDCommMan : public TCommMan {
public:
	// Makes the lyrics window on `frame` for `manager`, hidden. The default
	// makes the displayer's lyrics window.
	typedef std::function<TORVWin*(BRect frame, TCommMan* manager)> main_window_maker;
	// Makes the preference window on `frame` for `manager`, hidden; NULL
	// when it could not be made (the maker then disposes of it itself).
	typedef std::function<TORVDlgWin*(BRect frame, TCommMan* manager)> pref_window_maker;
	// Makes the about window on `frame`, hidden; NULL when it could not be
	// made.
	typedef std::function<TORVDlgWin*(BRect frame)> about_window_maker;
	// Gives the about window the program information and the language
	// table (again after every language change). Called with the window
	// locked.
	typedef std::function<void(TORVDlgWin* window, const char* name, const char* version,
	                           const char* rights, TLLT* table)> about_info_setter;

	// Named "VersoD Communication Manager", greeting "VersoE Communication
	// Manager". Creates the node-monitor handler and aims it at the language
	// folder, and puts the '_ipc' forwarding filter on the application.
	TVersoDCommMan();
	virtual ~TVersoDCommMan();

	virtual void MessageReceived(BMessage* message) override;
	// Takes the forwarding filter off the application, then quits as a
	// looper does.
	virtual void Quit() override;

	void SetMainWindowMaker(main_window_maker maker);
	// The default makes the displayer's preference window; without a maker
	// 'Sopr' opens nothing.
	void SetPrefWindowMaker(pref_window_maker maker);
	// The default makes the displayer's about window. Without a maker 'Soar'
	// shows the program information in an alert.
	void SetAboutWindowMaker(about_window_maker maker, about_info_setter setInfo);

	TORVWin* MainWindow() const { return fMainWin; }
	TORVDlgWin* PrefWindow() const { return fPrefWin; }
	TORVDlgWin* AboutWindow() const { return fAboutWin; }
	TNodeMonitorHandler* NodeMonitorHandler() const { return fNodeMonitor; }

	// The rights notice: the copyright prefix and the author's name in the
	// current language.
	static std::string RightsNotice();
	// What 'pawb' opens: the help document beside the plug-in file, as a
	// file:// address.
	static std::string AuthorWebAddress();

private:
	void OpenMainWindowRqtd();
	void PrepareOpenPrefWindowRqtd();
	void OpenPrefWindowRqtd(BMessage* message);
	void PrepareOpenAboutWindowRqtd();
	void OpenAboutWindowRqtd(BMessage* message);
	void OpenVersoERqtd(BMessage* message);
	void PopMItemORVIKCommonPrefClicked();
	void PopMItemHelpClicked();
	void PopMItemAuthorWebClicked();
	void PrefLanguageChanged();
	void NodeLanguageChanged();
	void LanguageChanged();
	void IAPChanged(BMessage* message);
	void CloseMainWindowRqtd();
	void ClosePrefWindowRqtd();
	void CloseAboutWindowRqtd();
	void CloseORVIKCommonPrefWindowRqtd();

	// 'Sopr'/'Soar': the request's rectangle, its top moved down by 20;
	// false when the request lacks its fields.
	static bool DialogFrame(BMessage* message, bool* beside, BRect* frame);
	void PostPrepared(uint32 what);
	// Adds the preference record to the message and sends it to the peer.
	void ForwardToPeer(BMessage* message);
	void ShowAppInfoAlert();
	void GiveAboutInfo();
	void DetachFromApp();

	// The windows are addressed through messengers as well: a window that
	// went away without the manager (its application quit it) is then
	// noticed instead of touched.
	TORVWin* fMainWin;
	BMessenger fMainMessenger;
	TNodeMonitorHandler* fNodeMonitor;
	TORVDlgWin* fPrefWin;
	BMessenger fPrefMessenger;
	TORVDlgWin* fAboutWin;
	BMessenger fAboutMessenger;
	TIAPFilter* fIAPFilter;   // on be_app while not NULL

	main_window_maker fMainMaker;
	pref_window_maker fPrefMaker;
	about_window_maker fAboutMaker;
	about_info_setter fAboutInfo;
};

#endif
