// The follower against players that misbehave: a made-up MPRIS player on a
// private session bus reports nonsense, changes its name and goes away;
// and no session bus at all.
#include <gtest/gtest.h>

#include "DBusTestUtil.h"
#include "TestUtil.h"
#include "MelodeckPlayer.h"
#include "MprisFollower.h"

#include <OS.h>

#include <gio/gio.h>

#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <future>
#include <thread>

namespace {

const char* const kFakeName = "org.mpris.MediaPlayer2.fake";

const char* const kFakeInterfaces =
	"<node>"
	" <interface name='org.mpris.MediaPlayer2'>"
	"  <property name='HasTrackList' type='b' access='read'/>"
	" </interface>"
	" <interface name='org.mpris.MediaPlayer2.Player'>"
	"  <property name='PlaybackStatus' type='s' access='read'/>"
	"  <property name='Rate' type='d' access='read'/>"
	"  <property name='Metadata' type='a{sv}' access='read'/>"
	"  <property name='Position' type='x' access='read'/>"
	" </interface>"
	"</node>";

// A player that answers whatever the test tells it to, on a thread and
// connection of its own. Its position is 0 unless the test sets one; a set
// position runs on with the clock, and every other reading of it comes
// 0.1 s behind, like a late answer.
class FakePlayer {
public:
	FakePlayer(const std::string& address)
		:
		fContext(g_main_context_new()),
		fLoop(g_main_loop_new(fContext, FALSE))
	{
		std::promise<void> ready;
		fThread = std::thread([&] {
			g_main_context_push_thread_default(fContext);
			fConnection = g_dbus_connection_new_for_address_sync(address.c_str(),
				(GDBusConnectionFlags)(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
					| G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION), NULL, NULL, NULL);
			if (fConnection != NULL) {
				GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kFakeInterfaces, NULL);
				static const GDBusInterfaceVTable vtable = {NULL, &FakePlayer::_Get, NULL, {0}};
				for (int i = 0; i < 2; i++)
					g_dbus_connection_register_object(fConnection, "/org/mpris/MediaPlayer2",
						node->interfaces[i], &vtable, this, NULL, NULL);
				g_dbus_node_info_unref(node);
			}
			ready.set_value();
			g_main_loop_run(fLoop);
			if (fConnection != NULL) {
				g_dbus_connection_close_sync(fConnection, NULL, NULL);
				g_object_unref(fConnection);
			}
			g_main_context_pop_thread_default(fContext);
		});
		ready.get_future().wait();
	}

	~FakePlayer()
	{
		Do([this] { g_main_loop_quit(fLoop); });
		fThread.join();
		g_main_loop_unref(fLoop);
		g_main_context_unref(fContext);
	}

	// Runs `work` on the player's thread and waits for it.
	void Do(const std::function<void()>& work)
	{
		std::promise<void> done;
		struct Job {
			const std::function<void()>* work;
			std::promise<void>* done;
		} job = {&work, &done};
		GSource* source = g_idle_source_new();
		g_source_set_callback(source, [](void* data) -> gboolean {
			Job* job = static_cast<Job*>(data);
			(*job->work)();
			job->done->set_value();
			return G_SOURCE_REMOVE;
		}, &job, NULL);
		g_source_attach(source, fContext);
		g_source_unref(source);
		done.get_future().wait();
	}

	// Takes `name` on the bus, giving up the one held before (if any).
	void Own(const std::string& name)
	{
		Do([&] {
			if (fOwner != 0)
				g_bus_unown_name(fOwner);
			fOwner = name.empty() ? 0 : g_bus_own_name_on_connection(fConnection,
				name.c_str(), G_BUS_NAME_OWNER_FLAGS_NONE, NULL, NULL, NULL, NULL);
		});
	}

	// Sets the metadata (a floating a{sv}) and says so on the bus.
	void SetMetadata(GVariant* metadata)
	{
		Do([&] {
			if (fMetadata != NULL)
				g_variant_unref(fMetadata);
			fMetadata = g_variant_ref_sink(metadata);
			GVariantBuilder changed;
			g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
			g_variant_builder_add(&changed, "{sv}", "Metadata", fMetadata);
			g_dbus_connection_emit_signal(fConnection, NULL, "/org/mpris/MediaPlayer2",
				"org.freedesktop.DBus.Properties", "PropertiesChanged",
				g_variant_new("(sa{sv}as)", "org.mpris.MediaPlayer2.Player", &changed, NULL),
				NULL);
		});
	}

	GDBusConnection* Connection() const { return fConnection; }

	void SetPosition(int64 microseconds)
	{
		fPosition = microseconds;
		fPositionSet = g_get_monotonic_time();
	}
	int Readings() const { return fReadings; }

private:
	static GVariant* _Get(GDBusConnection*, const gchar*, const gchar*, const gchar*,
		const gchar* name, GError**, gpointer data)
	{
		FakePlayer* self = static_cast<FakePlayer*>(data);
		if (strcmp(name, "HasTrackList") == 0)
			return g_variant_new_boolean(FALSE);
		if (strcmp(name, "PlaybackStatus") == 0)
			return g_variant_new_string("Playing");
		if (strcmp(name, "Rate") == 0)
			return g_variant_new_double(0.0);   // no rate to run by
		if (strcmp(name, "Position") == 0) {
			const int reading = self->fReadings++;
			if (self->fPositionSet == 0)
				return g_variant_new_int64(0);      // whatever plays
			return g_variant_new_int64(self->fPosition + g_get_monotonic_time()
				- self->fPositionSet - (reading % 2 == 1 ? 100000 : 0));
		}
		if (self->fMetadata != NULL)
			return g_variant_ref(self->fMetadata);
		return g_variant_new_array(G_VARIANT_TYPE("{sv}"), NULL, 0);
	}

	GMainContext* fContext;
	GMainLoop* fLoop;
	GDBusConnection* fConnection = NULL;
	GVariant* fMetadata = NULL;
	unsigned fOwner = 0;
	std::atomic<int64> fPosition{0};
	std::atomic<int64> fPositionSet{0};
	std::atomic<int> fReadings{0};
	std::thread fThread;
};

GVariant* metadata(std::initializer_list<std::pair<const char*, GVariant*>> fields)
{
	GVariantBuilder builder;
	g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
	for (const auto& field : fields)
		g_variant_builder_add(&builder, "{sv}", field.first, field.second);
	return g_variant_builder_end(&builder);
}

SourceState state_of(MprisFollower& follower)
{
	SourceState state;
	follower.GetState(&state);
	return state;
}

}

TEST(MprisFollower, AddressesNamesAndMetadataOfAnyShape)
{
	EXPECT_EQ(MprisFollower::FileFromUrl("file:///music/Sea%20Shanty.flac"),
		"/music/Sea Shanty.flac");
	EXPECT_EQ(MprisFollower::FileFromUrl("file://localhost/music/a.mp3"), "/music/a.mp3");
	EXPECT_EQ(MprisFollower::FileFromUrl("file:///music/%E6%B5%B7.mp3"), "/music/\xe6\xb5\xb7.mp3");
	// not a local file, or not a file name that can be trusted
	EXPECT_EQ(MprisFollower::FileFromUrl("file://elsewhere/music/a.mp3"), "");
	EXPECT_EQ(MprisFollower::FileFromUrl("https://radio.example/stream.mp3"), "");
	EXPECT_EQ(MprisFollower::FileFromUrl("file:///music/a%00.lrc"), "");
	EXPECT_EQ(MprisFollower::FileFromUrl("file:///music/a%2Fb.mp3"), "");
	EXPECT_EQ(MprisFollower::FileFromUrl(""), "");

	EXPECT_TRUE(MprisFollower::NameMatches("mpv", "org.mpris.MediaPlayer2.mpv"));
	EXPECT_TRUE(MprisFollower::NameMatches("mpv", "org.mpris.MediaPlayer2.mpv.instance4711"));
	EXPECT_TRUE(MprisFollower::NameMatches("org.mpris.MediaPlayer2.vlc",
		"org.mpris.MediaPlayer2.vlc"));
	EXPECT_FALSE(MprisFollower::NameMatches("mpv", "org.mpris.MediaPlayer2.mpvx"));
	EXPECT_FALSE(MprisFollower::NameMatches("", "org.mpris.MediaPlayer2.mpv"));

	const gchar* artists[] = {"The Gulls", "Another", NULL};
	GVariant* good = g_variant_ref_sink(metadata({
		{"mpris:trackid", g_variant_new_object_path("/track/7")},
		{"xesam:url", g_variant_new_string("file:///a.ogg")},
		{"xesam:title", g_variant_new_string("Gulls")},
		{"xesam:artist", g_variant_new_strv(artists, -1)},
		{"mpris:length", g_variant_new_uint64(61000000)}}));
	MprisFollower::Track track = MprisFollower::TrackFromMetadata(good);
	EXPECT_EQ(track.id, "/track/7");
	EXPECT_EQ(track.url, "file:///a.ogg");
	EXPECT_EQ(track.title, "Gulls");
	EXPECT_EQ(track.artist, "The Gulls");
	EXPECT_EQ(track.length, 61000000);
	g_variant_unref(good);

	GVariant* bad = g_variant_ref_sink(metadata({
		{"xesam:title", g_variant_new_int32(5)},
		{"xesam:url", g_variant_new_boolean(TRUE)},
		{"mpris:length", g_variant_new_int64(-5)}}));
	track = MprisFollower::TrackFromMetadata(bad);
	EXPECT_EQ(track.title, "");
	EXPECT_EQ(track.url, "");
	EXPECT_EQ(track.length, -1);
	g_variant_unref(bad);
	GVariant* notEvenADictionary = g_variant_ref_sink(g_variant_new_string("x"));
	EXPECT_EQ(MprisFollower::TrackFromMetadata(notEvenADictionary).title, "");
	g_variant_unref(notEvenADictionary);
}

TEST(MprisFollower, APlayerThatTalksNonsenseRenamesAndGoes)
{
	dbustest::PrivateBus bus;
	ASSERT_TRUE(bus.IsRunning()) << "dbus-daemon is needed (scripts/setup installs it)";
	FakePlayer fake(bus.Address());
	ASSERT_NE(fake.Connection(), nullptr);
	// no url, a length below 0
	fake.SetMetadata(metadata({
		{"mpris:trackid", g_variant_new_object_path("/track/1")},
		{"xesam:title", g_variant_new_string("Night Radio")},
		{"mpris:length", g_variant_new_int64(-5)}}));
	fake.Own(kFakeName);
	ASSERT_TRUE(testutil::wait_for([&] { return bus.HasOwner(kFakeName); }));

	MprisFollower follower("fake", BMessenger(), 'news', 100000);
	std::string error;
	ASSERT_EQ(follower.Start(5000000, &error), B_OK) << error;
	ASSERT_TRUE(testutil::wait_for([&] { return follower.Followed() == kFakeName; }));
	ASSERT_TRUE(testutil::wait_for([&] {
		const SourceState state = state_of(follower);
		return state.tracks.size() == 1 && state.tracks[0].title == "Night Radio"
			&& state.playing;
	}));
	SourceState state = state_of(follower);
	EXPECT_EQ(state.index, 0);
	EXPECT_EQ(state.tracks[0].length, 0);
	EXPECT_EQ(state.tracks[0].filename.compare(0, 6, "mpris:"), 0)
		<< state.tracks[0].filename;

	// it answers 0 for the position however long it plays: the position
	// runs on regardless, over several readings (every 0.1 s)
	ASSERT_TRUE(testutil::wait_for([&] { return follower.Position() >= 300; }));
	const int32 reached = follower.Position();
	ASSERT_TRUE(testutil::wait_for([&] { return follower.Position() >= reached + 300; }));

	// another track: a local file, no title, a length of another type
	fake.SetMetadata(metadata({
		{"mpris:trackid", g_variant_new_string("/track/2")},
		{"xesam:url", g_variant_new_string("file:///music/Low%20Tide.mp3")},
		{"mpris:length", g_variant_new_uint64(180000000)}}));
	ASSERT_TRUE(testutil::wait_for([&] {
		const SourceState state = state_of(follower);
		return state.tracks.size() == 1 && state.tracks[0].filename == "/music/Low Tide.mp3";
	}));
	state = state_of(follower);
	EXPECT_EQ(state.tracks[0].title, "Low Tide.mp3");
	EXPECT_EQ(state.tracks[0].length, 180000);
	EXPECT_LT(follower.Position(), 1000);

	// it takes another name (a second instance of itself)
	fake.Own(std::string(kFakeName) + ".instance7");
	ASSERT_TRUE(testutil::wait_for([&] {
		return follower.Followed() == std::string(kFakeName) + ".instance7"; }));

	// and goes
	fake.Own("");
	ASSERT_TRUE(testutil::wait_for([&] {
		return follower.Followed().empty() && state_of(follower).index == -1; }));
	EXPECT_FALSE(state_of(follower).playing);
	EXPECT_EQ(follower.Position(), 0);
}

TEST(MprisFollower, NoSessionBusIsSaidAndNeverWaitedForLong)
{
	const char* saved = getenv("DBUS_SESSION_BUS_ADDRESS");
	const std::string old = saved != NULL ? saved : "";

	// nobody listens there
	testutil::TempDir folder;
	setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + folder.File("none")).c_str(), 1);
	{
		MprisFollower follower("", BMessenger(), 'news');
		std::string error;
		EXPECT_NE(follower.Start(5000000, &error), B_OK);
		EXPECT_FALSE(error.empty());
	}

	// something listens there but never answers: given up in time
	const std::string path = folder.File("mute");
	const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
	ASSERT_GE(listener, 0);
	sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
	ASSERT_EQ(bind(listener, (sockaddr*)&address, sizeof(address)), 0);
	ASSERT_EQ(listen(listener, 4), 0);
	setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + path).c_str(), 1);
	{
		MprisFollower follower("", BMessenger(), 'news');
		std::string error;
		const bigtime_t start = system_time();
		EXPECT_EQ(follower.Start(300000, &error), B_TIMED_OUT);
		EXPECT_NE(error.find("did not answer"), std::string::npos) << error;
		EXPECT_LT(system_time() - start, 3000000);
	}

	// the player does not start without the bus it is to follow on
	{
		HostOptions options;
		options.follow = true;
		options.busTimeout = 300000;
		MelodeckPlayer player(Playlist(), options);
		EXPECT_NE(player.InitCheck(), B_OK);
	}
	close(listener);

	if (saved != NULL)
		setenv("DBUS_SESSION_BUS_ADDRESS", old.c_str(), 1);
	else
		unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

// Every other reading comes 0.1 s late: the answered position must never go
// back for it, or a line would show twice. A real step back is taken.
TEST(MprisFollower, ReadingsALittleBehindNeverTakeThePositionBack)
{
	dbustest::PrivateBus bus;
	ASSERT_TRUE(bus.IsRunning()) << "dbus-daemon is needed (scripts/setup installs it)";
	FakePlayer fake(bus.Address());
	ASSERT_NE(fake.Connection(), nullptr);
	fake.SetPosition(10000000);
	fake.SetMetadata(metadata({
		{"mpris:trackid", g_variant_new_object_path("/track/1")},
		{"xesam:title", g_variant_new_string("Still")}}));
	fake.Own(kFakeName);
	ASSERT_TRUE(testutil::wait_for([&] { return bus.HasOwner(kFakeName); }));

	MprisFollower follower("fake", BMessenger(), 'news', 50000);
	std::string error;
	ASSERT_EQ(follower.Start(5000000, &error), B_OK) << error;
	ASSERT_TRUE(testutil::wait_for([&] { return follower.Position() >= 10000; }));

	const int first = fake.Readings();
	int32 last = follower.Position();
	bool back = false;
	ASSERT_TRUE(testutil::wait_for([&] {
		const int32 now = follower.Position();
		back = back || now < last;
		last = now;
		return fake.Readings() >= first + 8;
	}));
	EXPECT_FALSE(back);

	// the player goes back by seconds without saying so: that is believed
	fake.SetPosition(2000000);
	ASSERT_TRUE(testutil::wait_for([&] { return follower.Position() < 3000; }));
}
