#include "LyricsWinTestSupport.h"

#include "lang/Language.h"
#include "lyrics/TVersoDView.h"
#include "plugin/MelodeckFrontEnd.h"
#include "prefs/PrefStore.h"

#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"

#include <AppDefs.h>
#include <List.h>
#include <OS.h>

#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <memory>

namespace lwtest {

const BRect kPlayerFrame(100, 200, 374, 315);
const BRect kLyricsFrame(600, 500, 799, 604);

namespace {

const char kSongTitle[] = "Window Song";

// Answers the front-end requests of the lyrics view with one song that
// plays for ever at its start, so that the view knows its lyrics file.
class StandInPlayer : public BApplication {
public:
	explicit StandInPlayer(const std::string& song)
		: BApplication(kMelodeckSignature), fSong(song) {}

	BHandler* ResolveSpecifier(BMessage*, int32, BMessage*, int32, const char*) override
	{
		return this;
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case 'MDAm': {
				BMessage reply('MDAm');
				reply.AddMessenger("Msgr", BMessenger(this));
				message->SendReply(&reply);
				break;
			}
			case 'MDAi': {
				std::vector<uint8> info(kMelodeckInfoSize, 0);
				strncpy(reinterpret_cast<char*>(info.data() + kMelodeckTitleOffset), kSongTitle,
					kMelodeckTitleSize - 1);
				BMessage reply('MDAi');
				reply.AddData("Info", B_STRING_TYPE, info.data(), info.size());
				message->SendReply(&reply);
				break;
			}
			case B_COUNT_PROPERTIES: {
				BMessage reply(B_REPLY);
				reply.AddInt32("result", 1);
				message->SendReply(&reply);
				break;
			}
			case B_GET_PROPERTY: {
				BMessage reply(B_REPLY);
				reply.AddString("filename", fSong.c_str());
				reply.AddString("title", kSongTitle);
				reply.AddInt32("time", 0);
				reply.AddBool("played", false);
				reply.AddInt32("nr", 1);
				message->SendReply(&reply);
				break;
			}
			default:
				BApplication::MessageReceived(message);
		}
	}

private:
	const std::string fSong;
};

// The application runs for the whole program, on a thread of its own.
class PlayerEnvironment : public ::testing::Environment {
public:
	void SetUp() override
	{
		fSongDir = std::make_unique<testutil::TempDir>();
		fSong = fSongDir->Write("song.mp3", "");
		fThread = spawn_thread(&PlayerEnvironment::Main, "stand-in player", B_NORMAL_PRIORITY,
			this);
		resume_thread(fThread);
		ASSERT_TRUE(testutil::wait_for([this] { return fApp.load() != nullptr; }));
	}

	void TearDown() override
	{
		BMessenger(fApp.load()).SendMessage(B_QUIT_REQUESTED);
		status_t result;
		wait_for_thread(fThread, &result);
		fSongDir.reset();
	}

	static std::string fSong;

private:
	static int32 Main(void* data)
	{
		PlayerEnvironment* self = static_cast<PlayerEnvironment*>(data);
		StandInPlayer* app = new StandInPlayer(fSong);
		self->fApp = app;
		app->Run();
		delete app;
		return 0;
	}

	std::unique_ptr<testutil::TempDir> fSongDir;
	thread_id fThread = -1;
	std::atomic<StandInPlayer*> fApp{nullptr};
};

std::string PlayerEnvironment::fSong;

::testing::Environment* const gPlayerEnvironment
	= ::testing::AddGlobalTestEnvironment(new PlayerEnvironment);

}

std::string song_path()
{
	return PlayerEnvironment::fSong;
}

// ---- RecordingCommMan

RecordingCommMan::RecordingCommMan()
	: TCommMan("lyrics window test manager", "no peer here")
{
}

void RecordingCommMan::MessageReceived(BMessage* message)
{
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

// ---- ViewProbe

bool ViewProbe::IsProbed(uint32 what)
{
	switch (what) {
		case 'Spac':
		case 'pdbc':
		case '_lgc':
		case '_ipc':
		case 'Sprc':
		case 'pprf':
		case 'pscc':
		case 'phlp':
		case 'pawb':
		case B_ABOUT_REQUESTED:
		case 'piic':
			return true;
		default:
			return false;
	}
}

filter_result ViewProbe::Filter(BMessage* message, BHandler**)
{
	if (!IsProbed(message->what))
		return B_DISPATCH_MESSAGE;
	std::lock_guard<std::mutex> lock(fLock);
	fSeen.push_back(message->what);
	return B_SKIP_MESSAGE;
}

std::vector<uint32> ViewProbe::Take()
{
	std::lock_guard<std::mutex> lock(fLock);
	std::vector<uint32> seen;
	seen.swap(fSeen);
	return seen;
}

// ---- Windows

PlayerWindow::PlayerWindow(BRect frame, const char* title)
	: BWindow(frame, title, B_TITLED_WINDOW, 0)
{
}

BRect frame_of(BWindow* window)
{
	return windowtest::locked(window, BRect(), [](BWindow* w) { return w->Frame(); });
}

BPoint offset_of(TVersoDWin* window)
{
	return windowtest::locked(window, BPoint(-9999, -9999),
		[](TVersoDWin* w) { return w->WinPosDiffe(); });
}

window_feel feel_of(BWindow* window)
{
	return windowtest::locked(window, B_MODAL_ALL_WINDOW_FEEL,
		[](BWindow* w) { return w->Feel(); });
}

int32 filters_of(BWindow* window)
{
	return windowtest::locked(window, (int32)-1, [](BWindow* w) {
		BList* list = w->CommonFilterList();
		return list != NULL ? (int32)list->CountItems() : (int32)0;
	});
}

void move_to(BWindow* window, float x, float y)
{
	if (window->Lock()) {
		window->MoveTo(x, y);
		window->Unlock();
	}
	// The move comes back as B_WINDOW_MOVED; let it arrive before the
	// test goes on.
	windowtest::settle(window);
}

bool wait_at(BWindow* window, BPoint where)
{
	return testutil::wait_for([&] { return frame_of(window).LeftTop() == where; });
}

void post(BWindow* window, const BMessage& message)
{
	BMessage copy(message);
	ASSERT_EQ(window->PostMessage(&copy), B_OK);
	windowtest::settle(window);
}

void post(BWindow* window, uint32 what)
{
	post(window, BMessage(what));
}

void user_drag(BWindow* window, BPoint where)
{
	// Pressed on the border, outside the lyrics view, as the window
	// manager's move grip is.
	display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	auto server = display::DisplayServer::Get();
	BRect frame = frame_of(window);
	server->InjectMouseButton(id, -2, -2, 1, true, display::display_clock());
	server->InjectUserFrame(id, (int32)where.x, (int32)where.y, frame.IntegerWidth() + 1,
		frame.IntegerHeight() + 1);
	windowtest::settle(window);
	server->InjectMouseButton(id, -2, -2, 1, false, display::display_clock());
	windowtest::settle(window);
}

// ---- Fixture

void LyricsWinTest::SetUp()
{
	setenv("XDG_CONFIG_HOME", fConfig.Path().c_str(), 1);
	gPref = new TPref;
	gExitState = new TExitState;
	if (gLLT == nullptr)
		gLLT = new TLLT;
	fCommMan = new RecordingCommMan;
	fCommMan->Run();
}

void LyricsWinTest::TearDown()
{
	QuitLyrics();
	if (fPlayer != nullptr)
		windowtest::quit(fPlayer);
	fPlayer = nullptr;
	if (fCommMan->Lock())
		fCommMan->Quit();
	fCommMan = nullptr;
	{
		TPrefLock lock;
		delete gPref;
		delete gExitState;
		gPref = nullptr;
		gExitState = nullptr;
	}
	unsetenv("XDG_CONFIG_HOME");
}

void LyricsWinTest::Open(bool withPlayer, BRect frame)
{
	if (withPlayer) {
		fPlayer = new PlayerWindow(kPlayerFrame);
		fPlayer->Show();
		windowtest::settle(fPlayer);
	}
	fLyrics = new TVersoDWin(frame, fCommMan);
	fProbe = new ViewProbe;
	fLyrics->LyricsView()->AddFilter(fProbe);
	fLyrics->Show();
	windowtest::settle(fLyrics);
}

void LyricsWinTest::QuitLyrics()
{
	if (fLyrics != nullptr)
		windowtest::quit(fLyrics);
	fLyrics = nullptr;
	fProbe = nullptr;
}

void LyricsWinTest::SetStayOnTop(bool on)
{
	TPrefLock lock;
	lock->stayOnTop = on;
}

bool LyricsWinTest::StayOnTop()
{
	TPrefLock lock;
	return lock->stayOnTop;
}

}
