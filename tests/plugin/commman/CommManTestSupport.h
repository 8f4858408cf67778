// What the communication manager tests share: an application running on a
// thread of its own, the process-wide records the manager reads, stand-in
// windows made through the manager's makers, a stand-in peer manager, and
// a recorder for alerts and for what the desktop's opener is asked to open.
#ifndef COMM_MAN_TEST_SUPPORT_H
#define COMM_MAN_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include "TestUtil.h"

#include "framework/Alerts.h"
#include "framework/TORVDlgWin.h"
#include "plugin/CommManMessages.h"
#include "plugin/TCommMan.h"
#include "plugin/TVersoDCommMan.h"

#include <Message.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cmtest {

// Every message, in arrival order, that reached one recorder.
class Record {
public:
	void Add(const BMessage& message);
	std::vector<BMessage> Messages() const;
	std::vector<uint32> Codes() const;
	bool Has(uint32 what) const;
	// Waits until a message `what` arrived (the first one is copied out).
	bool WaitFor(uint32 what, BMessage* out = nullptr) const;
	// Waits until `count` messages arrived.
	bool WaitForCount(size_t count) const;
private:
	mutable std::mutex fLock;
	std::vector<BMessage> fMessages;
};

// Who quit in which order, across windows.
class QuitLog {
public:
	void Add(const std::string& name);
	std::vector<std::string> Names() const;
private:
	mutable std::mutex fLock;
	std::vector<std::string> fNames;
};

// A stand-in for the lyrics, preference and about windows: records what it
// gets, and the value of the accelerator format at the moment an '_ipc'
// arrives.
class RecordingWin : public TORVDlgWin {
public:
	RecordingWin(const char* name, BRect frame, QuitLog* quits);
	void MessageReceived(BMessage* message) override;
	void Quit() override;

	const BRect made;                  // the frame it was made with
	Record record;
	std::string formatSeenWithIAP;     // gIAP's "AccKeyFormat" on '_ipc'
private:
	QuitLog* fQuits;
};

// Window state read under the window's lock.
BRect frame_of(BWindow* window);
bool hidden(BWindow* window);
void hide(BWindow* window);
void move_to(BWindow* window, BPoint where);

// A manager of the companion editor's kind: greets the displayer's manager
// and records everything else it gets.
class RecordingPeer : public TCommMan {
public:
	explicit RecordingPeer(const char* name = kVersoECommManName,
	                       const char* peerName = kVersoDCommManName);
	void MessageReceived(BMessage* message) override;
	Record record;
};

// The looper at which `messenger` aims (NULL when none).
BLooper* target_of(const BMessenger& messenger);

// Answers alerts (with `answer`, 0 unless set) and records them; redirects
// the desktop's opener to a script that records its arguments.
class Desktop {
public:
	Desktop();
	~Desktop();
	// The opener exits with failure from now on.
	void FailOpener();
	// The opener's arguments so far, one a line.
	std::string Opened() const;
	std::vector<orvik::TAlertRequest> Alerts() const;

	std::atomic<int32> answer{0};
private:
	testutil::TempDir fDir;
	std::string fRecord;
	std::string fScript;
	mutable std::mutex fLock;
	std::vector<orvik::TAlertRequest> fAlerts;
	orvik::alert_responder fPrevious;
};

// A displayer's manager with stand-in windows made through its makers.
// Everything it made is closed and the manager quit at the end.
class ManagerFixture : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	// Posts to the manager.
	void Post(uint32 what);
	void Post(const BMessage& message);
	// Waits until the manager has handled everything posted so far, and what
	// that posted to itself in turn.
	void Settle();

	// The windows the makers made, in order (owned by themselves).
	RecordingWin* Main() const;
	RecordingWin* Pref() const;
	RecordingWin* About() const;
	int MainMade() const;
	int PrefMade() const;
	int AboutMade() const;

	// Starts a peer manager and waits until both are connected.
	void ConnectPeer();

	TVersoDCommMan* fManager = nullptr;
	RecordingPeer* fPeer = nullptr;
	QuitLog fQuits;
	std::atomic<bool> fPrefFails{false};

	// The about window's program information, as the manager gave it.
	struct AboutInfo {
		std::string name, version, rights;
		TLLT* table = nullptr;
	};
	std::vector<AboutInfo> AboutInfos() const;

private:
	mutable std::mutex fLock;
	std::vector<RecordingWin*> fMains, fPrefs, fAbouts;
	std::vector<AboutInfo> fAboutInfos;
};

// Quits a looper from the test's thread.
void quit(BLooper* looper);

}

#endif
