#include "PrefWinTestSupport.h"

#include "lang/Language.h"
#include "prefs/TPrefView.h"
#include "prefs/TPrefWin.h"

#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"

#include <Application.h>
#include <Entry.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <OS.h>
#include <TabView.h>
#include <TextControl.h>
#include <TextView.h>

#include <stdlib.h>

#include <atomic>

namespace pwtest {

namespace {

const uint32 kMsgSync = 'sync';
const uint32 kKeyLeftControl = 224;

// The application runs for the whole program, on a thread of its own.
class AppEnvironment : public ::testing::Environment {
public:
	void SetUp() override
	{
		fThread = spawn_thread(&AppEnvironment::Main, "preference test application",
			B_NORMAL_PRIORITY, this);
		resume_thread(fThread);
		ASSERT_TRUE(testutil::wait_for([this] { return fApp.load() != nullptr; }));
	}
	void TearDown() override
	{
		BMessenger(fApp.load()).SendMessage(B_QUIT_REQUESTED);
		status_t result;
		wait_for_thread(fThread, &result);
	}
private:
	static int32 Main(void* data)
	{
		AppEnvironment* self = static_cast<AppEnvironment*>(data);
		BApplication* app = new BApplication("application/x-vnd.ORVIK-prefwin-test");
		self->fApp = app;
		app->Run();
		delete app;
		return 0;
	}
	thread_id fThread = -1;
	std::atomic<BApplication*> fApp{nullptr};
};

::testing::Environment* const gAppEnvironment
	= ::testing::AddGlobalTestEnvironment(new AppEnvironment);

display::window_id native(BWindow* window)
{
	return BPrivate::WindowAccess::NativeWindow(window);
}

BPoint window_origin(BWindow* window)
{
	return windowtest::locked(window, BPoint(0, 0),
		[](BWindow* w) { return w->Frame().LeftTop(); });
}

}

const char* plugin_path()
{
	return VERSOD_PLUGIN_PATH;
}

// ---- RecordingCommMan

RecordingCommMan::RecordingCommMan()
	: TCommMan("preference test manager", "no peer here")
{
}

void RecordingCommMan::MessageReceived(BMessage* message)
{
	if (message->what == kMsgSync) {
		BMessage reply(B_REPLY);
		message->SendReply(&reply);
		return;
	}
	std::lock_guard<std::mutex> lock(fLock);
	fSeen.push_back(*message);
}

std::vector<BMessage> RecordingCommMan::Take()
{
	std::lock_guard<std::mutex> lock(fLock);
	std::vector<BMessage> seen;
	seen.swap(fSeen);
	return seen;
}

std::vector<uint32> RecordingCommMan::TakeCodes()
{
	std::vector<uint32> whats;
	for (const BMessage& message : Take())
		whats.push_back(message.what);
	return whats;
}

bool RecordingCommMan::WaitFor(uint32 what, BMessage* out)
{
	return testutil::wait_for([&] {
		std::lock_guard<std::mutex> lock(fLock);
		for (const BMessage& message : fSeen) {
			if (message.what == what) {
				if (out != nullptr)
					*out = message;
				return true;
			}
		}
		return false;
	});
}

void RecordingCommMan::Sync()
{
	BMessage sync(kMsgSync);
	BMessage reply;
	BMessenger(this).SendMessage(&sync, &reply);
}

// ---- AlertRecorder

AlertRecorder::AlertRecorder()
{
	fPrevious = orvik::set_alert_responder([this](const orvik::TAlertRequest& request) {
		std::lock_guard<std::mutex> lock(fLock);
		fRequests.push_back(request);
		return fAnswer;
	});
}

AlertRecorder::~AlertRecorder()
{
	orvik::set_alert_responder(fPrevious);
}

std::vector<orvik::TAlertRequest> AlertRecorder::Requests()
{
	std::lock_guard<std::mutex> lock(fLock);
	return fRequests;
}

std::vector<orvik::TAlertRequest> AlertRecorder::Take()
{
	std::lock_guard<std::mutex> lock(fLock);
	std::vector<orvik::TAlertRequest> taken;
	taken.swap(fRequests);
	return taken;
}

void AlertRecorder::Answer(int32 button)
{
	std::lock_guard<std::mutex> lock(fLock);
	fAnswer = button;
}

// ---- texts

std::string code(uint32 what)
{
	std::string text;
	for (int shift = 24; shift >= 0; shift -= 8) {
		char c = (char)((what >> shift) & 0xff);
		if (c != 0)
			text += c;
	}
	return "'" + text + "'";
}

std::string codes(const std::vector<uint32>& whats)
{
	std::string text;
	for (uint32 what : whats)
		text += (text.empty() ? "" : " ") + code(what);
	return text;
}

// ---- input

BPoint center_of(BWindow* window, BView* view)
{
	return windowtest::locked(window, BPoint(-1, -1), [view](BWindow* w) {
		BRect bounds = view->Bounds();
		BPoint center(floorf((bounds.left + bounds.right) / 2),
			floorf((bounds.top + bounds.bottom) / 2));
		view->ConvertToScreen(&center);
		return center - w->Frame().LeftTop();
	});
}

void click_view(BWindow* window, BView* view)
{
	BPoint where = center_of(window, view);
	windowtest::click(window, (int32)where.x, (int32)where.y);
	windowtest::settle(window);
}

void control_key(BWindow* window, uint32 scancode)
{
	auto server = display::DisplayServer::Get();
	display::KeyInput control;
	control.scancode = kKeyLeftControl;
	control.when = display::display_clock();
	server->InjectKey(native(window), control);
	windowtest::key(window, scancode);
	control.down = false;
	control.when = display::display_clock();
	server->InjectKey(native(window), control);
	windowtest::settle(window);
}

void choose(BWindow* window, BMenuField* field, int32 index)
{
	BPoint button = center_of(window, windowtest::locked(window, (BView*)nullptr,
		[field](BWindow*) { return (BView*)field->MenuBar(); }));
	windowtest::click(window, (int32)button.x, (int32)button.y);
	BWindow* menuWindow = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] {
		menuWindow = windowtest::find_window("menu");
		return menuWindow != nullptr;
	}));
	windowtest::settle(menuWindow);
	BPoint item = windowtest::locked(menuWindow, BPoint(-1, -1), [&](BWindow*) {
		BRect frame = field->Menu()->ItemAt(index)->Frame();
		return BPoint(floorf((frame.left + frame.right) / 2),
			floorf((frame.top + frame.bottom) / 2));
	});
	auto server = display::DisplayServer::Get();
	const display::window_id id = native(menuWindow);
	server->InjectMouseButton(id, (int32)item.x, (int32)item.y, 1, true,
		display::display_clock());
	server->InjectMouseButton(id, (int32)item.x, (int32)item.y, 1, false,
		display::display_clock());
	ASSERT_TRUE(testutil::wait_for([] { return windowtest::find_window("menu") == nullptr; }));
	windowtest::settle(window);
	windowtest::settle(window);
}

void drop(BWindow* window, const std::string& path, BPoint where)
{
	BPoint screen = window_origin(window) + where;
	display::DisplayServer::Get()->InjectDrop(native(window), {path}, (int32)screen.x,
		(int32)screen.y, display::display_clock());
	windowtest::settle(window);
	windowtest::settle(window);
}

void close_box(BWindow* window)
{
	display::DisplayServer::Get()->InjectCloseRequest(native(window));
	windowtest::settle(window);
	windowtest::settle(window);
}

// ---- PrefWinTest

void PrefWinTest::SetUp()
{
	setenv("XDG_CONFIG_HOME", fConfig.Path().c_str(), 1);
	{
		BAutolock lock(pref_lock());
		gPref = new TPref;
	}
	gLLT = new TLLT;
	ASSERT_EQ(gLLT->Load(VERSO_SOURCE_DIR "/data/Language/English.llt"), 0);
	fAlerts = new AlertRecorder;
	fCommMan = new RecordingCommMan;
	fCommMan->Run();
}

void PrefWinTest::TearDown()
{
	QuitWindow();
	if (fCommMan->Lock())
		fCommMan->Quit();
	fCommMan = nullptr;
	delete fAlerts;
	fAlerts = nullptr;
	delete gLLT;
	gLLT = nullptr;
	{
		BAutolock lock(pref_lock());
		delete gPref;
		gPref = nullptr;
	}
	unsetenv("XDG_CONFIG_HOME");
}

void PrefWinTest::Open()
{
	fWindow = new TPrefWin(BRect(40, 40, 41, 41), fCommMan, plugin_path());
	ASSERT_EQ(fWindow->InitCheck(), B_OK);
	ASSERT_TRUE(fWindow->Lock());
	fWindow->SetTarget(fCommMan);
	fWindow->SetFeel(B_FLOATING_ALL_WINDOW_FEEL);
	fWindow->Unlock();
	fWindow->Show();
	windowtest::settle(fWindow);
	windowtest::settle(fWindow);
	// Showing the record sets the text fields, whose handlers announce
	// their values once.
	ASSERT_TRUE(fCommMan->WaitFor('Sptc'));
	fCommMan->Sync();
	fCommMan->Take();
}

void PrefWinTest::QuitWindow()
{
	if (fWindow != nullptr)
		windowtest::quit(fWindow);
	fWindow = nullptr;
}

BView* PrefWinTest::FindAny(const char* name)
{
	return windowtest::locked(fWindow, (BView*)nullptr, [name](BWindow* window) -> BView* {
		if (BView* view = window->FindView(name))
			return view;
		BTabView* tabs = dynamic_cast<BTabView*>(window->FindView("TabViewCategory"));
		for (int32 i = 0; tabs != nullptr && i < tabs->CountTabs(); i++) {
			if (BView* page = tabs->TabAt(i)->View()) {
				if (BView* view = page->FindView(name))
					return view;
			}
		}
		return nullptr;
	});
}

void PrefWinTest::SelectTab(int32 index)
{
	BTabView* tabs = Find<BTabView>("TabViewCategory");
	ASSERT_NE(tabs, nullptr);
	BPoint where = windowtest::locked(fWindow, BPoint(-1, -1), [&](BWindow* window) {
		BRect frame = tabs->TabFrame(index);
		BPoint center(floorf((frame.left + frame.right) / 2),
			floorf((frame.top + frame.bottom) / 2));
		tabs->ConvertToScreen(&center);
		return center - window->Frame().LeftTop();
	});
	windowtest::click(fWindow, (int32)where.x, (int32)where.y);
	windowtest::settle(fWindow);
	ASSERT_EQ(windowtest::locked(fWindow, (int32)-1,
		[&](BWindow*) { return tabs->Selection(); }), index);
}

void PrefWinTest::Click(const char* name)
{
	BView* view = FindAny(name);
	ASSERT_NE(view, nullptr) << name;
	click_view(fWindow, view);
}

void PrefWinTest::TypeInto(const char* name, const std::string& text, bool replace)
{
	BTextControl* control = Find<BTextControl>(name);
	ASSERT_NE(control, nullptr) << name;
	click_view(fWindow, control);
	if (replace) {
		windowtest::locked(fWindow, 0, [control](BWindow*) {
			control->TextView()->SelectAll();
			return 0;
		});
	}
	for (char c : text) {
		windowtest::type(fWindow, std::string(1, c).c_str());
		windowtest::settle(fWindow);
	}
	windowtest::settle(fWindow);
}

bool PrefWinTest::IsHidden()
{
	return windowtest::locked(fWindow, false, [](BWindow* window) { return window->IsHidden(); });
}

TPref PrefWinTest::Confirmed()
{
	return windowtest::locked(fWindow, TPref(),
		[](TPrefWin* window) { return window->PrefView()->Confirmed(); });
}

std::string PrefWinTest::FieldText(const char* name)
{
	BTextControl* control = Find<BTextControl>(name);
	if (control == nullptr)
		return "";
	return windowtest::locked(fWindow, std::string(),
		[control](BWindow*) { return std::string(control->Text()); });
}

bool PrefWinTest::ReadSaved(TPref* out)
{
	BEntry entry(fConfig.File("ORVIK/Shared/VersoShared_Prefs.arc").c_str());
	return entry.Exists() && (out->Load(entry), true);
}

}
