#include <Application.h>

#include <Entry.h>
#include <File.h>
#include <MessageRunner.h>
#include <Resources.h>

#include "app/AppLink.h"
#include "app/AppRegistry.h"
#include "app/AppWindows.h"
#include "app/LooperPort.h"
#include "app/MessagePrivate.h"
#include "app/TokenSpace.h"
#include "support/Misuse.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

BApplication* be_app = NULL;
BMessenger be_app_messenger;

using BPrivate::AppLink;
using BPrivate::MessageAccess;

namespace {

BPrivate::InstantiationRegistrar sRegistrar("BApplication", BApplication::Instantiate);

const bigtime_t kDefaultPulseRate = 500000;

// An application signature is a MIME type of the "application" supertype.
bool valid_app_signature(const char* signature)
{
	if (signature == NULL)
		return false;
	size_t length = strlen(signature);
	const char prefix[] = "application/";
	if (length <= sizeof(prefix) - 1 || length >= B_MIME_TYPE_LENGTH
		|| strncasecmp(signature, prefix, sizeof(prefix) - 1) != 0)
		return false;
	for (size_t i = 0; i < length; i++) {
		unsigned char c = (unsigned char)signature[i];
		if (c <= ' ' || c >= 0x7f || strchr("()<>@,;:\\\"[]?=", c) != NULL)
			return false;
	}
	return strchr(signature + sizeof(prefix) - 1, '/') == NULL;
}

// The process's arguments, from /proc/self/cmdline.
std::vector<std::string> command_line()
{
	std::vector<std::string> args;
	std::ifstream in("/proc/self/cmdline", std::ios::binary);
	std::string arg;
	while (std::getline(in, arg, '\0'))
		args.push_back(arg);
	return args;
}

std::string executable_path()
{
	char path[B_PATH_NAME_LENGTH];
	ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	if (length <= 0)
		return std::string();
	path[length] = '\0';
	return path;
}

}

// ---- Construction

BApplication::BApplication(const char* signature)
	: BLooper("AppLooperPort")
{
	_Init(signature, NULL);
}

BApplication::BApplication(const char* signature, status_t* error)
	: BLooper("AppLooperPort")
{
	_Init(signature, error);
}

BApplication::BApplication(BMessage* archive)
	: BLooper(archive)
{
	const char* signature = NULL;
	if (archive != NULL)
		archive->FindString("mime_sig", &signature);
	_Init(signature, NULL);
}

void BApplication::_Init(const char* signature, status_t* error)
{
	fSignature = NULL;
	fInitError = B_OK;
	fReadyToRunCalled = false;
	fCursorHidden = false;
	fPulseRate = kDefaultPulseRate;
	fPulseRunner = NULL;

	if (be_app != NULL)
		fInitError = B_ALREADY_RUNNING;
	else if (!valid_app_signature(signature))
		fInitError = B_BAD_VALUE;
	if (error != NULL)
		*error = fInitError;
	if (fInitError != B_OK) {
		fprintf(stderr, "BApplication: %s\n", fInitError == B_ALREADY_RUNNING
			? "there is already an application object in this process"
			: "the signature is not an application MIME type");
		return;
	}

	fSignature = strdup(signature);
	// The application's loop runs on this thread: posts from it must never
	// wait for room in its own queue.
	fThread = BPrivate::current_thread_id();
	fPort->thread.store(fThread);
	be_app = this;
	be_app_messenger = BMessenger(NULL, this);
	status_t status = AppLink::Start(signature, MessageAccess::Token(be_app_messenger));
	if (status != B_OK) {
		fprintf(stderr, "BApplication: other programs cannot reach this one (%s)\n",
			strerror_status(status));
	}
	BPrivate::record_app(signature, executable_path());
}

BApplication::~BApplication()
{
	delete fPulseRunner;
	fPulseRunner = NULL;
	if (be_app == this) {
		AppLink::Stop();
		be_app = NULL;
		be_app_messenger = BMessenger();
	}
	free(fSignature);
}

BArchivable* BApplication::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BApplication"))
		return NULL;
	return new BApplication(archive);
}

status_t BApplication::Archive(BMessage* archive, bool deep) const
{
	status_t status = BLooper::Archive(archive, deep);
	if (status == B_OK && fSignature != NULL)
		status = archive->AddString("mime_sig", fSignature);
	return status;
}

status_t BApplication::InitCheck() const
{
	return fInitError;
}

// ---- Running

thread_id BApplication::Run()
{
	if (fInitError != B_OK)
		return fInitError;
	if (fRunCalled) {
		BPrivate::report_misuse("BApplication::Run", "the application runs already");
		return B_ERROR;
	}
	if (!fPort->IsLockedByCaller()) {
		BPrivate::report_misuse("BApplication::Run",
			"only the thread that made the application may run it");
		return B_BAD_THREAD_ID;
	}
	fRunCalled = true;

	std::vector<std::string> args = command_line();
	if (args.size() > 1) {
		BMessage argv(B_ARGV_RECEIVED);
		argv.AddInt32("argc", (int32)args.size());
		for (const std::string& arg : args)
			argv.AddString("argv", arg.c_str());
		char cwd[B_PATH_NAME_LENGTH];
		if (getcwd(cwd, sizeof(cwd)) != NULL)
			argv.AddString("cwd", cwd);
		PostMessage(&argv);
	}
	PostMessage(B_READY_TO_RUN);
	if (fPulseRate > 0 && fPulseRunner == NULL) {
		BMessage pulse(B_PULSE);
		fPulseRunner = new BMessageRunner(be_app_messenger, &pulse, fPulseRate);
	}

	fPort->Unlock();
	_Loop();
	// The loop leaves the application locked by this thread, for its
	// creator to delete.
	delete fPulseRunner;
	fPulseRunner = NULL;
	return fThread;
}

void BApplication::Quit()
{
	bool lockedHere = false;
	if (!IsLocked()) {
		// Quitting the application from any thread is common; take the
		// lock for the caller.
		if (!Lock())
			return;
		lockedHere = true;
	}
	if (fRunCalled && BPrivate::current_thread_id() == fThread) {
		fTerminating = true;
	} else {
		// Messages already queued are handled first; a Run() that has not
		// started yet returns as soon as it reaches this.
		fPort->Push(new BMessage(BPrivate::QUIT_LOOPER_CODE), B_INFINITE_TIMEOUT, true);
	}
	if (lockedHere)
		Unlock();
}

bool BApplication::QuitRequested()
{
	// Every window is asked; the first that refuses stops the quitting.
	for (const BPrivate::AppWindow& window : BPrivate::app_windows()) {
		BLooper* looper = window.looper;
		if (!looper->Lock())
			continue;   // gone meanwhile
		if (!looper->QuitRequested()) {
			looper->Unlock();
			return false;
		}
		looper->Quit();
	}
	return true;
}

void BApplication::Pulse()
{
}

void BApplication::ReadyToRun()
{
}

void BApplication::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void BApplication::ArgvReceived(int32 /*argc*/, char** /*argv*/)
{
}

void BApplication::AppActivated(bool /*active*/)
{
}

void BApplication::RefsReceived(BMessage* /*message*/)
{
}

void BApplication::AboutRequested()
{
}

BHandler* BApplication::ResolveSpecifier(BMessage* message, int32 index,
                                         BMessage* specifier, int32 form,
                                         const char* property)
{
	return BLooper::ResolveSpecifier(message, index, specifier, form, property);
}

[[gnu::hot]] void BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == NULL || handler != this) {
		BLooper::DispatchMessage(message, handler);
		return;
	}
	switch (message->what) {
		case B_ARGV_RECEIVED:
			_ArgvReceived(message);
			break;
		case B_REFS_RECEIVED:
			RefsReceived(message);
			break;
		case B_READY_TO_RUN:
			if (!fReadyToRunCalled) {
				fReadyToRunCalled = true;
				ReadyToRun();
			}
			break;
		case B_ABOUT_REQUESTED:
			AboutRequested();
			break;
		case B_PULSE:
			Pulse();
			break;
		case B_APP_ACTIVATED: {
			bool active = true;
			message->FindBool("active", &active);
			AppActivated(active);
			break;
		}
		case B_SILENT_RELAUNCH:
			break;
		default:
			BLooper::DispatchMessage(message, handler);
			break;
	}
}

void BApplication::_ArgvReceived(BMessage* message)
{
	int32 count = 0;
	type_code type;
	if (message->GetInfo("argv", &type, &count) != B_OK || type != B_STRING_TYPE)
		return;
	std::vector<char*> argv;
	for (int32 i = 0; i < count; i++) {
		const char* arg = NULL;
		if (message->FindString("argv", i, &arg) == B_OK)
			argv.push_back(const_cast<char*>(arg));
	}
	argv.push_back(NULL);
	ArgvReceived((int32)argv.size() - 1, argv.data());
}

// ---- The cursor (kept as state; the display shows it)

void BApplication::ShowCursor()
{
	fCursorHidden = false;
}

void BApplication::HideCursor()
{
	fCursorHidden = true;
}

void BApplication::ObscureCursor()
{
}

bool BApplication::IsCursorHidden() const
{
	return fCursorHidden;
}

void BApplication::SetCursor(const void* /*cursor*/)
{
}

// ---- Windows and loopers

int32 BApplication::CountWindows() const
{
	return (int32)BPrivate::app_windows().size();
}

BWindow* BApplication::WindowAt(int32 index) const
{
	std::vector<BPrivate::AppWindow> windows = BPrivate::app_windows();
	if (index < 0 || (size_t)index >= windows.size())
		return NULL;
	return windows[(size_t)index].window;
}

int32 BApplication::CountLoopers() const
{
	return BPrivate::LooperList::Count();
}

BLooper* BApplication::LooperAt(int32 index) const
{
	return BPrivate::LooperList::At(index);
}

bool BApplication::IsLaunching() const
{
	return !fReadyToRunCalled;
}

status_t BApplication::GetAppInfo(app_info* info) const
{
	if (info == NULL)
		return B_BAD_VALUE;
	if (fInitError != B_OK)
		return fInitError;
	info->thread = fThread;
	info->team = current_team();
	info->port = AppLink::Port();
	info->flags = B_SINGLE_LAUNCH;
	snprintf(info->signature, sizeof(info->signature), "%s", fSignature);
	std::string path = executable_path();
	entry_ref ref;
	if (!path.empty() && get_ref_for_path(path.c_str(), &ref) == B_OK)
		info->ref = ref;
	return B_OK;
}

BResources* BApplication::AppResources()
{
	// The executable's resources, read once.
	static std::once_flag once;
	static BResources* resources = NULL;
	std::call_once(once, [] {
		std::string path = executable_path();
		if (path.empty())
			return;
		BFile file(path.c_str(), B_READ_ONLY);
		if (file.InitCheck() != B_OK)
			return;
		BResources* candidate = new BResources;
		if (candidate->SetTo(&file) == B_OK)
			resources = candidate;
		else
			delete candidate;
	});
	return resources;
}

void BApplication::SetPulseRate(bigtime_t rate)
{
	if (rate < 0)
		return;
	fPulseRate = rate;
	if (!fRunCalled)
		return;   // Run() starts the pulse
	delete fPulseRunner;
	fPulseRunner = NULL;
	if (rate > 0) {
		BMessage pulse(B_PULSE);
		fPulseRunner = new BMessageRunner(be_app_messenger, &pulse, rate);
	}
}

status_t BApplication::GetSupportedSuites(BMessage* data)
{
	if (data == NULL)
		return B_BAD_VALUE;
	status_t status = data->AddString("suites", "suite/vnd.Be-application");
	if (status != B_OK)
		return status;
	return BLooper::GetSupportedSuites(data);
}

status_t BApplication::Perform(perform_code code, void* arg)
{
	return BLooper::Perform(code, arg);
}
