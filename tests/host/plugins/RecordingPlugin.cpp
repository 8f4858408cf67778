// A general plug-in for the player's tests. It writes every call it gets,
// one line each, to the file named by MELODECK_TEST_PLUGIN_LOG.
//
// Like a real plug-in it runs a looper of its own: Cleanup() posts the
// looper a close request, on which the looper asks the player how long the
// playlist is (a plug-in window that asks the player while it closes), and
// the destructor quits the looper.
//
// Built as three libraries: as is; with REFUSE_PLAYER (declines: accepted
// stays 0); with NO_ENTRY (exports no NewPlugin).
#include "GeneralPlugin.h"

#include <AppDefs.h>
#include <Application.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <mutex>
#include <string>

namespace {

std::mutex sLogLock;

void record(const std::string& line)
{
	const char* path = getenv("MELODECK_TEST_PLUGIN_LOG");
	if (path == NULL)
		return;
	std::lock_guard<std::mutex> lock(sLogLock);
	FILE* file = fopen(path, "a");
	if (file == NULL)
		return;
	fprintf(file, "%s\n", line.c_str());
	fclose(file);
}

const uint32 kClose = 'Tcls';

class TRecordingLooper : public BLooper {
public:
	TRecordingLooper() : BLooper("recording plug-in") {}
	~TRecordingLooper() override { record("looper gone"); }

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kClose) {
			BLooper::MessageReceived(message);
			return;
		}
		BMessage request(B_COUNT_PROPERTIES);
		request.AddSpecifier("Entry");
		request.AddSpecifier("Playlist");
		BMessage reply;
		int32 count = -1;
		if (BMessenger("application/x-vnd.Orlund-Melodeck").SendMessage(&request, &reply,
				B_INFINITE_TIMEOUT, 2000000) == B_OK)
			reply.FindInt32("result", &count);
		record("count at close " + std::to_string(count));
	}
};

class TRecordingPlugin : public GeneralPlugin {
public:
	TRecordingPlugin()
	{
		name = strdup(PLUGIN_NAME);
		description = strdup(PLUGIN_NAME " for tests");
		reserved = 0;
		keepLoaded = false;
		fLooper = new TRecordingLooper;
		fLooper->Run();
	}

	~TRecordingPlugin() override
	{
		if (fLooper->Lock())
			fLooper->Quit();
		record("destroyed");
		free(name);
		free(description);
	}

	bool Init() override
	{
		// the player must be running, and call from its own thread
		const bool ready = be_app != NULL && !be_app->IsLaunching()
			&& find_thread(NULL) == be_app->Thread();
		record(ready ? "init" : "init too early or on a strange thread");
		return true;
	}

	void Cleanup() override
	{
		record("cleanup");
		fLooper->PostMessage(kClose);
	}

	bool About(bool query) override
	{
		record(query ? "about query" : "about");
		return true;
	}

	bool Prefs(bool query) override
	{
		record(query ? "prefs query" : "prefs");
		return true;
	}

	uint32 GetFlags() override { return 0; }

private:
	TRecordingLooper* fLooper;
};

}

#ifndef NO_ENTRY
extern "C" __attribute__((visibility("default")))
GeneralPlugin* NewPlugin(PluginConstructorStruct* info)
{
	record(std::string("new ") + PLUGIN_NAME
		+ (info->host.IsValid() ? "" : " without a host")
		+ (info->interfaceVersion == kGeneralPluginInterfaceVersion ? "" : " bad version"));
	GeneralPlugin* plugin = new TRecordingPlugin;
#ifndef REFUSE_PLAYER
	info->accepted = 1;
#endif
	return plugin;
}
#else
extern "C" __attribute__((visibility("default"))) int NotAPlugin()
{
	return 0;
}
#endif
