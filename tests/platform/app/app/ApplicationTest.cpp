// BApplication and BRoster: the main loop on the calling thread, the
// application's registration, a second process reached by signature and by
// broadcast, and launching through the desktop's opener.
#include <Application.h>
#include <Entry.h>
#include <List.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <Roster.h>

#include <gtest/gtest.h>

#include "TestUtil.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

extern char** environ;

using testutil::wait_for;

namespace {

// Applications record themselves for the roster under $XDG_DATA_HOME: the
// tests keep those records (their own and their children's) out of the
// user's home.
struct PrivateDataHome {
	PrivateDataHome() { setenv("XDG_DATA_HOME", fDir.Path().c_str(), 1); }
	testutil::TempDir fDir;
} sDataHome;

std::string signature_for(const char* role)
{
	return std::string("application/x-vnd.verso-test-") + role + "-"
		+ std::to_string(getpid());
}

class LocalApp : public BApplication {
public:
	LocalApp(const char* signature) : BApplication(signature) {}

	void ReadyToRun() override
	{
		readyThread = find_thread(NULL);
		launchedWhileRunning = be_roster->Launch(Signature(), &fGreeting);
		PostMessage('done');
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'hi!!')
			greetings++;
		if (message->what == 'done')
			PostMessage(B_QUIT_REQUESTED);
		BApplication::MessageReceived(message);
	}

	const char* Signature() const { return fSig.c_str(); }

	std::string fSig;
	BMessage fGreeting{'hi!!'};
	thread_id readyThread = -1;
	status_t launchedWhileRunning = B_ERROR;
	int greetings = 0;
};

}

TEST(Application, RunsOnTheCallingThreadAndRegisters)
{
	std::string signature = signature_for("local");
	{
		status_t status;
		BApplication bad("text/plain", &status);
		EXPECT_EQ(status, B_BAD_VALUE);
		EXPECT_EQ(be_app, nullptr);
	}
	{
		LocalApp app(signature.c_str());
		app.fSig = signature;
		ASSERT_EQ(app.InitCheck(), B_OK);
		EXPECT_EQ(be_app, &app);
		EXPECT_TRUE(be_app_messenger.IsValid());

		status_t status;
		BApplication second("application/x-vnd.verso-test-second", &status);
		EXPECT_EQ(status, B_ALREADY_RUNNING);
		EXPECT_EQ(be_app, &app);

		// Found by signature, whatever its case, in this process.
		std::string upper = signature;
		for (char& c : upper)
			c = (char)toupper((unsigned char)c);
		BMessenger bySignature(upper.c_str(), -1, &status);
		EXPECT_EQ(status, B_OK);
		EXPECT_TRUE(bySignature.IsTargetLocal());
		EXPECT_TRUE(bySignature == be_app_messenger);
		EXPECT_TRUE(be_roster->IsRunning(signature.c_str()));
		EXPECT_EQ(be_roster->TeamFor(signature.c_str()), current_team());
		BList teams;
		be_roster->GetAppList(signature.c_str(), &teams);
		EXPECT_EQ(teams.CountItems(), 1);

		app_info info;
		ASSERT_EQ(app.GetAppInfo(&info), B_OK);
		EXPECT_STREQ(info.signature, signature.c_str());
		EXPECT_EQ(info.team, current_team());
		entry_ref exe;
		ASSERT_EQ(get_ref_for_path("/proc/self/exe", &exe), B_OK);
		BEntry self("/proc/self/exe", true);
		entry_ref resolved;
		ASSERT_EQ(self.GetRef(&resolved), B_OK);
		EXPECT_EQ(info.ref, resolved);
		app_info running;
		EXPECT_EQ(be_roster->GetAppInfo(signature.c_str(), &running), B_OK);
		EXPECT_EQ(running.team, current_team());

		bool foundInLoopers = false;
		for (int32 i = 0; i < app.CountLoopers(); i++)
			foundInLoopers = foundInLoopers || app.LooperAt(i) == &app;
		EXPECT_TRUE(foundInLoopers);
		EXPECT_EQ(app.CountWindows(), 0);
		EXPECT_EQ(app.WindowAt(0), nullptr);

		testutil::RunWatchdog watchdog(be_app_messenger);
		thread_id ran = app.Run();
		watchdog.Stop();
		EXPECT_FALSE(watchdog.Fired()) << "Run() did not end by itself";
		EXPECT_EQ(ran, find_thread(NULL));
		EXPECT_EQ(app.readyThread, find_thread(NULL));
		// Launching a running single-launch application hands it the
		// message instead.
		EXPECT_EQ(app.launchedWhileRunning, B_ALREADY_RUNNING);
		EXPECT_EQ(app.greetings, 1);
	}
	EXPECT_EQ(be_app, nullptr);
	EXPECT_FALSE(be_app_messenger.IsValid());
	EXPECT_FALSE(be_roster->IsRunning(signature.c_str()));
}

namespace {

class ReadyApp : public BApplication {
public:
	ReadyApp(const char* signature) : BApplication(signature) {}
	void ReadyToRun() override { ready = true; }
	std::atomic<bool> ready{false};
};

}

TEST(Application, QuitFromAnotherThread)
{
	ReadyApp app(signature_for("quitter").c_str());
	std::atomic<bigtime_t> quitAt{0};
	std::thread quitter([&] {
		// Quits the application once its loop runs.
		if (!wait_for([&] { return app.ready.load(); }, 10000000))
			return;
		quitAt = system_time();
		app.Quit();
	});
	// Much later than a working Quit() needs: firing means it did not work.
	testutil::RunWatchdog watchdog(be_app_messenger, 10000000);
	app.Run();
	const bigtime_t returnedAt = system_time();
	watchdog.Stop();
	quitter.join();
	EXPECT_TRUE(app.ready);
	EXPECT_FALSE(watchdog.Fired()) << "Run() did not end on the other thread's Quit()";
	ASSERT_NE(quitAt.load(), 0);
	EXPECT_GE(returnedAt, quitAt.load());
	EXPECT_LT(returnedAt - quitAt.load(), 5000000);
}

// ---- Another process

namespace {

class ParentApp : public BApplication {
public:
	ParentApp(const char* signature, std::string childSignature)
		: BApplication(signature), fChildSignature(std::move(childSignature)) {}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case 'chld': {
				greetedRemotely = message->IsSourceRemote();
				message->FindMessenger("me", &child);
				status_t status;
				BMessenger bySignature(fChildSignature.c_str(), -1, &status);
				childFoundBySignature = status == B_OK && bySignature.IsValid()
					&& !bySignature.IsTargetLocal() && bySignature.Team() == child.Team();
				BMessage ping('ping');
				ping.AddString("text", "over there");
				child.SendMessage(&ping);   // replies come back to us
				BMessage broadcast('bcst');
				broadcast.AddString("text", "to everyone");
				broadcastResult = be_roster->Broadcast(&broadcast);
				break;
			}
			case 'pong':
				pongRemote = message->FindBool("remote");
				pongEcho = message->FindString("echo") != NULL
					? message->FindString("echo") : "";
				_Check();
				break;
			case 'gotb':
				childGotBroadcast = message->FindString("text") != NULL
					&& std::string(message->FindString("text")) == "to everyone";
				_Check();
				break;
			case 'bcst':
				selfGotBroadcast = true;
				_Check();
				break;
			default:
				BApplication::MessageReceived(message);
		}
	}

	BMessenger child;
	bool greetedRemotely = false;
	bool childFoundBySignature = false;
	bool pongRemote = false;
	std::string pongEcho;
	bool childGotBroadcast = false;
	bool selfGotBroadcast = false;
	status_t broadcastResult = B_ERROR;

private:
	void _Check()
	{
		if (!pongEcho.empty() && childGotBroadcast && selfGotBroadcast) {
			child.SendMessage(B_QUIT_REQUESTED);
			Quit();
		}
	}

	std::string fChildSignature;
};

}

TEST(Application, SignatureMessagesAndBroadcastReachAnotherProcess)
{
	std::string parentSignature = signature_for("parent");
	std::string childSignature = signature_for("child");
	ParentApp app(parentSignature.c_str(), childSignature);
	ASSERT_EQ(app.InitCheck(), B_OK);

	const char* path = APP_CHILD_PATH;
	char* argv[] = {const_cast<char*>(path), const_cast<char*>(childSignature.c_str()),
		const_cast<char*>(parentSignature.c_str()), NULL};
	pid_t pid;
	ASSERT_EQ(posix_spawn(&pid, path, NULL, NULL, argv, environ), 0);

	testutil::RunWatchdog watchdog(be_app_messenger);
	app.Run();
	watchdog.Stop();
	EXPECT_FALSE(watchdog.Fired()) << "Run() did not end by itself";

	EXPECT_TRUE(app.greetedRemotely);
	EXPECT_TRUE(app.childFoundBySignature);
	EXPECT_FALSE(app.child.IsTargetLocal());
	EXPECT_EQ(app.child.Team(), (team_id)pid);
	EXPECT_TRUE(app.pongRemote);
	EXPECT_EQ(app.pongEcho, "over there");
	EXPECT_EQ(app.broadcastResult, B_OK);
	EXPECT_TRUE(app.childGotBroadcast);
	EXPECT_TRUE(app.selfGotBroadcast);

	// The child quits on our request; its registration goes with it.
	int status = 0;
	bool ended = wait_for([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10000000);
	if (!ended)
		kill(pid, SIGKILL);
	EXPECT_TRUE(ended);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
	EXPECT_FALSE(be_roster->IsRunning(childSignature.c_str()));
	EXPECT_FALSE(app.child.IsValid());
}

// ---- Launching

namespace {

// Points the opener at a script that records its arguments, and keeps the
// user's own type and application records out of the test.
class LaunchEnvironment {
public:
	LaunchEnvironment(const testutil::TempDir& dir, int exitCode = 0)
	{
		fRecord = dir.File("opened");
		std::string script = dir.Write("opener", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '"
			+ fRecord + "'\nexit " + std::to_string(exitCode) + "\n");
		chmod(script.c_str(), 0755);
		Save("VERSO_OPENER", script);
		Save("XDG_CONFIG_HOME", dir.Path());
		Save("XDG_DATA_HOME", dir.Path());
	}
	~LaunchEnvironment()
	{
		for (auto& [name, value] : fSaved) {
			if (value.first)
				setenv(name.c_str(), value.second.c_str(), 1);
			else
				unsetenv(name.c_str());
		}
	}
	std::string Opened() const { return testutil::read_file(fRecord); }

private:
	void Save(const char* name, const std::string& value)
	{
		const char* old = getenv(name);
		fSaved.emplace_back(name, std::make_pair(old != NULL, old != NULL ? old : ""));
		setenv(name, value.c_str(), 1);
	}

	std::string fRecord;
	std::vector<std::pair<std::string, std::pair<bool, std::string>>> fSaved;
};

}

TEST(Roster, UrlsAndDocumentsOpenThroughTheOpener)
{
	testutil::TempDir dir;
	LaunchEnvironment environment(dir);

	// Passed as one argument, never through a shell.
	const char* url = "https://example.org/lyrics?song=a&artist=$(b) c";
	char* args[] = {const_cast<char*>(url)};
	EXPECT_EQ(be_roster->Launch("text/html", 1, args), B_OK);
	EXPECT_EQ(environment.Opened(), std::string(url) + "\n");

	std::string document = dir.Write("song.lrc", "[00:01.00]la");
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path(document.c_str(), &ref), B_OK);
	EXPECT_EQ(be_roster->Launch(&ref), B_OK);
	EXPECT_EQ(environment.Opened(), std::string(url) + "\n" + document + "\n");
	entry_ref app;
	EXPECT_EQ(be_roster->FindApp(&ref, &app), B_OK);

	entry_ref missing;
	ASSERT_EQ(get_ref_for_path(dir.File("missing.lrc").c_str(), &missing), B_OK);
	EXPECT_EQ(be_roster->Launch(&missing), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(be_roster->Launch("text/html", 0, (char**)NULL),
		B_LAUNCH_FAILED_NO_PREFERRED_APP);
	EXPECT_EQ(be_roster->Launch((const char*)NULL), B_BAD_VALUE);
	EXPECT_EQ(be_roster->Launch("application/x-vnd.verso-test-nobody"),
		B_LAUNCH_FAILED_APP_NOT_FOUND);
	EXPECT_EQ(be_roster->FindApp("application/x-vnd.verso-test-nobody", &app),
		B_LAUNCH_FAILED_APP_NOT_FOUND);
}

TEST(Roster, AFailingOpenerIsReported)
{
	testutil::TempDir dir;
	LaunchEnvironment environment(dir, 3);
	const char* url = "https://example.org/";
	char* args[] = {const_cast<char*>(url)};
	EXPECT_EQ(be_roster->Launch("text/html", 1, args), B_LAUNCH_FAILED_NO_PREFERRED_APP);
	// It was asked, and said no.
	EXPECT_EQ(environment.Opened(), std::string(url) + "\n");
}

TEST(Roster, LaunchStartsAnApplicationBySignatureAndDeliversItsMessage)
{
	testutil::TempDir dir;
	LaunchEnvironment environment(dir);
	std::string parentSignature = signature_for("launcher");
	std::string childSignature = signature_for("launched");
	ParentApp app(parentSignature.c_str(), childSignature);

	// The child is found in $VERSO_APP_PATH under its program's name.
	std::string folder = dir.Path() + "/apps";
	mkdir(folder.c_str(), 0700);
	std::string name = childSignature.substr(childSignature.find("verso-"));
	ASSERT_EQ(symlink(APP_CHILD_PATH, (folder + "/" + name).c_str()), 0);
	setenv("VERSO_APP_PATH", folder.c_str(), 1);
	entry_ref found;
	EXPECT_EQ(be_roster->FindApp(childSignature.c_str(), &found), B_OK);
	unsetenv("VERSO_APP_PATH");

	// Started with arguments; it then greets us like the other test's child.
	team_id team = -1;
	std::string exe = APP_CHILD_PATH;
	entry_ref childRef;
	ASSERT_EQ(get_ref_for_path(exe.c_str(), &childRef), B_OK);
	const char* args[] = {childSignature.c_str(), parentSignature.c_str()};
	ASSERT_EQ(be_roster->Launch(&childRef, 2, args, &team), B_OK);
	EXPECT_GT(team, 0);
	testutil::RunWatchdog watchdog(be_app_messenger);
	app.Run();
	watchdog.Stop();
	EXPECT_FALSE(watchdog.Fired()) << "Run() did not end by itself";
	EXPECT_EQ(app.child.Team(), team);
	EXPECT_TRUE(app.childGotBroadcast);
	int status = 0;
	EXPECT_TRUE(wait_for([&] { return kill(team, 0) != 0 || waitpid(team, &status, WNOHANG) == team; },
		10000000));
}
