// Melodeck's playback on a private session bus, driven as desktop tools
// drive it: playerctl, and plain D-Bus calls.
#include <gtest/gtest.h>

#include "DBusTestUtil.h"
#include "TestUtil.h"
#include "MelodeckPlayer.h"
#include "MprisServer.h"

#include <gio/gio.h>

#include <string>
#include <vector>

namespace {

const char* const kName = "org.mpris.MediaPlayer2.melodeck";
const char* const kPlayer = "org.mpris.MediaPlayer2.Player";

Playlist three_songs()
{
	Playlist playlist;
	const char* titles[] = {"Morning Tide", "Salt Road", "Lantern Row"};
	for (int i = 0; i < 3; i++) {
		PlaylistEntry entry;
		entry.filename = std::string("/music/") + titles[i] + ".flac";
		entry.title = titles[i];
		entry.length = 120000;
		entry.lengthKnown = true;
		playlist.AddEntry(entry);
	}
	return playlist;
}

std::string playerctl(const std::vector<std::string>& args)
{
	std::vector<std::string> argv = {"playerctl", "--player=melodeck"};
	argv.insert(argv.end(), args.begin(), args.end());
	std::string output;
	if (!dbustest::run(argv, &output))
		return "(failed)";
	while (!output.empty() && (output.back() == '\n' || output.back() == ' '))
		output.pop_back();
	return output;
}

// Signals from the player, as the test's connection receives them.
struct SignalLog {
	std::vector<std::string> names;      // "Seeked", or the properties changed
	std::vector<gint64> seeked;

	static void Received(GDBusConnection*, const gchar*, const gchar*, const gchar*,
		const gchar* signal, GVariant* parameters, gpointer data)
	{
		SignalLog* log = static_cast<SignalLog*>(data);
		if (strcmp(signal, "Seeked") == 0) {
			gint64 position = 0;
			g_variant_get(parameters, "(x)", &position);
			log->names.push_back("Seeked");
			log->seeked.push_back(position);
			return;
		}
		GVariant* changed = g_variant_get_child_value(parameters, 1);
		GVariantIter iter;
		g_variant_iter_init(&iter, changed);
		const gchar* key = NULL;
		GVariant* value = NULL;
		while (g_variant_iter_loop(&iter, "{&sv}", &key, &value))
			log->names.push_back(key);
		g_variant_unref(changed);
	}

	bool Has(const std::string& name) const
	{
		return std::find(names.begin(), names.end(), name) != names.end();
	}
};

// Waits for `done`, letting the test's connection deliver its signals.
bool wait_with_signals(const std::function<bool()>& done, bigtime_t timeout = 5000000)
{
	return testutil::wait_for([&] {
		while (g_main_context_iteration(NULL, FALSE)) {
		}
		return done();
	}, timeout);
}

}

TEST(MelodeckMpris, PlayerctlPlaysPausesSeeksAndSkips)
{
	dbustest::PrivateBus bus;
	ASSERT_TRUE(bus.IsRunning()) << "dbus-daemon is needed (scripts/setup installs it)";
	SignalLog log;
	g_dbus_connection_signal_subscribe(bus.Connection(), NULL, NULL, NULL,
		"/org/mpris/MediaPlayer2", NULL, G_DBUS_SIGNAL_FLAGS_NONE, &SignalLog::Received,
		&log, NULL);

	HostOptions options;
	options.startPlaying = false;
	options.tickInterval = 0;
	options.mprisServer = true;
	MelodeckPlayer player(three_songs(), options);
	ASSERT_EQ(player.InitCheck(), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return bus.HasOwner(kName); }));

	EXPECT_EQ(playerctl({"status"}), "Paused");
	EXPECT_EQ(playerctl({"metadata", "title"}), "Morning Tide");
	EXPECT_EQ(playerctl({"metadata", "xesam:url"}), "file:///music/Morning%20Tide.flac");
	EXPECT_EQ(playerctl({"metadata", "mpris:length"}), "120000000");

	// the call returns once the player has done it
	EXPECT_EQ(playerctl({"play"}), "");
	EXPECT_TRUE(player.IsPlaying());
	EXPECT_TRUE(wait_with_signals([&] { return log.Has("PlaybackStatus"); }));
	EXPECT_EQ(playerctl({"status"}), "Playing");
	EXPECT_EQ(playerctl({"pause"}), "");
	EXPECT_FALSE(player.IsPlaying());
	EXPECT_EQ(playerctl({"play-pause"}), "");
	EXPECT_TRUE(player.IsPlaying());
	EXPECT_EQ(playerctl({"play-pause"}), "");
	EXPECT_FALSE(player.IsPlaying());

	// seeking: to a place, by an offset (the clock stands still)
	EXPECT_EQ(playerctl({"position", "30"}), "");
	EXPECT_EQ(player.Position(), 30000);
	EXPECT_EQ(playerctl({"position", "10+"}), "");
	EXPECT_EQ(player.Position(), 40000);
	EXPECT_EQ(playerctl({"position"}), "40.000000");
	EXPECT_TRUE(wait_with_signals([&] {
		return !log.seeked.empty() && log.seeked.back() == 40000000; }));
	// a position for a track that is not playing is ignored
	GVariant* reply = bus.Call(kName, kPlayer, "SetPosition",
		g_variant_new("(ox)", MprisServer::TrackId(3).c_str(), (gint64)5000000));
	ASSERT_NE(reply, nullptr);
	g_variant_unref(reply);
	EXPECT_EQ(player.Position(), 40000);
	// and one outside the track too
	reply = bus.Call(kName, kPlayer, "SetPosition",
		g_variant_new("(ox)", MprisServer::TrackId(1).c_str(), (gint64)-5000000));
	ASSERT_NE(reply, nullptr);
	g_variant_unref(reply);
	EXPECT_EQ(player.Position(), 40000);

	// next and previous
	log.names.clear();
	EXPECT_EQ(playerctl({"next"}), "");
	EXPECT_EQ(player.CurrentIndex(), 1);
	EXPECT_TRUE(wait_with_signals([&] { return log.Has("Metadata"); }));
	EXPECT_EQ(playerctl({"metadata", "title"}), "Salt Road");
	EXPECT_EQ(playerctl({"previous"}), "");
	EXPECT_EQ(player.CurrentIndex(), 0);

	// stop: paused at the start
	EXPECT_EQ(playerctl({"play"}), "");
	EXPECT_EQ(playerctl({"stop"}), "");
	EXPECT_FALSE(player.IsPlaying());
	EXPECT_EQ(player.Position(), 0);

	EXPECT_EQ(player.Quit(), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] { return !bus.HasOwner(kName); }));
}
