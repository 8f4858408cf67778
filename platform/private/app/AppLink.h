// How applications of different processes find and reach each other.
//
// Every BApplication publishes a named port "be:app:<pid>:<signature>"
// (system-wide, see kernel/PortRegistry.h) and serves it with a thread
// that reads flattened messages from it and delivers them in this process:
// to the handler whose token the message names, or to the application's
// preferred handler. Another process's messenger writes to that port.
//
// On the wire a message is the platform's flattened form with the target
// token and the reply information of its header filled in (port code
// 'pjpp'); the reply "port" is not used, as messengers name teams.
#ifndef PRIVATE_APP_APP_LINK_H
#define PRIVATE_APP_APP_LINK_H

#include <OS.h>

#include "app/MessagePrivate.h"

#include <string>
#include <vector>

class BApplication;
class BMessage;

namespace BPrivate {

// The code of a flattened message on an application's port.
enum { APP_PORT_MESSAGE_CODE = 'pjpp' };

struct RunningApp {
	team_id team = -1;
	std::string signature;
	std::string portName;
};

// A message as it arrived on an application's port, with its delivery
// information (target, reply address) taken from the header; NULL for data
// that is not a whole, sound message. The caller owns the result.
BMessage* message_from_wire(const uint8* data, size_t size);

// Signatures are MIME types: compared without regard to case.
bool same_signature(const char* a, const char* b);

// Every application of the user that runs now, in any process (this one
// included), ordered by process id.
std::vector<RunningApp> running_apps();
// The application of `team`; false when it runs none.
bool find_running_app(team_id team, RunningApp* app);

// Writes `message` to the port of `team`'s application, for the handler
// `token` (or its preferred handler). B_BAD_PORT_ID when that application
// is gone.
status_t send_to_team(team_id team, const BMessage& message, int32 token,
                      bool preferred, const SendOptions& options);

// This process's registration.
class AppLink {
public:
	// Publishes the port and starts serving it; `appToken` is the
	// application looper's token.
	static status_t Start(const char* signature, int32 appToken);
	// Stops serving and removes the port.
	static void Stop();
	// The registered signature, or "" when no application runs here.
	static std::string Signature();
	// The application looper's token (B_NULL_TOKEN when none), and a
	// messenger to its preferred handler; safe from any thread, unlike
	// the be_app_messenger global.
	static int32 AppToken();
	static BMessenger AppMessenger();
	static port_id Port();
	static thread_id ReaderThread();
};

}

#endif
