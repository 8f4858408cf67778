// The lyrics view in a window beside the substitute player, which runs
// in-process on its manual clock. Songs live in a temporary folder, so that
// their lyrics files can be written, rewritten and removed while they play.
#ifndef TESTS_LYRICSVIEW_VIEW_HARNESS_H
#define TESTS_LYRICSVIEW_VIEW_HARNESS_H

#include <gtest/gtest.h>

#include "MelodeckPlayer.h"
#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "lyrics/TVersoDView.h"
#include "prefs/PrefStore.h"

#include <Autolock.h>
#include <Window.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lyricsview {

const rgb_color kBack = {255, 255, 255, 255};
const rgb_color kText = {0, 0, 0, 255};
const rgb_color kActiveBack = {200, 0, 0, 255};
const rgb_color kActiveFrame = {0, 160, 0, 255};
const rgb_color kActiveText = {0, 0, 230, 255};

// A window that notes the messages it receives itself (not those for its
// views).
class RecordingWindow : public BWindow {
public:
	RecordingWindow(BRect frame);
	void MessageReceived(BMessage* message) override;
	std::vector<uint32> Received();
private:
	std::vector<uint32> fReceived;
};

class LyricsViewTest : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	// The songs' titles; song i is <folder>/song<i>.mp3.
	void StartPlayer(const std::vector<std::string>& titles);
	std::string SongPath(int32 index, const char* extension) const;
	// Writes the lyrics file of song `index` ("txt" or "lrc").
	void WriteLyrics(int32 index, const std::string& text, const char* extension = "txt");

	// A window of `width` × `height` pixels holding the view.
	void OpenView(int32 width = 400, int32 height = 120);

	// Runs `f` with the window locked.
	template<typename F>
	auto Locked(F f)
	{
		BAutolock lock(fWindow);
		return f();
	}
	bool WaitFor(const std::function<bool(TVersoDView*)>& done);
	// Waits until `count` more polls have run; a position or song set
	// before is then known to the view (the answer to one poll's request is
	// taken by the next).
	bool WaitPolls(int32 count = 3);
	std::string Line(int32 index);
	int32 Current();

	// Sets preferences under the lock, then tells the view (`what` 0: no
	// message).
	void ChangePrefs(const std::function<void(TPref&)>& change, uint32 what);

	testutil::TempDir fDir;
	std::unique_ptr<MelodeckPlayer> fPlayer;
	RecordingWindow* fWindow = nullptr;
	TVersoDView* fView = nullptr;
};

}

#endif
