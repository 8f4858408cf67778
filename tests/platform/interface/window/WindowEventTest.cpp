// Input and window-manager events reaching windows and views as messages.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include <Entry.h>
#include <InterfaceDefs.h>
#include <MessageFilter.h>
#include <View.h>
#include <Window.h>

#include "display/DisplayServer.h"

#include <mutex>
#include <string>
#include <vector>

namespace {

struct Seen {
	uint32 what;
	BPoint where;
	int32 clicks;
	uint32 buttons;
	uint32 modifiers;
	std::string bytes;
	int32 key;
	uint32 transit;
};

// Records the hooks it gets, with the fields of the current message.
class RecordingView : public BView {
public:
	RecordingView(BRect frame, const char* name = "rec")
		: BView(frame, name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE) {}

	void MouseDown(BPoint where) override { _Record(B_MOUSE_DOWN, where); }
	void MouseUp(BPoint where) override { _Record(B_MOUSE_UP, where); }
	void MouseMoved(BPoint where, uint32 transit, const BMessage*) override
	{
		_Record(B_MOUSE_MOVED, where, transit);
	}
	void KeyDown(const char* bytes, int32 numBytes) override
	{
		_Record(B_KEY_DOWN, BPoint(), 0, std::string(bytes, numBytes));
		BView::KeyDown(bytes, numBytes);
	}
	void MessageReceived(BMessage* message) override
	{
		if (message->what == B_SIMPLE_DATA) {
			std::lock_guard<std::mutex> lock(fLock);
			fDropped.push_back(*message);
			fDroppedRemote = message->IsSourceRemote();
			fDroppedFlag = message->WasDropped();
			return;
		}
		BView::MessageReceived(message);
	}

	std::vector<Seen> Take()
	{
		std::lock_guard<std::mutex> lock(fLock);
		std::vector<Seen> seen;
		seen.swap(fSeen);
		return seen;
	}
	std::vector<Seen> Take(uint32 what)
	{
		std::vector<Seen> matching;
		for (const Seen& seen : Take()) {
			if (seen.what == what)
				matching.push_back(seen);
		}
		return matching;
	}

	std::mutex fLock;
	std::vector<BMessage> fDropped;
	bool fDroppedRemote = false;
	bool fDroppedFlag = false;

private:
	void _Record(uint32 what, BPoint where, uint32 transit = 0, std::string bytes = "")
	{
		BMessage* current = Window()->CurrentMessage();
		Seen seen{what, where, 0, 0, 0, bytes, 0, transit};
		if (current != NULL) {
			current->FindInt32("clicks", &seen.clicks);
			int32 value = 0;
			if (current->FindInt32("buttons", &value) == B_OK)
				seen.buttons = (uint32)value;
			if (current->FindInt32("modifiers", &value) == B_OK)
				seen.modifiers = (uint32)value;
			current->FindInt32("key", &seen.key);
		}
		std::lock_guard<std::mutex> lock(fLock);
		fSeen.push_back(seen);
	}

	std::vector<Seen> fSeen;
};

class EventWindow : public BWindow {
public:
	EventWindow(BRect frame = BRect(50, 60, 249, 159))
		: BWindow(frame, "events", B_TITLED_WINDOW, 0) {}

	void FrameMoved(BPoint where) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		moves.push_back(where);
	}
	void FrameResized(float width, float height) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		resizes.push_back(BPoint(width, height));
	}
	bool QuitRequested() override
	{
		quitAsked++;
		return allowQuit;
	}

	std::mutex fLock;
	std::vector<BPoint> moves;
	std::vector<BPoint> resizes;
	std::atomic<int> quitAsked{0};
	std::atomic<bool> allowQuit{false};
};

display::window_id native(BWindow* window)
{
	return BPrivate::WindowAccess::NativeWindow(window);
}

}

TEST(WindowEvents, MouseGoesToTheViewUnderThePointerInItsCoordinates)
{
	EventWindow* window = new EventWindow;
	RecordingView* left = new RecordingView(BRect(0, 0, 99, 99), "left");
	RecordingView* right = new RecordingView(BRect(100, 0, 199, 99), "right");
	window->AddChild(left);
	window->AddChild(right);
	window->Show();

	windowtest::click(window, 130, 20, B_SECONDARY_MOUSE_BUTTON);
	std::vector<Seen> downs = right->Take(B_MOUSE_DOWN);
	ASSERT_EQ(downs.size(), 1u);
	EXPECT_EQ(downs[0].where, BPoint(30, 20));
	EXPECT_EQ(downs[0].buttons, (uint32)B_SECONDARY_MOUSE_BUTTON);
	EXPECT_TRUE(left->Take().empty());

	// Moving from one view into the other: exit, then entry.
	windowtest::mouse_move(window, 10, 10);
	windowtest::mouse_move(window, 150, 10);
	std::vector<Seen> leftMoves = left->Take(B_MOUSE_MOVED);
	ASSERT_FALSE(leftMoves.empty());
	EXPECT_EQ(leftMoves.back().transit, (uint32)B_EXITED_VIEW);
	std::vector<Seen> rightMoves = right->Take(B_MOUSE_MOVED);
	ASSERT_FALSE(rightMoves.empty());
	EXPECT_EQ(rightMoves.back().transit, (uint32)B_ENTERED_VIEW);
	windowtest::quit(window);
}

TEST(WindowEvents, QuickPressesCountUpAndSlowOrDistantOnesDoNot)
{
	EventWindow* window = new EventWindow;
	RecordingView* view = new RecordingView(BRect(0, 0, 199, 99));
	window->AddChild(view);
	window->Show();
	display::DisplayServer& server = *display::DisplayServer::Get();
	bigtime_t t = display::display_clock();
	auto press = [&](int32 x, int32 y, bigtime_t when) {
		server.InjectMouseButton(native(window), x, y, B_PRIMARY_MOUSE_BUTTON, true, when);
		server.InjectMouseButton(native(window), x, y, B_PRIMARY_MOUSE_BUTTON, false,
			when + 10000);
	};
	press(20, 20, t);
	press(21, 20, t + 100000);
	press(21, 21, t + 200000);
	press(120, 20, t + 300000);          // far away: a new series
	press(120, 20, t + 300000 + 3000000);   // much later: a new series
	windowtest::settle(window);
	std::vector<Seen> downs = view->Take(B_MOUSE_DOWN);
	ASSERT_EQ(downs.size(), 5u);
	EXPECT_EQ(downs[0].clicks, 1);
	EXPECT_EQ(downs[1].clicks, 2);
	EXPECT_EQ(downs[2].clicks, 3);
	EXPECT_EQ(downs[3].clicks, 1);
	EXPECT_EQ(downs[4].clicks, 1);
	windowtest::quit(window);
}

TEST(WindowEvents, KeysGoToTheFocusViewWithModifiersAndFunctionKeys)
{
	EventWindow* window = new EventWindow;
	RecordingView* first = new RecordingView(BRect(0, 0, 99, 99), "first");
	RecordingView* second = new RecordingView(BRect(100, 0, 199, 99), "second");
	window->AddChild(first);
	window->AddChild(second);
	window->Show();
	ASSERT_TRUE(window->Lock());
	second->MakeFocus(true);
	EXPECT_EQ(window->CurrentFocus(), second);
	window->Unlock();

	display::DisplayServer& server = *display::DisplayServer::Get();
	display::KeyInput shift;
	shift.scancode = 225;   // left shift
	server.InjectKey(native(window), shift);
	windowtest::key(window, 4);   // a
	EXPECT_NE(modifiers() & B_SHIFT_KEY, 0u);
	shift.down = false;
	server.InjectKey(native(window), shift);
	windowtest::key(window, 58);  // F1

	std::vector<Seen> keys = second->Take(B_KEY_DOWN);
	ASSERT_EQ(keys.size(), 2u);
	EXPECT_EQ(keys[0].bytes, "A");
	EXPECT_NE(keys[0].modifiers & B_SHIFT_KEY, 0u);
	EXPECT_EQ(keys[1].bytes, std::string(1, (char)B_FUNCTION_KEY));
	EXPECT_EQ(keys[1].key, B_F1_KEY);
	EXPECT_EQ(modifiers() & B_SHIFT_KEY, 0u);
	EXPECT_TRUE(first->Take(B_KEY_DOWN).empty());

	// Tab moves the focus on among the navigable views.
	windowtest::key(window, 43);
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ(window->CurrentFocus(), first);
	window->Unlock();
	windowtest::quit(window);
}

TEST(WindowEvents, EveryMoveComesThroughTheQueueToCommonFilters)
{
	EventWindow* window = new EventWindow;
	std::mutex lock;
	std::vector<BPoint> filtered;
	struct MoveFilter : public BMessageFilter {
		MoveFilter(std::mutex& l, std::vector<BPoint>& out)
			: BMessageFilter(B_WINDOW_MOVED), fLock(l), fOut(out) {}
		filter_result Filter(BMessage* message, BHandler**) override
		{
			BPoint where;
			message->FindPoint("where", &where);
			std::lock_guard<std::mutex> guard(fLock);
			fOut.push_back(where);
			return B_DISPATCH_MESSAGE;
		}
		std::mutex& fLock;
		std::vector<BPoint>& fOut;
	};
	window->AddCommonFilter(new MoveFilter(lock, filtered));
	window->Show();

	ASSERT_TRUE(window->Lock());
	window->MoveTo(300, 200);
	EXPECT_EQ(window->Frame().LeftTop(), BPoint(300, 200));   // at once
	window->Unlock();
	// And a move by the user through the window manager.
	display::DisplayServer::Get()->InjectUserFrame(native(window), 320, 240, 200, 100);
	windowtest::settle(window);

	{
		std::lock_guard<std::mutex> guard(lock);
		ASSERT_GE(filtered.size(), 2u);
		EXPECT_EQ(filtered[filtered.size() - 2], BPoint(300, 200));
		EXPECT_EQ(filtered.back(), BPoint(320, 240));
	}
	{
		std::lock_guard<std::mutex> guard(window->fLock);
		ASSERT_FALSE(window->moves.empty());
		EXPECT_EQ(window->moves.back(), BPoint(320, 240));
	}
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ(window->Frame(), BRect(320, 240, 519, 339));
	EXPECT_EQ(window->ConvertToScreen(BPoint(1, 2)), BPoint(321, 242));
	window->Unlock();
	windowtest::quit(window);
}

TEST(WindowEvents, ShowAndHideAreCountedAndMinimizeIsReported)
{
	EventWindow* window = new EventWindow;
	display::DisplayServer& server = *display::DisplayServer::Get();
	display::WindowState state;
	EXPECT_TRUE(window->IsHidden());
	window->Show();
	server.GetWindowState(native(window), &state);
	EXPECT_FALSE(state.hidden);

	ASSERT_TRUE(window->Lock());
	window->Hide();
	window->Hide();
	window->Show();
	EXPECT_TRUE(window->IsHidden());
	server.GetWindowState(native(window), &state);
	EXPECT_TRUE(state.hidden);
	window->Show();
	EXPECT_FALSE(window->IsHidden());
	server.GetWindowState(native(window), &state);
	EXPECT_FALSE(state.hidden);

	window->Minimize(true);
	window->Unlock();
	server.Sync();
	windowtest::settle(window);
	ASSERT_TRUE(window->Lock());
	EXPECT_TRUE(window->IsMinimized());
	window->Minimize(false);
	window->Unlock();
	server.Sync();
	ASSERT_TRUE(window->Lock());
	EXPECT_FALSE(window->IsMinimized());
	window->Unlock();
	windowtest::quit(window);
}

TEST(WindowEvents, FloatingFeelStaysAboveNormalWindows)
{
	EventWindow* normal = new EventWindow(BRect(10, 10, 109, 109));
	BWindow* floating = new BWindow(BRect(50, 50, 149, 149), "floating",
		B_MODAL_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL, 0);
	floating->Show();
	normal->Show();
	ASSERT_TRUE(normal->Lock());
	normal->Activate();
	normal->Unlock();
	display::DisplayServer& server = *display::DisplayServer::Get();
	server.Sync();
	std::vector<display::window_id> order = server.WindowOrder();
	auto position = [&](BWindow* w) {
		return std::find(order.begin(), order.end(), native(w)) - order.begin();
	};
	EXPECT_LT(position(floating), position(normal));
	display::WindowState state;
	server.GetWindowState(native(floating), &state);
	EXPECT_TRUE(state.alwaysOnTop);
	EXPECT_EQ(state.decoration, display::Decoration::kBordered);

	// Back to a normal feel: no longer on top.
	ASSERT_TRUE(floating->Lock());
	EXPECT_EQ(floating->SetFeel(B_NORMAL_WINDOW_FEEL), B_OK);
	EXPECT_EQ(floating->Feel(), B_NORMAL_WINDOW_FEEL);
	floating->Unlock();
	server.GetWindowState(native(floating), &state);
	EXPECT_FALSE(state.alwaysOnTop);
	windowtest::quit(floating);
	windowtest::quit(normal);
}

TEST(WindowEvents, CloseBoxAsksQuitRequested)
{
	EventWindow* window = new EventWindow;
	window->Show();
	display::DisplayServer::Get()->InjectCloseRequest(native(window));
	windowtest::settle(window);
	EXPECT_EQ(window->quitAsked.load(), 1);
	window->allowQuit = true;
	thread_id thread = window->Thread();
	display::DisplayServer::Get()->InjectCloseRequest(native(window));
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);   // the window quit
}

TEST(WindowEvents, DroppedFilesArriveAsRefsAtTheViewUnderTheDrop)
{
	testutil::TempDir dir;
	std::string path = dir.Write("song.lrc", "[00:01]la\n");
	EventWindow* window = new EventWindow;
	RecordingView* view = new RecordingView(BRect(100, 0, 199, 99));
	window->AddChild(view);
	window->Show();
	// Screen point inside the view: window at (50, 60), view at x 100.
	display::DisplayServer::Get()->InjectDrop(native(window), {path}, 50 + 150, 60 + 20,
		display::display_clock());
	windowtest::settle(window);
	{
		// The view goes with its window: let go of its lock first.
		std::lock_guard<std::mutex> lock(view->fLock);
		ASSERT_EQ(view->fDropped.size(), 1u);
		entry_ref ref;
		EXPECT_EQ(view->fDropped[0].FindRef("refs", &ref), B_OK);
		EXPECT_STREQ(ref.name, "song.lrc");
		EXPECT_TRUE(view->fDroppedFlag);
		EXPECT_TRUE(view->fDroppedRemote);
		EXPECT_EQ(view->fDropped[0].FindPoint("_drop_point_"), BPoint(200, 80));
	}
	windowtest::quit(window);
}
