#include "app/AppLink.h"

#include <Application.h>
#include <Message.h>

#include "app/LooperPort.h"
#include "app/MessageData.h"
#include "app/TokenSpace.h"
#include "kernel/PortRegistry.h"

#include <stdio.h>
#include <stdlib.h>
#include <strings.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace BPrivate {

namespace {

const char kPortPrefix[] = "be:app:";
const int32 kPreferredReplyPort = -2;

struct LinkState {
	std::mutex lock;
	std::string signature;
	int32 appToken = B_NULL_TOKEN;
	// A copy of appToken for readers, which every message runner and
	// every default reply address asks for; written under `lock`.
	std::atomic<int32> publishedToken{B_NULL_TOKEN};
	port_id port = -1;
	thread_id reader = -1;
};

[[gnu::hot]] LinkState& link_state()
{
	static LinkState* state = new LinkState;
	return *state;
}

// "be:app:<pid>:<signature>" → team and signature.
bool parse_port_name(const std::string& name, RunningApp* app)
{
	if (name.compare(0, sizeof(kPortPrefix) - 1, kPortPrefix) != 0)
		return false;
	size_t start = sizeof(kPortPrefix) - 1;
	size_t colon = name.find(':', start);
	if (colon == std::string::npos || colon == start)
		return false;
	char* end = NULL;
	long pid = strtol(name.c_str() + start, &end, 10);
	if (end != name.c_str() + colon || pid <= 0 || pid > INT32_MAX)
		return false;
	app->team = (team_id)pid;
	app->signature = name.substr(colon + 1);
	app->portName = name;
	return !app->signature.empty();
}

}

BMessage* message_from_wire(const uint8* data, size_t size)
{
	MessageData wire;
	if (unflatten_message(data, size, &wire) != B_OK)
		return NULL;

	BMessage* message = new BMessage(wire.header.what);
	MessageAccess::Data(message).fields = std::move(wire.fields);
	const MessageField* specifiers = MessageAccess::Data(message).Find("specifiers");
	if (specifiers != NULL && specifiers->type == B_MESSAGE_TYPE)
		MessageAccess::SetCurrentSpecifier(message, (int32)specifiers->CountItems() - 1);

	MessageDelivery& d = MessageAccess::MakeDelivery(message);
	d.wasDelivered = true;
	d.sourceRemote = true;
	d.isReply = wire.header.isReply;
	d.targetToken = wire.header.hasTarget ? wire.header.targetToken : B_NULL_TOKEN;
	d.preferred = !wire.header.hasTarget || wire.header.preferredTarget
		|| d.targetToken == B_NULL_TOKEN;
	if (wire.header.hasReplyInfo && wire.header.replyTeam > 0)
		MessageAccess::SetMessenger(&d.replyTo, wire.header.replyTeam,
			wire.header.replyToken, wire.header.replyPort == kPreferredReplyPort
				|| wire.header.replyToken == B_NULL_TOKEN);
	return message;
}

namespace {

// Hands a message read from the port to its looper.
void deliver_from_wire(const uint8* data, size_t size)
{
	BMessage* message = message_from_wire(data, size);
	if (message == NULL)
		return;   // damaged data from outside is dropped
	MessageDelivery& d = MessageAccess::MakeDelivery(message);
	std::shared_ptr<LooperPort> port;
	if (d.targetToken == B_NULL_TOKEN) {
		// No particular handler: the application's preferred one.
		d.targetToken = AppLink::AppToken();
		d.preferred = true;
	}
	TokenSpace::Get(d.targetToken, NULL, &port);
	if (!port || port->Push(message, B_INFINITE_TIMEOUT) != B_OK)
		delete message;
}

int32 reader_thread(void* data)
{
	port_id port = (port_id)(intptr_t)data;
	std::vector<uint8> buffer;
	for (;;) {
		ssize_t size = port_buffer_size(port);
		if (size < 0)
			break;   // the port was deleted: the application is going
		buffer.resize((size_t)size);
		int32 code;
		ssize_t got = read_port(port, &code, buffer.data(), buffer.size());
		if (got < 0)
			break;
		if (code == APP_PORT_MESSAGE_CODE)
			deliver_from_wire(buffer.data(), (size_t)got);
	}
	return B_OK;
}

}

bool same_signature(const char* a, const char* b)
{
	return a != NULL && b != NULL && strcasecmp(a, b) == 0;
}

std::vector<RunningApp> running_apps()
{
	std::vector<RunningApp> apps;
	std::vector<std::string> names;
	if (list_system_ports(kPortPrefix, &names) != B_OK)
		return apps;
	for (const std::string& name : names) {
		RunningApp app;
		if (parse_port_name(name, &app))
			apps.push_back(app);
	}
	std::stable_sort(apps.begin(), apps.end(),
		[](const RunningApp& a, const RunningApp& b) { return a.team < b.team; });
	return apps;
}

bool find_running_app(team_id team, RunningApp* app)
{
	if (team <= 0)
		return false;
	std::string prefix = kPortPrefix + std::to_string(team) + ":";
	std::vector<std::string> names;
	if (list_system_ports(prefix.c_str(), &names) != B_OK)
		return false;
	for (const std::string& name : names) {
		if (parse_port_name(name, app) && app->team == team)
			return true;
	}
	return false;
}

status_t send_to_team(team_id team, const BMessage& message, int32 token,
                      bool preferred, const SendOptions& options)
{
	RunningApp app;
	if (!find_running_app(team, &app))
		return B_BAD_PORT_ID;
	port_id port = find_port(app.portName.c_str());
	if (port < 0)
		return B_BAD_PORT_ID;

	MessageData wire = MessageAccess::Data(&message);
	wire.header = MessageHeader();
	wire.header.what = message.what;
	wire.header.scripting = message.HasSpecifiers();
	wire.header.hasTarget = true;
	wire.header.targetToken = token;
	wire.header.preferredTarget = preferred;
	wire.header.isReply = options.isReply;
	if (options.replyTo.IsValid()) {
		// The reply port means nothing between our processes (messengers
		// name teams); it tells whether the reply goes to the preferred
		// handler of the reply looper.
		wire.header.hasReplyInfo = true;
		wire.header.replyTeam = options.replyTo.Team();
		wire.header.replyToken = MessageAccess::Token(options.replyTo);
		wire.header.replyPort = MessageAccess::Preferred(options.replyTo)
			? kPreferredReplyPort : -1;
	}

	std::vector<uint8> flat;
	status_t status = flatten_message(wire, &flat);
	if (status != B_OK)
		return status;
	if (options.timeout < 0 || options.timeout == B_INFINITE_TIMEOUT)
		status = write_port(port, APP_PORT_MESSAGE_CODE, flat.data(), flat.size());
	else
		status = write_port_etc(port, APP_PORT_MESSAGE_CODE, flat.data(), flat.size(),
			B_RELATIVE_TIMEOUT, options.timeout);
	return status;
}

status_t AppLink::Start(const char* signature, int32 appToken)
{
	LinkState& state = link_state();
	std::lock_guard<std::mutex> lock(state.lock);
	if (state.appToken != B_NULL_TOKEN)
		return B_BAD_VALUE;
	// The application works within the process even when other processes
	// cannot reach it.
	state.signature = signature;
	state.appToken = appToken;
	state.publishedToken.store(appToken);
	std::string name = kPortPrefix + std::to_string(current_team()) + ":" + signature;
	port_id port = create_port(B_LOOPER_PORT_DEFAULT_CAPACITY, name.c_str());
	if (port < 0)
		return port;
	thread_id reader = spawn_thread(reader_thread, "app link", B_NORMAL_PRIORITY,
		(void*)(intptr_t)port);
	if (reader < 0) {
		delete_port(port);
		return reader;
	}
	state.port = port;
	state.reader = reader;
	resume_thread(reader);
	return B_OK;
}

void AppLink::Stop()
{
	port_id port;
	thread_id reader;
	{
		LinkState& state = link_state();
		std::lock_guard<std::mutex> lock(state.lock);
		port = state.port;
		reader = state.reader;
		state.port = -1;
		state.reader = -1;
		state.signature.clear();
		state.appToken = B_NULL_TOKEN;
		state.publishedToken.store(B_NULL_TOKEN);
	}
	if (port < 0)
		return;
	delete_port(port);
	status_t result;
	wait_for_thread(reader, &result);
}

std::string AppLink::Signature()
{
	LinkState& state = link_state();
	std::lock_guard<std::mutex> lock(state.lock);
	return state.signature;
}

int32 AppLink::AppToken()
{
	return link_state().publishedToken.load();
}

[[gnu::hot]] BMessenger AppLink::AppMessenger()
{
	BMessenger messenger;
	int32 token = AppToken();
	if (token != B_NULL_TOKEN)
		MessageAccess::SetMessenger(&messenger, current_team(), token, true);
	return messenger;
}

port_id AppLink::Port()
{
	LinkState& state = link_state();
	std::lock_guard<std::mutex> lock(state.lock);
	return state.port;
}

thread_id AppLink::ReaderThread()
{
	LinkState& state = link_state();
	std::lock_guard<std::mutex> lock(state.lock);
	return state.reader;
}

}
