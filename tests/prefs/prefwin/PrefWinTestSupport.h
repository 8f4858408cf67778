// What the preference-window tests share: an application on a thread of its
// own, a stand-in communication manager that records the notices in order,
// a recorder of alerts, and input for windows (clicks on named views, keys
// with Control, menu choices, drops).
#ifndef PREFWIN_TEST_SUPPORT_H
#define PREFWIN_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include "framework/Alerts.h"
#include "plugin/TCommMan.h"
#include "prefs/PrefStore.h"

#include <Message.h>
#include <Window.h>

#include <mutex>
#include <string>
#include <vector>

class BMenuField;
class BView;
class TPrefWin;

namespace pwtest {

// Where the view tree is read from: the plug-in as built.
const char* plugin_path();

// Records every message, in the order it arrived.
class RecordingCommMan : public TCommMan {
public:
	RecordingCommMan();
	void MessageReceived(BMessage* message) override;
	// The 'what' codes seen so far, and forgets them.
	std::vector<uint32> TakeCodes();
	std::vector<BMessage> Take();
	bool WaitFor(uint32 what, BMessage* out = nullptr);
	// Waits until the looper handled everything posted to it so far.
	void Sync();
private:
	std::mutex fLock;
	std::vector<BMessage> fSeen;
};

// Answers every alert with button 0 (or the button set by Answer) and
// keeps the requests, while it lives.
class AlertRecorder {
public:
	AlertRecorder();
	~AlertRecorder();
	std::vector<orvik::TAlertRequest> Requests();
	// The requests so far, forgotten.
	std::vector<orvik::TAlertRequest> Take();
	void Answer(int32 button);
private:
	std::mutex fLock;
	std::vector<orvik::TAlertRequest> fRequests;
	int32 fAnswer = 0;
	orvik::alert_responder fPrevious;
};

// A four-character code as text, for messages.
std::string code(uint32 what);
std::string codes(const std::vector<uint32>& whats);

// Input. Every call returns once the window has handled it.
// The centre of `view` in its window's coordinates.
BPoint center_of(BWindow* window, BView* view);
void click_view(BWindow* window, BView* view);
// A key pressed while Control (or nothing) is held.
void control_key(BWindow* window, uint32 scancode);
// Opens the field's menu with a click and clicks its item `index`.
void choose(BWindow* window, BMenuField* field, int32 index);
// Files dropped from another application at a point of the window.
void drop(BWindow* window, const std::string& path, BPoint where);
void close_box(BWindow* window);

// Key scancodes.
const uint32 kKeyReturn = 40;
const uint32 kKeyEscape = 41;
const uint32 kKeyBackspace = 42;
const uint32 kKeyF1 = 58;
inline uint32 letter(char c)
{
	return 4 + (uint32)(c - 'a');
}

// Settings folder, record, language (English from the source tree) and a
// recording manager per test; the window is opened by Open().
class PrefWinTest : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	// Opens the preference window beside nothing, aimed at the recorder,
	// and waits until the notices of its first showing are through.
	void Open();
	void QuitWindow();

	// A view of the window by name, from any tab page.
	template<typename T> T* Find(const char* name) { return dynamic_cast<T*>(FindAny(name)); }
	BView* FindAny(const char* name);
	void SelectTab(int32 index);
	void Click(const char* name);
	// Types into the text field, replacing what it shows, one character
	// at a time.
	void TypeInto(const char* name, const std::string& text, bool replace = true);
	// Reads the live record.
	template<typename Read> auto Pref(Read read)
	{
		TPrefLock pref;
		return read(*pref);
	}
	bool IsHidden();
	// The confirmed copy, read under the window's lock.
	TPref Confirmed();
	std::string FieldText(const char* name);
	// The saved preference file, read into a fresh record; false when
	// there is none.
	bool ReadSaved(TPref* out);

	testutil::TempDir fConfig;
	RecordingCommMan* fCommMan = nullptr;
	TPrefWin* fWindow = nullptr;
	AlertRecorder* fAlerts = nullptr;
};

}

#endif
