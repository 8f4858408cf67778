#include <gtest/gtest.h>

#include "TestUtil.h"
#include "plugin/MelodeckFrontEnd.h"

#include <AppDefs.h>
#include <Application.h>
#include <Window.h>

#include <string.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Song {
	std::string filename;
	std::string title;
};

// A player that answers the front-end and playlist messages from a script.
class TScriptedPlayer : public BApplication {
public:
	TScriptedPlayer() : BApplication(kMelodeckSignature) {}

	BHandler* ResolveSpecifier(BMessage*, int32, BMessage*, int32, const char*) override
	{
		return this;
	}

	// The entry index of a playlist request: the specifier added last
	// ("Playlist") is the current one; the entry is the one before it.
	static int32 EntryIndex(BMessage* message)
	{
		BMessage specifier;
		int32 index = -1, form = 0;
		const char* property = nullptr;
		if (message->GetCurrentSpecifier(&index, &specifier, &form, &property) != B_OK
			|| strcmp(property, "Playlist") != 0)
			return -1;
		message->PopSpecifier();
		if (message->GetCurrentSpecifier(&index, &specifier, &form, &property) != B_OK
			|| strcmp(property, "Entry") != 0 || form != B_INDEX_SPECIFIER)
			return -1;
		int32 entry = -1;
		specifier.FindInt32("index", &entry);
		return entry;
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(mutex);
		switch (message->what) {
			case 'MDAm': {
				hellos++;
				BMessage reply('MDAm');
				reply.AddMessenger("Msgr", BMessenger(this));
				message->SendReply(&reply);
				break;
			}
			case 'MDAi': {
				requests++;
				std::vector<uint8> info(infoSize, 0);
				uint32 position = playPosition;
				memcpy(info.data() + 4, &position, 4);
				if (infoSize > 12)
					strncpy(reinterpret_cast<char*>(info.data() + 12), playing.c_str(), infoSize - 12);
				BMessage reply('MDAi');
				reply.AddData("Info", B_STRING_TYPE, info.data(), info.size());
				message->SendReply(&reply);
				break;
			}
			case B_COUNT_PROPERTIES: {
				counts++;
				if (hang) {
					held.push_back(DetachCurrentMessage());
					break;
				}
				BMessage reply(B_REPLY);
				reply.AddInt32("result", (int32)playlist.size());
				message->SendReply(&reply);
				break;
			}
			case B_GET_PROPERTY: {
				gets++;
				const int32 entry = EntryIndex(message);
				BMessage reply(B_REPLY);
				if (entry >= 0 && entry < (int32)playlist.size()) {
					reply.AddString("filename", playlist[entry].filename.c_str());
					reply.AddString("title", playlist[entry].title.c_str());
					reply.AddInt32("time", 1000 * entry);
					if (!dropPlayed)
						reply.AddBool("played", entry == 0);
					reply.AddInt32("nr", entry + 1);
				}
				message->SendReply(&reply);
				break;
			}
			case B_EXECUTE_PROPERTY: {
				executed = EntryIndex(message);
				message->FindBool("Fade", &fade);
				break;
			}
			default:
				BApplication::MessageReceived(message);
		}
	}

	std::mutex mutex;
	std::vector<Song> playlist;
	std::string playing;
	int32 playPosition = 0;
	size_t infoSize = 124;
	bool hang = false;
	bool dropPlayed = false;
	std::vector<BMessage*> held;
	std::atomic<int32> hellos{0}, requests{0}, counts{0}, gets{0}, executed{-1};
	bool fade = false;

	~TScriptedPlayer() override
	{
		for (BMessage* m : held)
			delete m;
	}
};

// Runs a scripted player as the application on a thread of its own.
class PlayerRunner {
public:
	PlayerRunner()
	{
		fThread = spawn_thread(&PlayerRunner::Main, "scripted player", B_NORMAL_PRIORITY, this);
		resume_thread(fThread);
		testutil::wait_for([this] { return fPlayer.load() != nullptr; });
	}
	~PlayerRunner() { Stop(); }

	TScriptedPlayer* operator->() const { return fPlayer; }

	void Stop()
	{
		if (fThread < 0)
			return;
		BMessenger(fPlayer.load()).SendMessage(B_QUIT_REQUESTED);
		status_t result;
		wait_for_thread(fThread, &result);
		fThread = -1;
	}

private:
	static int32 Main(void* data)
	{
		PlayerRunner* self = static_cast<PlayerRunner*>(data);
		TScriptedPlayer* player = new TScriptedPlayer;
		player->playlist = {{"/music/a.mp3", "Alpha"}, {"/music/b.mp3", "Beta"},
			{"/music/b2.mp3", "Beta"}, {"/music/c.mp3", "gamma"}};
		self->fPlayer = player;
		player->Run();
		delete player;
		return 0;
	}

	thread_id fThread = -1;
	std::atomic<TScriptedPlayer*> fPlayer{nullptr};
};

// A front-end client with its thread running, as the lyrics view makes it.
class Client {
public:
	Client() : fClient(false, 100000)
	{
		fClient.fReceiver->SetLaunchPlayer(false);
		fClient.fPriority = B_NORMAL_PRIORITY;
		fClient.fAbortRequested = false;
		fClient.fFinished = false;
		fClient.fThreadID = spawn_thread(&MDThread::MainStarter, "Melo-Deck FrontEnd",
			B_NORMAL_PRIORITY, &fClient);
		resume_thread(fClient.fThreadID);
	}
	Melodeck_FrontEnd* operator->() { return &fClient; }
	Melodeck_FrontEnd* get() { return &fClient; }

	// Requests information until a fresh block has been taken (with the
	// given title, when one is given). One request at a time, each waited
	// for, so that no answer is still on its way when this returns.
	bool Poll(const char* title = nullptr)
	{
		for (int32 attempt = 0; attempt < 20; attempt++) {
			fClient.SendInfoRequest();
			if (testutil::wait_for([this] { return fClient.TakeInfo(); }, 500000)
				&& (title == nullptr || fClient.Title() == title))
				return true;
		}
		return false;
	}

private:
	Melodeck_FrontEnd fClient;
};

}

TEST(FrontEnd, GreetsThePlayerAndTakesInformationBlocks)
{
	PlayerRunner player;
	{
		std::lock_guard<std::mutex> lock(player->mutex);
		player->playing = "Beta";
		player->playPosition = 61234;
	}
	Client client;
	EXPECT_TRUE(testutil::wait_for([&] { return client->fReceiver->IsConnected(); }));
	ASSERT_TRUE(client.Poll());
	EXPECT_EQ(client->PlayPosition(), 61234);
	EXPECT_EQ(client->Title(), "Beta");
	// a block is taken once
	EXPECT_FALSE(client->TakeInfo());
}

TEST(FrontEnd, BlockSizes)
{
	PlayerRunner player;
	Client client;
	{
		std::lock_guard<std::mutex> lock(player->mutex);
		player->playing = "Alpha";
		player->playPosition = 5;
	}
	ASSERT_TRUE(client.Poll());
	EXPECT_EQ(client->Title(), "Alpha");

	{
		// 123 bytes: ignored, the old block stays
		std::lock_guard<std::mutex> lock(player->mutex);
		player->infoSize = 123;
		player->playing = "Short";
	}
	int32 before = player->requests;
	client->SendInfoRequest();
	EXPECT_TRUE(testutil::wait_for([&] { return player->requests > before; }));
	// The answer is on its way once the player has handled a later message,
	// and has reached the receiver once the receiver has handled one.
	BMessage reply;
	ASSERT_EQ(BMessenger(player.operator->()).SendMessage('sync', &reply), B_OK);
	ASSERT_EQ(BMessenger(client->fReceiver).SendMessage('sync', &reply), B_OK);
	EXPECT_FALSE(client->TakeInfo());
	EXPECT_EQ(client->Title(), "Alpha");

	{
		// longer: only the first 124 bytes count, and a title that fills all
		// 112 bytes without a NUL is read up to the block's end
		std::lock_guard<std::mutex> lock(player->mutex);
		player->infoSize = 200;
		player->playing = std::string(150, 'x');
	}
	ASSERT_TRUE(client.Poll());
	EXPECT_EQ(client->Title(), std::string(112, 'x'));
}

TEST(FrontEnd, FindsTheCurrentSongByExactTitle)
{
	PlayerRunner player;
	Client client;
	{
		std::lock_guard<std::mutex> lock(player->mutex);
		player->playing = "Beta";
	}
	ASSERT_TRUE(client.Poll());
	EXPECT_EQ(client->CountEntries(), 4);

	MelodeckSongEntry entry;
	ASSERT_TRUE(get_current_song_entry(client.get(), &entry));
	EXPECT_STREQ(entry.filename, "/music/b.mp3");  // the first of two equal titles
	EXPECT_STREQ(entry.title, "Beta");
	EXPECT_EQ(entry.nr, 2);
	EXPECT_FALSE(entry.played);

	// letter case matters; no match leaves the entry untouched
	{
		std::lock_guard<std::mutex> lock(player->mutex);
		player->playing = "Gamma";
	}
	ASSERT_TRUE(client.Poll("Gamma"));
	EXPECT_FALSE(get_current_song_entry(client.get(), &entry));
	EXPECT_STREQ(entry.filename, "/music/b.mp3");

	// an empty playlist asks for no entry
	{
		std::lock_guard<std::mutex> lock(player->mutex);
		player->playlist.clear();
	}
	const int32 gets = player->gets;
	EXPECT_FALSE(get_current_song_entry(client.get(), &entry));
	EXPECT_EQ(player->gets, gets);
}

TEST(FrontEnd, IncompleteEntriesAreRejected)
{
	PlayerRunner player;
	Client client;
	{
		std::lock_guard<std::mutex> lock(player->mutex);
		player->dropPlayed = true;
	}
	MelodeckSongEntry entry;
	entry.SetStrings("/keep", "Keep");
	EXPECT_FALSE(client->GetEntry(&entry, 0));
	EXPECT_STREQ(entry.filename, "/keep");
	EXPECT_FALSE(client->GetEntry(&entry, 99));
}

TEST(FrontEnd, PlaysAnEntry)
{
	PlayerRunner player;
	Client client;
	client->PlayThis(2, true);
	EXPECT_TRUE(testutil::wait_for([&] { return player->executed == 2; }));
	std::lock_guard<std::mutex> lock(player->mutex);
	EXPECT_TRUE(player->fade);
}

TEST(FrontEnd, AHungPlayerTimesOut)
{
	PlayerRunner player;
	Client client;
	{
		std::lock_guard<std::mutex> lock(player->mutex);
		player->hang = true;
	}
	const bigtime_t start = system_time();
	EXPECT_EQ(client->CountEntries(), -1);
	const bigtime_t waited = system_time() - start;
	EXPECT_GE(waited, kMelodeckReplyTimeout - 100000);
	EXPECT_LT(waited, kMelodeckReplyTimeout + 3000000);
}

TEST(FrontEnd, ReconnectsAfterThePlayerComesBack)
{
	Client client;
	{
		PlayerRunner first;
		{
			std::lock_guard<std::mutex> lock(first->mutex);
			first->playing = "Alpha";
		}
		ASSERT_TRUE(client.Poll());
		EXPECT_EQ(client->Title(), "Alpha");
	}
	// no player: requests are dropped
	client->SendInfoRequest();
	EXPECT_FALSE(client->fReceiver->PlayerWasRunning());

	PlayerRunner second;
	{
		std::lock_guard<std::mutex> lock(second->mutex);
		second->playing = "Beta";
	}
	ASSERT_TRUE(client.Poll("Beta"));
	EXPECT_GE(second->hellos, 1);
}

TEST(FrontEnd, NoPlayerMeansNoConnection)
{
	Client client;
	client->SendInfoRequest();
	EXPECT_FALSE(client->fReceiver->IsConnected());
	EXPECT_FALSE(client->TakeInfo());
	EXPECT_EQ(client->CountEntries(), -1);
}

TEST(PlayerWindow, FoundByItsTitlePrefixWithItsFrame)
{
	PlayerRunner player;
	BWindow* found = nullptr;
	BRect frame;
	EXPECT_EQ(get_melodeck_window(&found), -1);
	EXPECT_EQ(get_melodeck_win_frame(&frame), -1);

	BWindow* other = new BWindow(BRect(0, 0, 49, 49), "Melody", B_TITLED_WINDOW, 0);
	BWindow* deck = new BWindow(BRect(30, 40, 429, 169), "Melo-Deck - Alpha",
		B_TITLED_WINDOW, 0);
	other->Unlock();
	deck->Unlock();
	EXPECT_EQ(get_melodeck_window(&found), 0);
	EXPECT_EQ(found, deck);
	EXPECT_EQ(get_melodeck_win_frame(&frame), 0);
	EXPECT_EQ(frame, BRect(30, 40, 429, 169));
	deck->Lock();
	deck->Quit();
	other->Lock();
	other->Quit();
	EXPECT_EQ(get_melodeck_window(&found), -1);
}
