// BFilePanel driven as a user would: clicks, double-clicks, Shift and
// Control, keys; and the messages its target receives.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include <Autolock.h>
#include <Button.h>
#include <Entry.h>
#include <FilePanel.h>
#include <Looper.h>
#include <Path.h>

#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"
#include "storage/FilePanelList.h"
#include "storage/FilePanelWindow.h"

#include <limits.h>
#include <mutex>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using BPrivate::FilePanelWindow;

namespace {

const uint32 kScanReturn = 40;
const uint32 kScanEscape = 41;
const uint32 kScanBackspace = 42;
const uint32 kScanLeftControl = 224;
const uint32 kScanLeftShift = 225;

class Receiver : public BLooper {
public:
	Receiver() : BLooper("panel target") { Run(); }
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(*message);
	}
	std::vector<BMessage> Messages()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages;
	}
	bool WaitFor(size_t count)
	{
		return testutil::wait_for([&] { return Messages().size() >= count; });
	}
	void Stop()
	{
		Lock();
		Quit();
	}
private:
	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

std::string real(const std::string& path)
{
	char resolved[PATH_MAX];
	return realpath(path.c_str(), resolved) != NULL ? resolved : path;
}

std::vector<std::string> ref_paths(const BMessage& message, const char* field)
{
	std::vector<std::string> out;
	entry_ref ref;
	for (int32 i = 0; message.FindRef(field, i, &ref) == B_OK; i++)
		out.push_back(BPath(&ref).Path());
	return out;
}

FilePanelWindow* window_of(BFilePanel& panel)
{
	return static_cast<FilePanelWindow*>(panel.Window());
}

// Where the row of `name` is, in window coordinates.
BPoint row_of(BFilePanel& panel, const char* name)
{
	FilePanelWindow* window = window_of(panel);
	BAutolock lock(window);
	int32 index = window->Model().IndexOf(name);
	EXPECT_GE(index, 0) << name;
	BRect frame = window->List()->ConvertToScreen(window->List()->ItemFrame(index));
	frame = window->ConvertFromScreen(frame);
	return BPoint(frame.left + 40, (frame.top + frame.bottom) / 2);
}

void click_row(BFilePanel& panel, const char* name, uint32 heldKey = 0)
{
	BPoint where = row_of(panel, name);
	display::window_id id = BPrivate::WindowAccess::NativeWindow(panel.Window());
	display::KeyInput key;
	key.scancode = heldKey;
	if (heldKey != 0)
		display::DisplayServer::Get()->InjectKey(id, key);
	windowtest::click(panel.Window(), (int32)where.x, (int32)where.y);
	if (heldKey != 0) {
		key.down = false;
		display::DisplayServer::Get()->InjectKey(id, key);
		windowtest::settle(panel.Window());
	}
}

std::string folder_of(BFilePanel& panel)
{
	entry_ref ref;
	panel.GetPanelDirectory(&ref);
	return BPath(&ref).Path() != NULL ? BPath(&ref).Path() : "";
}

// A button posts its message to the window: the panel moves a moment after
// the click has been handled.
bool reaches(BFilePanel& panel, const std::string& folder)
{
	bool ok = testutil::wait_for([&] { return folder_of(panel) == folder; });
	EXPECT_TRUE(ok) << folder_of(panel) << " is not " << folder;
	return ok;
}

void check_cancel(const BMessage& message, BFilePanel* panel, uint32 oldWhat)
{
	EXPECT_EQ(message.what, (uint32)B_CANCEL);
	void* source = NULL;
	EXPECT_EQ(message.FindPointer("source", &source), B_OK);
	EXPECT_EQ(source, panel);
	int32 what = 0;
	EXPECT_EQ(message.FindInt32("old_what", &what), B_OK);
	EXPECT_EQ((uint32)what, oldWhat);
}

struct Files {
	testutil::TempDir dir;
	std::string path;
	Files()
	{
		dir.Write("a.lrc", "a");
		dir.Write("b.lrc", "b");
		dir.Write("c.lrc", "c");
		mkdir(dir.File("songs").c_str(), 0755);
		dir.Write("songs/inner.lrc", "i");
		path = real(dir.Path());
	}
	entry_ref Ref()
	{
		entry_ref ref;
		get_ref_for_path(path.c_str(), &ref);
		return ref;
	}
};

}

TEST(FilePanel, OpensTheSelectedFilesAndCancelsOnEveryHide)
{
	Files files;
	Receiver* target = new Receiver;
	BMessenger messenger(target);
	entry_ref start = files.Ref();
	{
		BFilePanel panel(B_OPEN_PANEL, &messenger, &start);
		EXPECT_EQ(folder_of(panel), files.path);
		EXPECT_FALSE(panel.IsShowing());
		panel.Show();
		EXPECT_TRUE(panel.IsShowing());

		// Click a, Shift-click c, Control-click b: a and c stay.
		click_row(panel, "a.lrc");
		click_row(panel, "c.lrc", kScanLeftShift);
		click_row(panel, "b.lrc", kScanLeftControl);
		panel.Rewind();
		entry_ref ref;
		std::vector<std::string> selected;
		while (panel.GetNextSelectedRef(&ref) == B_OK)
			selected.push_back(BPath(&ref).Path());
		EXPECT_EQ(selected, (std::vector<std::string>{files.path + "/a.lrc",
			files.path + "/c.lrc"}));

		// Enter opens: refs, then B_CANCEL as the panel hides.
		windowtest::key(panel.Window(), kScanReturn);
		ASSERT_TRUE(target->WaitFor(2));
		std::vector<BMessage> messages = target->Messages();
		EXPECT_EQ(messages[0].what, (uint32)B_REFS_RECEIVED);
		EXPECT_EQ(ref_paths(messages[0], "refs"), selected);
		check_cancel(messages[1], &panel, B_REFS_RECEIVED);
		EXPECT_FALSE(panel.IsShowing());

		// Shown again: the Cancel button, then Escape, then Hide() by the
		// program each send B_CANCEL once more; a second Hide() does not.
		panel.Show();
		BButton* cancel = dynamic_cast<BButton*>(panel.Window()->FindView("cancel button"));
		ASSERT_NE(cancel, nullptr);
		BRect frame;
		{
			BAutolock lock(panel.Window());
			frame = panel.Window()->ConvertFromScreen(cancel->ConvertToScreen(cancel->Bounds()));
		}
		windowtest::click(panel.Window(), (int32)frame.left + 10, (int32)frame.top + 5);
		ASSERT_TRUE(target->WaitFor(3));
		panel.Show();
		windowtest::key(panel.Window(), kScanEscape);
		ASSERT_TRUE(target->WaitFor(4));
		panel.Show();
		panel.Hide();
		panel.Hide();
		ASSERT_TRUE(target->WaitFor(5));
		messages = target->Messages();
		for (size_t i = 2; i < messages.size(); i++)
			check_cancel(messages[i], &panel, B_REFS_RECEIVED);
		EXPECT_EQ(messages.size(), 5u);
	}
	target->Stop();
}

TEST(FilePanel, NavigatesWithDoubleClickBackspaceAndTheParentButton)
{
	Files files;
	entry_ref start = files.Ref();
	BMessenger nowhere;
	BFilePanel panel(B_OPEN_PANEL, &nowhere, &start);
	panel.Show();

	click_row(panel, "songs");
	click_row(panel, "songs");
	EXPECT_EQ(folder_of(panel), files.path + "/songs");
	{
		BAutolock lock(panel.Window());
		EXPECT_EQ(window_of(panel)->Model().CountItems(), 1);
	}

	// Backspace goes up, with the folder we left selected.
	windowtest::key(panel.Window(), kScanBackspace);
	EXPECT_EQ(folder_of(panel), files.path);
	{
		BAutolock lock(panel.Window());
		FilePanelWindow* window = window_of(panel);
		ASSERT_GE(window->Model().FirstSelected(), 0);
		EXPECT_EQ(window->Model().ItemAt(window->Model().FirstSelected())->name, "songs");
	}

	// Enter on a folder in a files-only panel goes into it; the parent
	// button comes back.
	windowtest::key(panel.Window(), kScanReturn);
	reaches(panel, files.path + "/songs");
	BView* parent = panel.Window()->FindView("parent button");
	ASSERT_NE(parent, nullptr);
	BRect frame;
	{
		BAutolock lock(panel.Window());
		frame = panel.Window()->ConvertFromScreen(parent->ConvertToScreen(parent->Bounds()));
	}
	windowtest::click(panel.Window(), (int32)frame.left + 10, (int32)frame.top + 5);
	reaches(panel, files.path);

	// The program moves it; a folder that is not there leaves it be.
	panel.SetPanelDirectory((files.path + "/songs").c_str());
	EXPECT_EQ(folder_of(panel), files.path + "/songs");
	panel.SetPanelDirectory((files.path + "/missing").c_str());
	EXPECT_EQ(folder_of(panel), files.path + "/songs");
	{
		BAutolock lock(panel.Window());
		EXPECT_NE(window_of(panel)->Status().find("missing"), std::string::npos);
	}
	BEntry entry(files.path.c_str());
	panel.SetPanelDirectory(&entry);
	EXPECT_EQ(folder_of(panel), files.path);
}

TEST(FilePanel, MessageLabelsFoldersAndStayingOpen)
{
	Files files;
	Receiver* target = new Receiver;
	BMessenger messenger(target);
	entry_ref start = files.Ref();
	{
		BMessage skin('gscr');
		skin.AddString("purpose", "skin");
		BFilePanel panel(B_OPEN_PANEL, &messenger, &start, B_DIRECTORY_NODE, false,
			&skin, NULL, true, false);
		EXPECT_TRUE(panel.Window()->IsModal());
		panel.SetButtonLabel(B_DEFAULT_BUTTON, "Select this one");
		panel.SetButtonLabel(B_CANCEL_BUTTON, "Close");
		BButton* ok = dynamic_cast<BButton*>(panel.Window()->FindView("default button"));
		BButton* cancel = dynamic_cast<BButton*>(panel.Window()->FindView("cancel button"));
		ASSERT_NE(ok, nullptr);
		ASSERT_NE(cancel, nullptr);
		{
			BAutolock lock(panel.Window());
			EXPECT_STREQ(ok->Label(), "Select this one");
			EXPECT_STREQ(cancel->Label(), "Close");
			// The longer label did not run into the other button.
			EXPECT_LT(cancel->Frame().right, ok->Frame().left);
		}

		panel.Show();
		// A folders panel with nothing selected chooses the folder shown; it
		// does not hide when done, so no B_CANCEL follows.
		windowtest::key(panel.Window(), kScanReturn);
		ASSERT_TRUE(target->WaitFor(1));
		std::vector<BMessage> messages = target->Messages();
		EXPECT_EQ(messages[0].what, (uint32)'gscr');
		const char* purpose = NULL;
		EXPECT_EQ(messages[0].FindString("purpose", &purpose), B_OK);
		EXPECT_STREQ(purpose, "skin");
		EXPECT_EQ(ref_paths(messages[0], "refs"), std::vector<std::string>{files.path});
		EXPECT_TRUE(panel.IsShowing());

		// Files are grey here: clicking one selects nothing; a folder is sent.
		click_row(panel, "a.lrc");
		click_row(panel, "songs");
		windowtest::key(panel.Window(), kScanReturn);
		ASSERT_TRUE(target->WaitFor(2));
		EXPECT_EQ(ref_paths(target->Messages()[1], "refs"),
			std::vector<std::string>{files.path + "/songs"});

		panel.Hide();
		ASSERT_TRUE(target->WaitFor(3));
		check_cancel(target->Messages()[2], &panel, 'gscr');
	}
	target->Stop();
}

TEST(FilePanel, SavePanelSendsFolderAndNameAndAsksBeforeReplacing)
{
	Files files;
	Receiver* target = new Receiver;
	BMessenger messenger(target);
	entry_ref start = files.Ref();
	{
		BFilePanel panel(B_SAVE_PANEL, &messenger, &start);
		panel.Show();
		panel.SetSaveText("new.lrc");
		windowtest::key(panel.Window(), kScanReturn);
		ASSERT_TRUE(target->WaitFor(2));
		BMessage save = target->Messages()[0];
		EXPECT_EQ(save.what, (uint32)B_SAVE_REQUESTED);
		EXPECT_EQ(ref_paths(save, "directory"), std::vector<std::string>{files.path});
		const char* name = NULL;
		EXPECT_EQ(save.FindString("name", &name), B_OK);
		EXPECT_STREQ(name, "new.lrc");
		check_cancel(target->Messages()[1], &panel, B_SAVE_REQUESTED);

		// An existing name: an alert asks first; its default button replaces.
		panel.Show();
		panel.SetSaveText("a.lrc");
		windowtest::key(panel.Window(), kScanReturn);
		display::window_id alert = 0;
		ASSERT_TRUE(testutil::wait_for([&] {
			for (display::window_id id : display::DisplayServer::Get()->WindowOrder()) {
				display::WindowState state;
				if (display::DisplayServer::Get()->GetWindowState(id, &state) == B_OK
					&& !state.hidden && state.decoration == display::Decoration::kBordered) {
					alert = id;
					return true;
				}
			}
			return false;
		}));
		EXPECT_EQ(target->Messages().size(), 2u);
		display::KeyInput enter;
		enter.scancode = kScanReturn;
		display::DisplayServer::Get()->InjectKey(alert, enter);
		enter.down = false;
		display::DisplayServer::Get()->InjectKey(alert, enter);
		ASSERT_TRUE(target->WaitFor(4));
		save = target->Messages()[2];
		EXPECT_EQ(save.FindString("name", &name), B_OK);
		EXPECT_STREQ(name, "a.lrc");
	}
	target->Stop();
}

TEST(FilePanel, CloseBoxHidesButTheApplicationMayQuitTheWindow)
{
	Files files;
	Receiver* target = new Receiver;
	BMessenger messenger(target);
	entry_ref start = files.Ref();
	{
		BFilePanel panel(B_OPEN_PANEL, &messenger, &start);
		panel.Show();
		display::DisplayServer::Get()->InjectCloseRequest(
			BPrivate::WindowAccess::NativeWindow(panel.Window()));
		ASSERT_TRUE(target->WaitFor(1));
		check_cancel(target->Messages()[0], &panel, B_REFS_RECEIVED);
		EXPECT_FALSE(panel.IsShowing());

		// The application asks from its own thread, and quits the window.
		BWindow* window = panel.Window();
		ASSERT_TRUE(window->Lock());
		EXPECT_TRUE(window->QuitRequested());
		window->Quit();
		// The panel outlives its window quietly.
		EXPECT_FALSE(panel.IsShowing());
		panel.Show();
		panel.SetPanelDirectory("/");
		entry_ref ref;
		EXPECT_EQ(panel.GetNextSelectedRef(&ref), B_NO_INIT);
		panel.GetPanelDirectory(&ref);
		EXPECT_EQ(ref.name, nullptr);
	}
	EXPECT_EQ(target->Messages().size(), 1u);
	target->Stop();
}
