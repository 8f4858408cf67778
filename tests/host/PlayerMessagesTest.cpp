// The player's answers, as the displayer's own front-end client sees them,
// and its control messages.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "HostProtocol.h"
#include "InfoBlock.h"
#include "MelodeckPlayer.h"
#include "plugin/MelodeckFrontEnd.h"

#include <AppDefs.h>
#include <Looper.h>

#include <string.h>

#include <mutex>
#include <vector>

namespace {

// 38 three-byte characters: 114 bytes, more than the block's 111
const std::string kLongTitle = [] {
	std::string title;
	for (int i = 0; i < 38; i++)
		title += "歌";
	return title;
}();

Playlist test_playlist()
{
	Playlist playlist;
	const char* titles[] = {"Alpha", "Beta", nullptr};
	for (int i = 0; i < 3; i++) {
		PlaylistEntry entry;
		entry.title = titles[i] != nullptr ? titles[i] : kLongTitle;
		entry.filename = "/music/" + std::to_string(i) + ".mp3";
		entry.length = 10000 * (i + 1);
		playlist.AddEntry(entry);
	}
	return playlist;
}

// No timers: nothing happens unless the test makes it happen.
HostOptions quiet_options()
{
	HostOptions options;
	options.tickInterval = 0;
	return options;
}

int32 int32_of(const BMessage& message, const char* name, int32 otherwise)
{
	int32 value = otherwise;
	message.FindInt32(name, &value);
	return value;
}

const char* string_of(const BMessage& message, const char* name, const char* otherwise = "")
{
	const char* value = otherwise;
	message.FindString(name, &value);
	return value;
}

bool bool_of(const BMessage& message, const char* name)
{
	bool value = false;
	message.FindBool(name, &value);
	return value;
}

int32 get_int32_le(const uint8* at)
{
	return (int32)(uint32(at[0]) | uint32(at[1]) << 8 | uint32(at[2]) << 16
		| uint32(at[3]) << 24);
}

// The displayer's client with its thread running, as the lyrics view runs it.
class Client {
public:
	Client() : fClient(false, 100000)
	{
		fClient.fReceiver->SetLaunchPlayer(false);
		fClient.fAbortRequested = false;
		fClient.fFinished = false;
		fClient.fThreadID = spawn_thread(&MDThread::MainStarter, "Melo-Deck FrontEnd",
			B_NORMAL_PRIORITY, &fClient);
		resume_thread(fClient.fThreadID);
	}
	Melodeck_FrontEnd* operator->() { return &fClient; }
	Melodeck_FrontEnd* get() { return &fClient; }

	// Asks until a block that satisfies `done` has been taken.
	bool Poll(const std::function<bool()>& done)
	{
		return testutil::wait_for([&] {
			fClient.SendInfoRequest();
			return fClient.TakeInfo() && done();
		});
	}

private:
	Melodeck_FrontEnd fClient;
};

// Collects what the player reports to its watchers.
class Recorder : public BLooper {
public:
	Recorder() : BLooper("recorder") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kMelodeckStateChanged) {
			BLooper::MessageReceived(message);
			return;
		}
		std::lock_guard<std::mutex> lock(fLock);
		fReports.push_back(*message);
	}

	// Waits for a report with all of `change`'s bits.
	bool WaitFor(int32 change, BMessage* report)
	{
		return testutil::wait_for([&] {
			std::lock_guard<std::mutex> lock(fLock);
			for (size_t i = 0; i < fReports.size(); i++) {
				int32 bits = 0;
				fReports[i].FindInt32(MELODECK_FIELD_CHANGE, &bits);
				if ((bits & change) == change) {
					*report = fReports[i];
					fReports.erase(fReports.begin(), fReports.begin() + i + 1);
					return true;
				}
			}
			return false;
		});
	}

private:
	std::mutex fLock;
	std::vector<BMessage> fReports;
};

}

TEST(PlayerMessages, GreetingAndInformationBlock)
{
	MelodeckPlayer player(test_playlist(), quiet_options());
	ASSERT_EQ(player.InitCheck(), B_OK);

	Client client;
	ASSERT_TRUE(testutil::wait_for([&] { return client->fReceiver->IsConnected(); }));
	ASSERT_TRUE(client.Poll([&] { return client->Title() == "Alpha"; }));
	EXPECT_EQ(client->PlayPosition(), 0);

	ASSERT_EQ(player.Advance(1234), B_OK);
	ASSERT_TRUE(client.Poll([&] { return client->PlayPosition() == 1234; }));

	// the block itself, byte for byte, from the front-end messenger
	BMessage hello('MDAm'), greeting;
	ASSERT_EQ(player.Messenger().SendMessage(&hello, &greeting), B_OK);
	BMessenger front;
	ASSERT_EQ(greeting.FindMessenger("Msgr", &front), B_OK);
	ASSERT_EQ(player.Select(2), B_OK);
	ASSERT_EQ(player.Advance(25432), B_OK);
	BMessage request('MDAi'), info;
	ASSERT_EQ(front.SendMessage(&request, &info), B_OK);
	EXPECT_EQ(info.what, (uint32)'MDAi');
	const void* data = nullptr;
	ssize_t size = 0;
	ASSERT_EQ(info.FindData("Info", B_STRING_TYPE, &data, &size), B_OK);
	ASSERT_EQ(size, 124);
	const uint8* block = static_cast<const uint8*>(data);
	EXPECT_EQ(get_int32_le(block), 3);            // the entry's number
	EXPECT_EQ(get_int32_le(block + 4), 25432);    // the position
	EXPECT_EQ(get_int32_le(block + 8), 30000);    // the length
	// the title is cut before the character that would not fit whole
	const std::string title(reinterpret_cast<const char*>(block + 12));
	EXPECT_EQ(title, kLongTitle.substr(0, 37 * 3));
	EXPECT_EQ(block[123], 0);

	// the client reads the same title
	ASSERT_TRUE(client.Poll([&] { return client->PlayPosition() == 25432; }));
	EXPECT_EQ(client->Title(), kLongTitle.substr(0, 111));
}

TEST(PlayerMessages, InfoBlockLayout)
{
	uint8 block[kInfoBlockSize];
	memset(block, 0xee, sizeof(block));
	make_info_block(block, 7, -5, 0x01020304, "ab\xc3\xa9");
	EXPECT_EQ(get_int32_le(block), 7);
	EXPECT_EQ(get_int32_le(block + 4), -5);
	EXPECT_EQ(block[8], 0x04);
	EXPECT_EQ(block[11], 0x01);
	EXPECT_STREQ(reinterpret_cast<const char*>(block + 12), "ab\xc3\xa9");
	for (size_t i = 16; i < kInfoBlockSize; i++)
		ASSERT_EQ(block[i], 0) << i;

	// 110 ASCII bytes and a two-byte character: the character goes whole
	const std::string title = std::string(110, 'x') + "\xc3\xa9";
	EXPECT_EQ(utf8_fitting_length(title.c_str(), title.size(), 111), 110u);
	EXPECT_EQ(utf8_fitting_length(title.c_str(), title.size(), 112), 112u);
	EXPECT_EQ(utf8_fitting_length("short", 5, 111), 5u);
}

TEST(PlayerMessages, PlaylistScripting)
{
	MelodeckPlayer player(test_playlist(), quiet_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	Client client;

	EXPECT_EQ(client->CountEntries(), 3);

	MelodeckSongEntry entry;
	ASSERT_TRUE(client->GetEntry(&entry, 1));
	EXPECT_STREQ(entry.filename, "/music/1.mp3");
	EXPECT_STREQ(entry.title, "Beta");
	EXPECT_EQ(entry.time, 20000);
	EXPECT_EQ(entry.nr, 2);
	EXPECT_FALSE(entry.played);
	ASSERT_TRUE(client->GetEntry(&entry, 0));
	EXPECT_TRUE(entry.played);   // playing since the start

	// out of range: no entry, and the old one untouched
	EXPECT_FALSE(client->GetEntry(&entry, 3));
	EXPECT_FALSE(client->GetEntry(&entry, -1));
	EXPECT_STREQ(entry.title, "Alpha");
	BMessage get(B_GET_PROPERTY), reply;
	get.AddSpecifier("Entry", 3);
	get.AddSpecifier("Playlist");
	ASSERT_EQ(player.Messenger().SendMessage(&get, &reply), B_OK);
	EXPECT_EQ(reply.what, (uint32)B_MESSAGE_NOT_UNDERSTOOD);
	int32 error = B_OK;
	EXPECT_EQ(reply.FindInt32("error", &error), B_OK);
	EXPECT_EQ(error, B_BAD_INDEX);

	// a reverse index counts from the last entry
	BMessage lastEntry(B_GET_PROPERTY);
	BMessage specifier(B_REVERSE_INDEX_SPECIFIER);
	specifier.AddString("property", "Entry");
	specifier.AddInt32("index", 0);
	lastEntry.AddSpecifier(&specifier);
	lastEntry.AddSpecifier("Playlist");
	ASSERT_EQ(player.Messenger().SendMessage(&lastEntry, &reply), B_OK);
	EXPECT_EQ(int32_of(reply, "nr", 0), 3);

	// what the playlist does not have is not understood
	BMessage volume(B_GET_PROPERTY);
	volume.AddSpecifier("Volume");
	volume.AddSpecifier("Playlist");
	ASSERT_EQ(player.Messenger().SendMessage(&volume, &reply), B_OK);
	EXPECT_EQ(reply.what, (uint32)B_MESSAGE_NOT_UNDERSTOOD);

	BMessage suites(B_GET_SUPPORTED_SUITES);
	suites.AddSpecifier("Playlist");
	ASSERT_EQ(player.Messenger().SendMessage(&suites, &reply), B_OK);
	EXPECT_STREQ(string_of(reply, "suites"), "suite/vnd.Orlund-Melodeck-playlist");

	// 'PEXE' plays that entry; the lyrics view then finds it by its title
	client->PlayThis(1, true);
	ASSERT_TRUE(testutil::wait_for([&] { return player.CurrentIndex() == 1; }));
	EXPECT_TRUE(player.IsPlaying());
	ASSERT_TRUE(client.Poll([&] { return client->Title() == "Beta"; }));
	MelodeckSongEntry current;
	ASSERT_TRUE(get_current_song_entry(client.get(), &current));
	EXPECT_EQ(current.nr, 2);
	EXPECT_TRUE(current.played);
}

TEST(PlayerMessages, ControlMessagesAndWatchers)
{
	HostOptions options = quiet_options();
	options.startPlaying = false;
	MelodeckPlayer player(test_playlist(), options);
	ASSERT_EQ(player.InitCheck(), B_OK);
	EXPECT_FALSE(player.IsPlaying());

	Recorder* recorder = new Recorder;
	recorder->Run();
	BMessage watch(kMelodeckStartWatching), reply;
	watch.AddMessenger("target", BMessenger(recorder));
	ASSERT_EQ(player.Messenger().SendMessage(&watch, &reply), B_OK);
	EXPECT_EQ(int32_of(reply, "error", B_ERROR), B_OK);

	BMessage report;
	ASSERT_EQ(player.Play(), B_OK);
	ASSERT_TRUE(recorder->WaitFor(kMelodeckPlayStateChanged, &report));
	EXPECT_TRUE(bool_of(report, MELODECK_FIELD_PLAYING));

	// the clock runs out the first entry: the watcher hears of the second
	ASSERT_EQ(player.Advance(10500), B_OK);
	ASSERT_TRUE(recorder->WaitFor(kMelodeckEntryChanged, &report));
	EXPECT_EQ(int32_of(report, MELODECK_FIELD_INDEX, -1), 1);
	EXPECT_STREQ(string_of(report, MELODECK_FIELD_TITLE, ""), "Beta");
	EXPECT_EQ(int32_of(report, MELODECK_FIELD_POSITION, -1), 500);
	EXPECT_EQ(int32_of(report, MELODECK_FIELD_COUNT, -1), 3);

	ASSERT_EQ(player.SetPosition(15000), B_OK);
	ASSERT_TRUE(recorder->WaitFor(kMelodeckPositionChanged, &report));
	EXPECT_EQ(player.Position(), 15000);
	ASSERT_EQ(player.Pause(), B_OK);
	ASSERT_EQ(player.Advance(5000), B_OK);
	EXPECT_EQ(player.Position(), 15000);
	ASSERT_EQ(player.Next(), B_OK);
	EXPECT_EQ(player.CurrentIndex(), 2);
	ASSERT_EQ(player.Previous(), B_OK);
	EXPECT_EQ(player.Title(), "Beta");
	ASSERT_EQ(player.TogglePlay(), B_OK);
	EXPECT_TRUE(player.IsPlaying());

	// bad requests are refused with the reason
	EXPECT_EQ(player.Select(9), B_BAD_INDEX);
	EXPECT_EQ(player.Advance(-1), B_BAD_VALUE);
	BMessage seek(kMelodeckSeek);
	ASSERT_EQ(player.Messenger().SendMessage(&seek, &reply), B_OK);
	EXPECT_NE(int32_of(reply, "error", B_OK), B_OK);

	// a watcher that goes away is forgotten without trouble
	recorder->Lock();
	recorder->Quit();
	EXPECT_EQ(player.Next(), B_OK);
	EXPECT_EQ(player.CurrentIndex(), 2);
	EXPECT_EQ(player.Quit(), B_OK);
}
