// The player's sound on its own: two files in a row through libmpv's
// silent output, which keeps time as a sound card does.
#include <gtest/gtest.h>

#include "AudioPlayer.h"
#include "AudioTestUtil.h"
#include "TestUtil.h"

#include <OS.h>

TEST(AudioPlayer, TheNextFileFollowsWithoutAGapOnceTheFirstIsHeard)
{
	testutil::TempDir folder;
	const std::string first = folder.File("first.wav");
	const std::string second = folder.File("second.wav");
	ASSERT_TRUE(audiotest::write_wav_tone(first, 1500, 330));
	ASSERT_TRUE(audiotest::write_wav_tone(second, 1000, 440));

	// nobody listens to its news here; the status is read directly
	AudioPlayer audio("null", BMessenger(), 'news');
	ASSERT_EQ(audio.InitCheck(), B_OK) << audio.Error();

	ASSERT_EQ(audio.Load(7, first, 0, false), B_OK);
	ASSERT_EQ(audio.Queue(8, second), B_OK);
	AudioPlayer::Status status = audio.GetStatus();
	EXPECT_EQ(status.index, 7);
	EXPECT_TRUE(status.playing);
	ASSERT_TRUE(testutil::wait_for([&] { return audio.CurrentOutput() == "null"; }));

	// Follow the status: the first file is reported up to its end, the
	// second one from its start, and the positions add up to the real time
	// that has passed since the first was heard (libmpv takes a while to
	// start, longer on a loaded machine): no gap, and no overlap.
	bigtime_t lastFirst = 0;
	bigtime_t start = 0;
	bigtime_t switchedAt = 0;
	ASSERT_TRUE(testutil::wait_for([&] {
		status = audio.GetStatus();
		if (status.index == 7) {
			lastFirst = status.position;
			if (start == 0 && status.position > 0)
				start = system_time() - status.position;
		} else if (status.index == 8 && switchedAt == 0)
			switchedAt = system_time();
		return status.finished;
	}));
	const bigtime_t end = system_time();
	EXPECT_EQ(status.index, 8);
	EXPECT_FALSE(status.playing);
	EXPECT_EQ(status.position, 1000000);
	EXPECT_GT(lastFirst, 1500000 - 150000);
	ASSERT_GT(start, 0);
	ASSERT_GT(switchedAt, 0);
	EXPECT_NEAR((double)(switchedAt - start), 1500000.0, 250000.0);
	EXPECT_NEAR((double)(end - start), 2500000.0, 300000.0);
	EXPECT_TRUE(audio.TakeFailures().empty());

	// once finished, a seek is refused (the file must be loaded again)
	EXPECT_EQ(audio.Seek(8, 100), B_NOT_ALLOWED);
	audio.Stop();
	EXPECT_EQ(audio.GetStatus().index, -1);
}

TEST(AudioPlayer, AFileThatFailsIsReportedAndTheQueuedOneStarts)
{
	testutil::TempDir folder;
	const std::string bad = folder.Write("bad.mp3", "no sound here\n");
	const std::string good = folder.File("good.wav");
	ASSERT_TRUE(audiotest::write_wav_tone(good, 800));

	AudioPlayer audio("null", BMessenger(), 'news');
	ASSERT_EQ(audio.InitCheck(), B_OK) << audio.Error();
	ASSERT_EQ(audio.Load(0, bad, 0, false), B_OK);
	ASSERT_EQ(audio.Queue(1, good), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] {
		const AudioPlayer::Status status = audio.GetStatus();
		return status.index == 1 && status.position > 0;
	}));
	const std::vector<AudioPlayer::Failure> failures = audio.TakeFailures();
	ASSERT_EQ(failures.size(), 1u);
	EXPECT_EQ(failures[0].index, 0);
	EXPECT_FALSE(failures[0].reason.empty());
	// taken once
	EXPECT_TRUE(audio.TakeFailures().empty());
}
