#include "ViewHarness.h"

#include <stdlib.h>

#include <fstream>

namespace lyricsview {

RecordingWindow::RecordingWindow(BRect frame)
	:
	BWindow(frame, "lyrics view test", B_TITLED_WINDOW, B_NOT_ZOOMABLE)
{
}

void RecordingWindow::MessageReceived(BMessage* message)
{
	fReceived.push_back(message->what);
	BWindow::MessageReceived(message);
}

std::vector<uint32> RecordingWindow::Received()
{
	BAutolock lock(this);
	return fReceived;
}

void LyricsViewTest::SetUp()
{
	// preferences saved by the view (after a drop) go to the test's folder
	setenv("XDG_CONFIG_HOME", fDir.File("config").c_str(), 1);
	TPref* pref = new TPref;
	pref->pollingInterval = 5000;
	pref->antiAliasing = false;
	pref->useActiveFrame = false;
	pref->useBackgroundImage = false;
	pref->doubleBuffering = false;
	pref->fontSize = 12;
	pref->backColor = kBack;
	pref->textColor = kText;
	pref->activeBackColor = kActiveBack;
	pref->activeFrameColor = kActiveFrame;
	pref->activeTextColor = kActiveText;
	TPrefLock lock;
	gPref = pref;
}

void LyricsViewTest::TearDown()
{
	if (fWindow != nullptr)
		windowtest::quit(fWindow);
	fWindow = nullptr;
	fView = nullptr;
	if (fPlayer)
		fPlayer->Quit();
	fPlayer.reset();
	TPrefLock lock;
	delete gPref;
	gPref = nullptr;
}

std::string LyricsViewTest::SongPath(int32 index, const char* extension) const
{
	return fDir.File("song" + std::to_string(index) + "." + extension);
}

void LyricsViewTest::StartPlayer(const std::vector<std::string>& titles)
{
	Playlist playlist;
	for (size_t i = 0; i < titles.size(); i++) {
		PlaylistEntry entry;
		entry.filename = SongPath(static_cast<int32>(i), "mp3");
		entry.title = titles[i];
		entry.length = 600000;
		playlist.AddEntry(entry);
	}
	HostOptions options;
	options.tickInterval = 0;
	options.startPlaying = true;
	fPlayer.reset(new MelodeckPlayer(playlist, options));
	ASSERT_EQ(fPlayer->InitCheck(), B_OK);
}

void LyricsViewTest::WriteLyrics(int32 index, const std::string& text, const char* extension)
{
	// written to a fresh file and renamed over the old one, as editors save
	const std::string path = SongPath(index, extension);
	const std::string scratch = path + ".new";
	{
		std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
		out << text;
	}
	ASSERT_EQ(rename(scratch.c_str(), path.c_str()), 0);
}

void LyricsViewTest::OpenView(int32 width, int32 height)
{
	fWindow = new RecordingWindow(BRect(40, 40, 40 + width - 1, 40 + height - 1));
	fView = new TVersoDView(BRect(0, 0, width - 1, height - 1));
	fWindow->AddChild(fView);
	fWindow->Show();
}

bool LyricsViewTest::WaitFor(const std::function<bool(TVersoDView*)>& done)
{
	return testutil::wait_for([&] { return Locked([&] { return done(fView); }); });
}

bool LyricsViewTest::WaitPolls(int32 count)
{
	const int32 start = Locked([&] { return fView->PollCount(); });
	return WaitFor([&](TVersoDView* view) { return view->PollCount() >= start + count; });
}

std::string LyricsViewTest::Line(int32 index)
{
	return Locked([&] { return fView->DisplayLine(index); });
}

int32 LyricsViewTest::Current()
{
	return Locked([&] { return fView->CurrentLine(); });
}

void LyricsViewTest::ChangePrefs(const std::function<void(TPref&)>& change, uint32 what)
{
	{
		TPrefLock pref;
		change(*pref);
	}
	if (what == 0)
		return;
	fWindow->PostMessage(what, fView);
	// once the message is handled, the update it asked for is queued, so
	// that a picture taken next shows it
	EXPECT_EQ(BPrivate::WindowAccess::Settle(fWindow), B_OK);
}

}
