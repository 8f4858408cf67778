// BRoster: the running applications of the user, and launching.
//
// Every BApplication registers itself with a named port that any process
// of the same user can find; the roster lists those ports to know which
// applications run, to send them messages and to broadcast.
//
// Finding an application (FindApp) by signature looks, in this order:
//  1. at running applications (the executable of the first one found);
//  2. at the applications that ran before: each BApplication records its
//     signature and executable under $XDG_DATA_HOME/verso/apps (by default
//     ~/.local/share/verso/apps), one file per signature;
//  3. in the folders listed in $VERSO_APP_PATH (separated by ':') and the
//     folder of the running executable, for an executable named after the
//     last part of the signature (after "x-vnd." and the maker's name, if
//     any), compared without regard to case.
//
// Documents and URLs are opened by the desktop's opener (xdg-open), run
// without a shell. $VERSO_OPENER names another program to use instead; in
// a headless session ($VERSO_HEADLESS set) without $VERSO_OPENER nothing
// is opened and the launch fails with B_LAUNCH_FAILED_NO_PREFERRED_APP.
//
// Applications are single-launch: launching one that runs already delivers
// the launch's messages (or arguments) to the running one and returns
// B_ALREADY_RUNNING with its team.
#ifndef _ROSTER_H
#define _ROSTER_H

#include <Entry.h>
#include <Messenger.h>
#include <OS.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

class BList;
class BMessage;

struct app_info {
	app_info();
	~app_info();

	thread_id thread;
	team_id team;
	port_id port;
	uint32 flags;
	entry_ref ref;
	char signature[B_MIME_TYPE_LENGTH];
};

// Application flags.
#define B_LAUNCH_MASK           (0x3)
#define B_SINGLE_LAUNCH         (0x0)
#define B_MULTIPLE_LAUNCH       (0x1)
#define B_EXCLUSIVE_LAUNCH      (0x2)
#define B_BACKGROUND_APP        (0x4)
#define B_ARGV_ONLY             (0x8)
#define _B_APP_INFO_RESERVED1_  (0x10000000)

enum {
	B_REQUEST_LAUNCHED  = 0x00000001,
	B_REQUEST_QUIT      = 0x00000002,
	B_REQUEST_ACTIVATED = 0x00000004
};

enum {
	B_SOME_APP_LAUNCHED  = 'BRAS',
	B_SOME_APP_QUIT      = 'BRAQ',
	B_SOME_APP_ACTIVATED = 'BRAW'
};

class BRoster {
public:
	BRoster();
	~BRoster();

	bool IsRunning(const char* signature) const;
	bool IsRunning(entry_ref* ref) const;
	// B_BAD_VALUE for NULL, B_ERROR when no such application runs.
	team_id TeamFor(const char* signature) const;
	team_id TeamFor(entry_ref* ref) const;
	// Adds the teams (cast to void*) of the running applications.
	void GetAppList(BList* teams) const;
	void GetAppList(const char* signature, BList* teams) const;
	status_t GetAppInfo(const char* signature, app_info* info) const;
	status_t GetAppInfo(entry_ref* ref, app_info* info) const;
	status_t GetRunningAppInfo(team_id team, app_info* info) const;
	status_t GetActiveAppInfo(app_info* info) const;

	// The executable of the application with this signature (see above);
	// B_LAUNCH_FAILED_APP_NOT_FOUND when there is none.
	status_t FindApp(const char* signature, entry_ref* app) const;
	// The application that opens this file: the file itself when it is an
	// executable, else the desktop's opener.
	status_t FindApp(entry_ref* ref, entry_ref* app) const;

	// Sends a copy of `message` to every running application of the user,
	// this one included. Asynchronous; the first failure is reported, but
	// every application is tried.
	status_t Broadcast(BMessage* message) const;
	status_t Broadcast(BMessage* message, BMessenger replyTo) const;

	status_t StartWatching(BMessenger target,
	                       uint32 eventMask = B_REQUEST_LAUNCHED | B_REQUEST_QUIT) const;
	status_t StopWatching(BMessenger target) const;

	// Sends B_APP_ACTIVATED to the application of `team`.
	status_t ActivateApp(team_id team) const;

	// Launching by signature or MIME type: an application signature starts
	// that application; another type (such as "text/html") opens the
	// arguments with the desktop's opener.
	status_t Launch(const char* mimeType, BMessage* initialMessage = NULL,
	                team_id* appTeam = NULL) const;
	status_t Launch(const char* mimeType, BList* messageList,
	                team_id* appTeam = NULL) const;
	status_t Launch(const char* mimeType, int argc, char** args,
	                team_id* appTeam = NULL) const;
	// Launching a file: an executable runs; a document opens with the
	// desktop's opener.
	status_t Launch(const entry_ref* ref, const BMessage* initialMessage = NULL,
	                team_id* appTeam = NULL) const;
	status_t Launch(const entry_ref* ref, const BList* messageList,
	                team_id* appTeam = NULL) const;
	status_t Launch(const entry_ref* ref, int argc, const char* const* args,
	                team_id* appTeam = NULL) const;

private:
	BRoster(const BRoster&) = delete;
	BRoster& operator=(const BRoster&) = delete;
};

extern const BRoster* be_roster;

#endif
