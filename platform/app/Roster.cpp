#include <Roster.h>

#include <Application.h>
#include <List.h>
#include <Message.h>
#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>

#include "app/AppLink.h"
#include "app/AppRegistry.h"
#include "app/Launcher.h"
#include "app/MessagePrivate.h"

#include <dirent.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

using BPrivate::AppLink;
using BPrivate::MessageAccess;
using BPrivate::RunningApp;

namespace {

BRoster sRoster;

// How long a launch waits for a freshly started application to register,
// so that the launch's messages can be handed to it.
const bigtime_t kRegistrationWait = 10000000;
// How long a broadcast waits for room in one application's queue.
const bigtime_t kBroadcastTimeout = 500000;

bool is_app_signature(const char* type)
{
	return type != NULL && strncasecmp(type, "application/", 12) == 0;
}

std::string executable_of(team_id team)
{
	char link[64];
	snprintf(link, sizeof(link), "/proc/%d/exe", (int)team);
	char path[B_PATH_NAME_LENGTH];
	ssize_t length = readlink(link, path, sizeof(path) - 1);
	if (length <= 0)
		return std::string();
	path[length] = '\0';
	return path;
}

std::string path_of(const entry_ref* ref)
{
	BPath path;
	BEntry entry(ref);
	if (entry.InitCheck() != B_OK || entry.GetPath(&path) != B_OK || path.Path() == NULL)
		return std::string();
	return path.Path();
}

bool same_file(const std::string& a, const std::string& b)
{
	struct stat sa, sb;
	return !a.empty() && !b.empty() && stat(a.c_str(), &sa) == 0
		&& stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void fill_info(const RunningApp& app, app_info* info)
{
	*info = app_info();
	info->team = app.team;
	info->flags = B_SINGLE_LAUNCH;
	snprintf(info->signature, sizeof(info->signature), "%s", app.signature.c_str());
	if (app.team == current_team()) {
		info->thread = be_app != NULL ? be_app->Thread() : -1;
		info->port = AppLink::Port();
	}
	std::string exe = executable_of(app.team);
	entry_ref ref;
	if (!exe.empty() && get_ref_for_path(exe.c_str(), &ref) == B_OK)
		info->ref = ref;
}

BMessenger messenger_for(const RunningApp& app)
{
	if (app.team == current_team())
		return AppLink::AppMessenger();
	BMessenger messenger;
	MessageAccess::SetMessenger(&messenger, app.team, BPrivate::B_NULL_TOKEN, true);
	return messenger;
}

// Hands `messages` to the application of `team`; the first failure counts.
status_t deliver_all(team_id team, const std::vector<const BMessage*>& messages)
{
	RunningApp app;
	if (!BPrivate::find_running_app(team, &app))
		return B_BAD_TEAM_ID;
	BMessenger target = messenger_for(app);
	status_t result = B_OK;
	for (const BMessage* message : messages) {
		BPrivate::SendOptions options;
		options.replyTo = AppLink::AppMessenger();
		status_t status = BPrivate::deliver_message(target, *message, options);
		if (result == B_OK)
			result = status;
	}
	return result;
}

// Waits until the process `team` has registered its application.
status_t wait_for_registration(team_id team)
{
	bigtime_t deadline = system_time() + kRegistrationWait;
	RunningApp app;
	while (!BPrivate::find_running_app(team, &app)) {
		if (kill(team, 0) != 0)
			return B_LAUNCH_FAILED_EXECUTABLE;   // it ended at once
		if (system_time() > deadline)
			return B_TIMED_OUT;
		snooze(10000);
	}
	return B_OK;
}

// Starts `path` and delivers `messages` once it has registered.
status_t start_and_deliver(const std::string& path, const std::vector<std::string>& args,
                           const std::vector<const BMessage*>& messages, team_id* appTeam)
{
	team_id team = BPrivate::start_program(path, args);
	if (team < 0)
		return team;
	if (appTeam != NULL)
		*appTeam = team;
	if (messages.empty())
		return B_OK;
	status_t status = wait_for_registration(team);
	if (status != B_OK)
		return status;
	return deliver_all(team, messages);
}

BMessage argv_message(const std::string& program, int argc, const char* const* args)
{
	BMessage message(B_ARGV_RECEIVED);
	message.AddInt32("argc", argc + 1);
	message.AddString("argv", program.c_str());
	for (int i = 0; i < argc; i++)
		message.AddString("argv", args[i]);
	char cwd[B_PATH_NAME_LENGTH];
	if (getcwd(cwd, sizeof(cwd)) != NULL)
		message.AddString("cwd", cwd);
	return message;
}

std::vector<const BMessage*> message_list(const BList* list)
{
	std::vector<const BMessage*> messages;
	if (list == NULL)
		return messages;
	for (int32 i = 0; i < list->CountItems(); i++) {
		if (const BMessage* m = static_cast<const BMessage*>(list->ItemAt(i)))
			messages.push_back(m);
	}
	return messages;
}

// The part of a signature that names the program: "application/x-vnd.
// Maker-Name" gives "Maker-Name" and "Name".
std::vector<std::string> program_names(const char* signature)
{
	std::vector<std::string> names;
	const char* sub = strchr(signature, '/');
	std::string rest = sub != NULL ? sub + 1 : signature;
	if (strncasecmp(rest.c_str(), "x-vnd.", 6) == 0)
		rest = rest.substr(6);
	if (!rest.empty())
		names.push_back(rest);
	size_t dash = rest.find('-');
	if (dash != std::string::npos && dash + 1 < rest.size())
		names.push_back(rest.substr(dash + 1));
	return names;
}

std::string find_in_folder(const std::string& folder, const std::vector<std::string>& names)
{
	DIR* dir = opendir(folder.c_str());
	if (dir == NULL)
		return std::string();
	std::string found;
	while (struct dirent* entry = readdir(dir)) {
		for (const std::string& name : names) {
			if (strcasecmp(entry->d_name, name.c_str()) == 0) {
				std::string path = folder + "/" + entry->d_name;
				if (BPrivate::is_executable_file(path)) {
					found = path;
					break;
				}
			}
		}
		if (!found.empty())
			break;
	}
	closedir(dir);
	return found;
}

// The executable of the application with `signature`; see Roster.h.
std::string find_app_path(const char* signature)
{
	for (const RunningApp& app : BPrivate::running_apps()) {
		if (BPrivate::same_signature(app.signature.c_str(), signature)) {
			std::string exe = executable_of(app.team);
			if (!exe.empty())
				return exe;
		}
	}
	std::string recorded;
	if (BPrivate::lookup_app(signature, &recorded))
		return recorded;

	std::vector<std::string> folders;
	if (const char* list = getenv("VERSO_APP_PATH")) {
		std::string all = list;
		size_t start = 0;
		while (start <= all.size()) {
			size_t end = all.find(':', start);
			if (end == std::string::npos)
				end = all.size();
			if (end > start)
				folders.push_back(all.substr(start, end - start));
			start = end + 1;
		}
	}
	std::string own = executable_of(current_team());
	size_t slash = own.rfind('/');
	if (slash != std::string::npos)
		folders.push_back(own.substr(0, slash));
	std::vector<std::string> names = program_names(signature);
	for (const std::string& folder : folders) {
		std::string path = find_in_folder(folder, names);
		if (!path.empty())
			return path;
	}
	return std::string();
}

// The preferred application of a file: its own, else its type's.
bool preferred_app_of(const entry_ref* ref, char* signature)
{
	BNode node(ref);
	if (node.InitCheck() != B_OK)
		return false;
	BNodeInfo info(&node);
	if (info.GetPreferredApp(signature) == B_OK)
		return true;
	char type[B_MIME_TYPE_LENGTH];
	if (info.GetType(type) != B_OK)
		return false;
	BMimeType mime(type);
	return mime.GetPreferredApp(signature) == B_OK;
}

}

const BRoster* be_roster = &sRoster;

app_info::app_info()
	: thread(-1), team(-1), port(-1), flags(B_SINGLE_LAUNCH)
{
	signature[0] = '\0';
}

app_info::~app_info()
{
}

BRoster::BRoster()
{
}

BRoster::~BRoster()
{
}

// ---- Running applications

bool BRoster::IsRunning(const char* signature) const
{
	return TeamFor(signature) >= 0;
}

bool BRoster::IsRunning(entry_ref* ref) const
{
	return TeamFor(ref) >= 0;
}

team_id BRoster::TeamFor(const char* signature) const
{
	if (signature == NULL)
		return B_BAD_VALUE;
	for (const RunningApp& app : BPrivate::running_apps()) {
		if (BPrivate::same_signature(app.signature.c_str(), signature))
			return app.team;
	}
	return B_ERROR;
}

team_id BRoster::TeamFor(entry_ref* ref) const
{
	if (ref == NULL)
		return B_BAD_VALUE;
	std::string path = path_of(ref);
	for (const RunningApp& app : BPrivate::running_apps()) {
		if (same_file(executable_of(app.team), path))
			return app.team;
	}
	return B_ERROR;
}

void BRoster::GetAppList(BList* teams) const
{
	if (teams == NULL)
		return;
	for (const RunningApp& app : BPrivate::running_apps())
		teams->AddItem((void*)(intptr_t)app.team);
}

void BRoster::GetAppList(const char* signature, BList* teams) const
{
	if (teams == NULL || signature == NULL)
		return;
	for (const RunningApp& app : BPrivate::running_apps()) {
		if (BPrivate::same_signature(app.signature.c_str(), signature))
			teams->AddItem((void*)(intptr_t)app.team);
	}
}

status_t BRoster::GetAppInfo(const char* signature, app_info* info) const
{
	if (signature == NULL || info == NULL)
		return B_BAD_VALUE;
	for (const RunningApp& app : BPrivate::running_apps()) {
		if (BPrivate::same_signature(app.signature.c_str(), signature)) {
			fill_info(app, info);
			return B_OK;
		}
	}
	return B_ERROR;
}

status_t BRoster::GetAppInfo(entry_ref* ref, app_info* info) const
{
	if (ref == NULL || info == NULL)
		return B_BAD_VALUE;
	team_id team = TeamFor(ref);
	if (team < 0)
		return B_ERROR;
	return GetRunningAppInfo(team, info);
}

status_t BRoster::GetRunningAppInfo(team_id team, app_info* info) const
{
	if (info == NULL)
		return B_BAD_VALUE;
	RunningApp app;
	if (!BPrivate::find_running_app(team, &app))
		return B_BAD_TEAM_ID;
	fill_info(app, info);
	return B_OK;
}

status_t BRoster::GetActiveAppInfo(app_info* info) const
{
	// Without a desktop to say which is in front, this process's own
	// application is the active one.
	if (info == NULL)
		return B_BAD_VALUE;
	return GetRunningAppInfo(current_team(), info) == B_OK ? B_OK : B_ERROR;
}

// ---- Finding applications

status_t BRoster::FindApp(const char* signature, entry_ref* app) const
{
	if (signature == NULL || app == NULL)
		return B_BAD_VALUE;
	std::string path = find_app_path(signature);
	if (path.empty())
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	return get_ref_for_path(path.c_str(), app);
}

status_t BRoster::FindApp(entry_ref* ref, entry_ref* app) const
{
	if (ref == NULL || app == NULL)
		return B_BAD_VALUE;
	std::string path = path_of(ref);
	if (path.empty() || access(path.c_str(), F_OK) != 0)
		return B_ENTRY_NOT_FOUND;
	if (BPrivate::is_executable_file(path)) {
		*app = *ref;
		return B_OK;
	}
	char signature[B_MIME_TYPE_LENGTH];
	if (preferred_app_of(ref, signature) && FindApp(signature, app) == B_OK)
		return B_OK;
	std::string opener = BPrivate::opener_path();
	if (opener.empty())
		return B_LAUNCH_FAILED_NO_PREFERRED_APP;
	return get_ref_for_path(opener.c_str(), app);
}

// ---- Messages to applications

status_t BRoster::Broadcast(BMessage* message) const
{
	return Broadcast(message, AppLink::AppMessenger());
}

status_t BRoster::Broadcast(BMessage* message, BMessenger replyTo) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	status_t result = B_OK;
	for (const RunningApp& app : BPrivate::running_apps()) {
		BPrivate::SendOptions options;
		options.replyTo = replyTo;
		options.timeout = kBroadcastTimeout;
		status_t status = BPrivate::deliver_message(messenger_for(app), *message, options);
		if (status != B_OK && result == B_OK)
			result = status;
	}
	return result;
}

status_t BRoster::StartWatching(BMessenger /*target*/, uint32 /*eventMask*/) const
{
	// Launches and quits of other applications are not announced.
	return B_UNSUPPORTED;
}

status_t BRoster::StopWatching(BMessenger /*target*/) const
{
	return B_UNSUPPORTED;
}

status_t BRoster::ActivateApp(team_id team) const
{
	BMessage activated(B_APP_ACTIVATED);
	activated.AddBool("active", true);
	return deliver_all(team, {&activated});
}

// ---- Launching

status_t BRoster::Launch(const char* mimeType, BMessage* initialMessage,
                         team_id* appTeam) const
{
	BList list;
	if (initialMessage != NULL)
		list.AddItem(initialMessage);
	return Launch(mimeType, &list, appTeam);
}

status_t BRoster::Launch(const char* mimeType, BList* messageList, team_id* appTeam) const
{
	if (mimeType == NULL)
		return B_BAD_VALUE;
	std::vector<const BMessage*> messages = message_list(messageList);
	if (!is_app_signature(mimeType)) {
		// A document type: its preferred application gets the messages.
		char signature[B_MIME_TYPE_LENGTH];
		BMimeType type(mimeType);
		if (type.InitCheck() != B_OK)
			return B_BAD_VALUE;
		if (type.GetPreferredApp(signature) != B_OK)
			return B_LAUNCH_FAILED_NO_PREFERRED_APP;
		return Launch(signature, messageList, appTeam);
	}
	team_id running = TeamFor(mimeType);
	if (running >= 0) {
		if (appTeam != NULL)
			*appTeam = running;
		status_t status = deliver_all(running, messages);
		return status == B_OK ? B_ALREADY_RUNNING : status;
	}
	std::string path = find_app_path(mimeType);
	if (path.empty())
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	return start_and_deliver(path, {}, messages, appTeam);
}

status_t BRoster::Launch(const char* mimeType, int argc, char** args, team_id* appTeam) const
{
	if (mimeType == NULL || argc < 0 || (argc > 0 && args == NULL))
		return B_BAD_VALUE;
	if (!is_app_signature(mimeType)) {
		char signature[B_MIME_TYPE_LENGTH];
		BMimeType type(mimeType);
		if (type.InitCheck() != B_OK)
			return B_BAD_VALUE;
		if (type.GetPreferredApp(signature) == B_OK && TeamFor(signature) >= 0)
			return Launch(signature, argc, args, appTeam);
		if (type.GetPreferredApp(signature) == B_OK && !find_app_path(signature).empty())
			return Launch(signature, argc, args, appTeam);
		// No application of ours for the type: the desktop opens each
		// argument (a URL, a path) with its own choice.
		if (argc == 0)
			return B_LAUNCH_FAILED_NO_PREFERRED_APP;
		for (int i = 0; i < argc; i++) {
			if (args[i] == NULL)
				return B_BAD_VALUE;
			status_t status = BPrivate::open_with_opener(args[i]);
			if (status != B_OK)
				return status;
		}
		return B_OK;
	}
	team_id running = TeamFor(mimeType);
	if (running >= 0) {
		if (appTeam != NULL)
			*appTeam = running;
		BMessage argv = argv_message(executable_of(running), argc, args);
		status_t status = deliver_all(running, {&argv});
		return status == B_OK ? B_ALREADY_RUNNING : status;
	}
	std::string path = find_app_path(mimeType);
	if (path.empty())
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	std::vector<std::string> arguments(args, args + argc);
	return start_and_deliver(path, arguments, {}, appTeam);
}

status_t BRoster::Launch(const entry_ref* ref, const BMessage* initialMessage,
                         team_id* appTeam) const
{
	BList list;
	if (initialMessage != NULL)
		list.AddItem(const_cast<BMessage*>(initialMessage));
	return Launch(ref, &list, appTeam);
}

status_t BRoster::Launch(const entry_ref* ref, const BList* messageList,
                         team_id* appTeam) const
{
	if (ref == NULL)
		return B_BAD_VALUE;
	std::string path = path_of(ref);
	if (path.empty() || access(path.c_str(), F_OK) != 0)
		return B_ENTRY_NOT_FOUND;
	std::vector<const BMessage*> messages = message_list(messageList);

	if (BPrivate::is_executable_file(path)) {
		for (const RunningApp& app : BPrivate::running_apps()) {
			if (same_file(executable_of(app.team), path)) {
				if (appTeam != NULL)
					*appTeam = app.team;
				status_t status = deliver_all(app.team, messages);
				return status == B_OK ? B_ALREADY_RUNNING : status;
			}
		}
		return start_and_deliver(path, {}, messages, appTeam);
	}

	// A document: its preferred application of ours receives it as
	// B_REFS_RECEIVED; otherwise the desktop opens it.
	char signature[B_MIME_TYPE_LENGTH];
	if (preferred_app_of(ref, signature)) {
		BMessage refs(B_REFS_RECEIVED);
		refs.AddRef("refs", ref);
		BList list;
		list.AddItem(&refs);
		for (const BMessage* message : messages)
			list.AddItem(const_cast<BMessage*>(message));
		status_t status = Launch(signature, &list, appTeam);
		if (status != B_LAUNCH_FAILED_APP_NOT_FOUND)
			return status;
	}
	return BPrivate::open_with_opener(path);
}

status_t BRoster::Launch(const entry_ref* ref, int argc, const char* const* args,
                         team_id* appTeam) const
{
	if (ref == NULL || argc < 0 || (argc > 0 && args == NULL))
		return B_BAD_VALUE;
	std::string path = path_of(ref);
	if (path.empty() || access(path.c_str(), F_OK) != 0)
		return B_ENTRY_NOT_FOUND;
	if (!BPrivate::is_executable_file(path))
		return Launch(ref, (const BMessage*)NULL, appTeam);
	for (const RunningApp& app : BPrivate::running_apps()) {
		if (same_file(executable_of(app.team), path)) {
			if (appTeam != NULL)
				*appTeam = app.team;
			BMessage argv = argv_message(path, argc, args);
			status_t status = deliver_all(app.team, {&argv});
			return status == B_OK ? B_ALREADY_RUNNING : status;
		}
	}
	std::vector<std::string> arguments(args, args + argc);
	return start_and_deliver(path, arguments, {}, appTeam);
}
