#include "CommManTestSupport.h"

#include "WindowTestUtil.h"

#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "plugin/TAppPrivacy.h"
#include "prefs/PrefStore.h"

#include <Application.h>
#include <OS.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>

namespace cmtest {

// ---- Record, QuitLog

void Record::Add(const BMessage& message)
{
	std::lock_guard<std::mutex> lock(fLock);
	fMessages.push_back(message);
}

std::vector<BMessage> Record::Messages() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fMessages;
}

std::vector<uint32> Record::Codes() const
{
	std::vector<uint32> codes;
	for (const BMessage& message : Messages())
		codes.push_back(message.what);
	return codes;
}

bool Record::Has(uint32 what) const
{
	for (uint32 code : Codes()) {
		if (code == what)
			return true;
	}
	return false;
}

bool Record::WaitFor(uint32 what, BMessage* out) const
{
	return testutil::wait_for([&] {
		std::lock_guard<std::mutex> lock(fLock);
		for (const BMessage& message : fMessages) {
			if (message.what == what) {
				if (out != nullptr)
					*out = message;
				return true;
			}
		}
		return false;
	});
}

bool Record::WaitForCount(size_t count) const
{
	return testutil::wait_for([&] {
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages.size() >= count;
	});
}

void QuitLog::Add(const std::string& name)
{
	std::lock_guard<std::mutex> lock(fLock);
	fNames.push_back(name);
}

std::vector<std::string> QuitLog::Names() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fNames;
}

// ---- RecordingWin

RecordingWin::RecordingWin(const char* name, BRect frame, QuitLog* quits)
	: TORVDlgWin(frame, name, B_TITLED_WINDOW, 0),
	  made(frame),
	  fQuits(quits)
{
}

void RecordingWin::MessageReceived(BMessage* message)
{
	if (message->what == kMsgInterAppPrefChanged && gIAP != nullptr)
		gIAP->GetString("AccKeyFormat", &formatSeenWithIAP);
	record.Add(*message);
}

void RecordingWin::Quit()
{
	if (fQuits != nullptr)
		fQuits->Add(Title());
	TORVDlgWin::Quit();
}

BRect frame_of(BWindow* window)
{
	return windowtest::locked(window, BRect(), [](BWindow* w) { return w->Frame(); });
}

bool hidden(BWindow* window)
{
	return windowtest::locked(window, true, [](BWindow* w) { return w->IsHidden(); });
}

void hide(BWindow* window)
{
	if (window->Lock()) {
		window->Hide();
		window->Unlock();
	}
}

void move_to(BWindow* window, BPoint where)
{
	if (window->Lock()) {
		window->MoveTo(where);
		window->Unlock();
	}
}

// ---- RecordingPeer

RecordingPeer::RecordingPeer(const char* name, const char* peerName)
	: TCommMan(name, peerName)
{
}

void RecordingPeer::MessageReceived(BMessage* message)
{
	if (message->what == kMsgCommManGreeting) {
		TCommMan::MessageReceived(message);
		return;
	}
	record.Add(*message);
}

BLooper* target_of(const BMessenger& messenger)
{
	BLooper* looper = nullptr;
	messenger.Target(&looper);
	return looper;
}

void quit(BLooper* looper)
{
	if (looper != nullptr && looper->Lock())
		looper->Quit();
}

// ---- Desktop

Desktop::Desktop()
	: fRecord(fDir.File("opened")),
	  fScript(fDir.File("opener"))
{
	fDir.Write("opener", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + fRecord + "'\n");
	chmod(fScript.c_str(), 0755);
	setenv("VERSO_OPENER", fScript.c_str(), 1);
	fPrevious = orvik::set_alert_responder([this](const orvik::TAlertRequest& request) {
		std::lock_guard<std::mutex> lock(fLock);
		fAlerts.push_back(request);
		return answer.load();
	});
}

Desktop::~Desktop()
{
	unsetenv("VERSO_OPENER");
	orvik::set_alert_responder(fPrevious);
}

void Desktop::FailOpener()
{
	fDir.Write("opener", "#!/bin/sh\nexit 1\n");
	chmod(fScript.c_str(), 0755);
}

std::string Desktop::Opened() const
{
	return testutil::read_file(fRecord);
}

std::vector<orvik::TAlertRequest> Desktop::Alerts() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fAlerts;
}

// ---- The application and the process-wide records

namespace {

class Environment : public ::testing::Environment {
public:
	void SetUp() override
	{
		fSettings = std::make_unique<testutil::TempDir>();
		setenv("XDG_CONFIG_HOME", fSettings->Path().c_str(), 1);

		gPref = new TPref;
		gExitState = new TExitState;
		gExitState->windowFrame = BRect(300, 400, 499, 504);
		gLLT = new TLLT;
		gLLT->Load((std::string(VERSO_SOURCE_DIR) + "/data/Language/English.llt").c_str());
		gAppPrivacy = new TAppPrivacy;

		fThread = spawn_thread(&Environment::Main, "comm-man test app", B_NORMAL_PRIORITY, this);
		resume_thread(fThread);
		ASSERT_TRUE(testutil::wait_for([this] { return fApp.load() != nullptr; }));

		gIAP = new TInterAppPrefs;
		gIAP->SetAppSignatureRef("application/x-vnd.verso-commman-test");
		gIAP->AddItem(new TIAPItemAccKeyFormat);
	}

	void TearDown() override
	{
		BMessenger(fApp.load()).SendMessage(B_QUIT_REQUESTED);
		status_t result;
		wait_for_thread(fThread, &result);
		delete gIAP;
		gIAP = nullptr;
		delete gAppPrivacy;
		gAppPrivacy = nullptr;
		delete gLLT;
		gLLT = nullptr;
		delete gExitState;
		gExitState = nullptr;
		delete gPref;
		gPref = nullptr;
		unsetenv("XDG_CONFIG_HOME");
		fSettings.reset();
	}

private:
	static int32 Main(void* data)
	{
		Environment* self = static_cast<Environment*>(data);
		BApplication* app = new BApplication("application/x-vnd.verso-commman-test");
		self->fApp = app;
		app->Run();
		delete app;
		return 0;
	}

	std::unique_ptr<testutil::TempDir> fSettings;
	thread_id fThread = -1;
	std::atomic<BApplication*> fApp{nullptr};
};

::testing::Environment* const gEnvironment
	= ::testing::AddGlobalTestEnvironment(new Environment);

}

// ---- ManagerFixture

void ManagerFixture::SetUp()
{
	fManager = new TVersoDCommMan;
	fManager->SetMainWindowMaker([this](BRect frame, TCommMan*) -> TORVWin* {
		RecordingWin* window = new RecordingWin("lyrics", frame, &fQuits);
		std::lock_guard<std::mutex> lock(fLock);
		fMains.push_back(window);
		return window;
	});
	fManager->SetPrefWindowMaker([this](BRect frame, TCommMan*) -> TORVDlgWin* {
		if (fPrefFails)
			return nullptr;
		RecordingWin* window = new RecordingWin("preferences", frame, &fQuits);
		std::lock_guard<std::mutex> lock(fLock);
		fPrefs.push_back(window);
		return window;
	});
	fManager->SetAboutWindowMaker(
		[this](BRect frame) -> TORVDlgWin* {
			RecordingWin* window = new RecordingWin("about", frame, &fQuits);
			std::lock_guard<std::mutex> lock(fLock);
			fAbouts.push_back(window);
			return window;
		},
		[this](TORVDlgWin*, const char* name, const char* version, const char* rights,
		       TLLT* table) {
			std::lock_guard<std::mutex> lock(fLock);
			fAboutInfos.push_back(AboutInfo{name, version, rights, table});
		});
	fManager->Run();
}

void ManagerFixture::TearDown()
{
	// As the plug-in shuts down: the windows first, then the managers.
	Post(kMsgCloseAboutWin);
	Post(kMsgClosePrefWin);
	Post(kMsgCloseCommonPrefWin);
	Post(kMsgCloseMainWin);
	Settle();
	quit(fManager);
	fManager = nullptr;
	quit(fPeer);
	fPeer = nullptr;
}

void ManagerFixture::Post(uint32 what)
{
	BMessage message(what);
	Post(message);
}

void ManagerFixture::Post(const BMessage& message)
{
	BMessage copy(message);
	ASSERT_EQ(BMessenger(nullptr, fManager).SendMessage(&copy), B_OK);
}

void ManagerFixture::Settle()
{
	// A code nobody handles comes back unanswered once its turn is over;
	// three turns cover what the handlers post to the manager in turn.
	for (int i = 0; i < 3; i++) {
		BMessage ping('ping');
		BMessage reply;
		BMessenger(nullptr, fManager).SendMessage(&ping, &reply);
	}
}

RecordingWin* ManagerFixture::Main() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fMains.empty() ? nullptr : fMains.back();
}

RecordingWin* ManagerFixture::Pref() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fPrefs.empty() ? nullptr : fPrefs.back();
}

RecordingWin* ManagerFixture::About() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fAbouts.empty() ? nullptr : fAbouts.back();
}

int ManagerFixture::MainMade() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return (int)fMains.size();
}

int ManagerFixture::PrefMade() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return (int)fPrefs.size();
}

int ManagerFixture::AboutMade() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return (int)fAbouts.size();
}

std::vector<ManagerFixture::AboutInfo> ManagerFixture::AboutInfos() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fAboutInfos;
}

void ManagerFixture::ConnectPeer()
{
	fPeer = new RecordingPeer;
	fPeer->Run();
	ASSERT_TRUE(testutil::wait_for([this] {
		return fPeer->IsConnected() && fManager->IsConnected();
	}));
}

}
