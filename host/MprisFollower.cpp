#include "MprisFollower.h"

#include <Message.h>
#include <OS.h>

#include <gio/gio.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

namespace {

const char* const kPrefix = "org.mpris.MediaPlayer2.";
const char* const kPath = "/org/mpris/MediaPlayer2";
const char* const kRootInterface = "org.mpris.MediaPlayer2";
const char* const kPlayerInterface = "org.mpris.MediaPlayer2.Player";
const char* const kTrackListInterface = "org.mpris.MediaPlayer2.TrackList";
// A player that does not answer within this long is taken as not answering.
const int kCallTimeoutMs = 1000;
// The track list is taken up to this many tracks.
const size_t kMaxTracks = 2000;
// How far behind the position last answered a reading may be and still be
// taken for the delay of the call (µs).
const bigtime_t kHoldBack = 250000;

bool has_prefix(const std::string& text, const char* prefix)
{
	return text.compare(0, strlen(prefix), prefix) == 0;
}

// A string from a variant that may hold one ("s" or "o"), or the first of
// an array of strings.
std::string variant_string(GVariant* value)
{
	if (value == NULL)
		return std::string();
	if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)
		|| g_variant_is_of_type(value, G_VARIANT_TYPE_OBJECT_PATH))
		return g_variant_get_string(value, NULL);
	if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING_ARRAY)
		&& g_variant_n_children(value) > 0) {
		GVariant* first = g_variant_get_child_value(value, 0);
		std::string result = g_variant_get_string(first, NULL);
		g_variant_unref(first);
		return result;
	}
	return std::string();
}

// A number of any integer or floating type; false for anything else.
bool variant_number(GVariant* value, double* out)
{
	if (value == NULL)
		return false;
	if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT64))
		*out = (double)g_variant_get_int64(value);
	else if (g_variant_is_of_type(value, G_VARIANT_TYPE_UINT64))
		*out = (double)g_variant_get_uint64(value);
	else if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT32))
		*out = g_variant_get_int32(value);
	else if (g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32))
		*out = g_variant_get_uint32(value);
	else if (g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE))
		*out = g_variant_get_double(value);
	else
		return false;
	return isfinite(*out);
}

std::string title_for(const MprisFollower::Track& track)
{
	if (!track.title.empty())
		return track.title;
	// no title: the file's name, by its artist where known
	const std::string file = MprisFollower::FileFromUrl(track.url);
	const std::string& name = file.empty() ? track.url : file;
	const size_t slash = name.rfind('/');
	std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
	if (base.empty())
		base = "Unknown track";
	return track.artist.empty() ? base : track.artist + " - " + base;
}

}

MprisFollower::MprisFollower(const std::string& name, const BMessenger& target,
	uint32 news, bigtime_t pollInterval)
	:
	fWanted(name),
	fTarget(target),
	fNews(news),
	fPollInterval(std::max<bigtime_t>(pollInterval, 10000)),
	fContext(g_main_context_new()),
	fLoop(g_main_loop_new(fContext, FALSE)),
	fCancel(g_cancellable_new()),
	fHasTrackList(false),
	fConnection(NULL),
	fStarted(false),
	fIndex(-1),
	fPlaying(false),
	fRate(1.0),
	fBase(0),
	fBaseTime(0),
	fZeroRead(false),
	fShown(-1),
	fGeneration(1),
	fJumps(0)
{
}

MprisFollower::~MprisFollower()
{
	g_cancellable_cancel(fCancel);
	if (fThread.joinable()) {
		g_main_context_invoke(fContext, [](void* data) -> gboolean {
			g_main_loop_quit(static_cast<GMainLoop*>(data));
			return G_SOURCE_REMOVE;
		}, fLoop);
		fThread.join();
	}
	if (fConnection != NULL)
		g_object_unref(fConnection);
	g_object_unref(fCancel);
	g_main_loop_unref(fLoop);
	g_main_context_unref(fContext);
}

status_t MprisFollower::Start(bigtime_t timeout, std::string* error)
{
	fThread = std::thread([this] { _Run(); });
	std::unique_lock<std::mutex> lock(fLock);
	if (!fStartedCondition.wait_for(lock, std::chrono::microseconds(timeout),
			[this] { return fStarted; })) {
		lock.unlock();
		g_cancellable_cancel(fCancel);
		if (error != NULL) {
			char seconds[32];
			snprintf(seconds, sizeof(seconds), "%.1f", timeout / 1e6);
			*error = "the session bus did not answer within " + std::string(seconds) + " s";
		}
		return B_TIMED_OUT;
	}
	if (!fStartError.empty()) {
		if (error != NULL)
			*error = fStartError;
		return B_ERROR;
	}
	return B_OK;
}

std::string MprisFollower::Followed()
{
	std::lock_guard<std::mutex> lock(fLock);
	return fFollowed;
}

// #pragma mark - the GLib thread

void MprisFollower::_Run()
{
	g_main_context_push_thread_default(fContext);
	GError* error = NULL;
	gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, fCancel, &error);
	if (address == NULL) {
		_Connected(NULL, error != NULL ? error->message : "no session bus");
		g_clear_error(&error);
	} else {
		g_dbus_connection_new_for_address(address,
			(GDBusConnectionFlags)(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
				| G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
			NULL, fCancel,
			[](GObject*, GAsyncResult* result, gpointer data) {
				GError* error = NULL;
				GDBusConnection* connection
					= g_dbus_connection_new_for_address_finish(result, &error);
				static_cast<MprisFollower*>(data)->_Connected(connection,
					error != NULL ? error->message : "");
				g_clear_error(&error);
			}, this);
		g_free(address);
		g_main_loop_run(fLoop);
	}

	for (unsigned id : fSubscriptions)
		g_dbus_connection_signal_unsubscribe(fConnection, id);
	fSubscriptions.clear();
	// the sources still attached (the poll) go with the context
	g_main_context_pop_thread_default(fContext);
}

void MprisFollower::_Connected(GDBusConnection* connection, const std::string& error)
{
	if (connection != NULL) {
		g_dbus_connection_set_exit_on_close(connection, FALSE);
		fConnection = connection;
		fSubscriptions.push_back(g_dbus_connection_signal_subscribe(connection,
			"org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
			"/org/freedesktop/DBus", "org.mpris.MediaPlayer2",
			G_DBUS_SIGNAL_FLAGS_MATCH_ARG0_NAMESPACE, &_OnNameOwnerChanged, this, NULL));
		fSubscriptions.push_back(g_dbus_connection_signal_subscribe(connection,
			NULL, "org.freedesktop.DBus.Properties", "PropertiesChanged", kPath, NULL,
			G_DBUS_SIGNAL_FLAGS_NONE, &_OnPropertiesChanged, this, NULL));
		fSubscriptions.push_back(g_dbus_connection_signal_subscribe(connection,
			NULL, kPlayerInterface, "Seeked", kPath, NULL,
			G_DBUS_SIGNAL_FLAGS_NONE, &_OnSeeked, this, NULL));
		fSubscriptions.push_back(g_dbus_connection_signal_subscribe(connection,
			NULL, kTrackListInterface, NULL, kPath, NULL,
			G_DBUS_SIGNAL_FLAGS_NONE, &_OnTrackList, this, NULL));
		GSource* poll = g_timeout_source_new((guint)(fPollInterval / 1000));
		g_source_set_callback(poll, &_OnPoll, this, NULL);
		g_source_attach(poll, fContext);
		g_source_unref(poll);
	}
	{
		std::lock_guard<std::mutex> lock(fLock);
		fStarted = true;
		fStartError = connection != NULL ? std::string()
			: "no session bus to be reached (" + (error.empty() ? std::string("no address")
				: error) + ")";
	}
	fStartedCondition.notify_all();
	if (connection != NULL)
		_Choose();
	else
		g_main_loop_quit(fLoop);
}

GVariant* MprisFollower::_Get(const char* interface, const char* property)
{
	if (fOwner.empty())
		return NULL;
	GVariant* reply = g_dbus_connection_call_sync(fConnection, fOwner.c_str(), kPath,
		"org.freedesktop.DBus.Properties", "Get",
		g_variant_new("(ss)", interface, property), G_VARIANT_TYPE("(v)"),
		G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, fCancel, NULL);
	if (reply == NULL)
		return NULL;
	GVariant* value = NULL;
	g_variant_get(reply, "(v)", &value);
	g_variant_unref(reply);
	return value;
}

// Picks the player to follow among those on the bus.
void MprisFollower::_Choose()
{
	GVariant* reply = g_dbus_connection_call_sync(fConnection, "org.freedesktop.DBus",
		"/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames", NULL,
		G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, fCancel, NULL);
	if (reply == NULL)
		return;
	std::vector<std::string> names;
	GVariantIter* iter = NULL;
	const gchar* name = NULL;
	g_variant_get(reply, "(as)", &iter);
	while (g_variant_iter_loop(iter, "&s", &name)) {
		if (has_prefix(name, kPrefix) && strlen(name) > strlen(kPrefix))
			names.push_back(name);
	}
	g_variant_iter_free(iter);
	g_variant_unref(reply);
	std::sort(names.begin(), names.end());

	std::string chosen;
	for (const std::string& candidate : names) {
		if (!fWanted.empty()) {
			if (NameMatches(fWanted, candidate)) {
				chosen = candidate;
				break;
			}
			continue;
		}
		GVariant* status = g_dbus_connection_call_sync(fConnection, candidate.c_str(),
			kPath, "org.freedesktop.DBus.Properties", "Get",
			g_variant_new("(ss)", kPlayerInterface, "PlaybackStatus"),
			G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, fCancel, NULL);
		bool playing = false;
		if (status != NULL) {
			GVariant* value = NULL;
			g_variant_get(status, "(v)", &value);
			playing = variant_string(value) == "Playing";
			g_variant_unref(value);
			g_variant_unref(status);
		}
		if (playing) {
			chosen = candidate;
			break;
		}
		if (chosen.empty())
			chosen = candidate;
	}
	if (!chosen.empty())
		_Follow(chosen);
}

void MprisFollower::_Follow(const std::string& busName)
{
	GVariant* reply = g_dbus_connection_call_sync(fConnection, "org.freedesktop.DBus",
		"/org/freedesktop/DBus", "org.freedesktop.DBus", "GetNameOwner",
		g_variant_new("(s)", busName.c_str()), G_VARIANT_TYPE("(s)"),
		G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, fCancel, NULL);
	if (reply == NULL)
		return;   // gone already
	const gchar* owner = NULL;
	g_variant_get(reply, "(&s)", &owner);
	fOwner = owner;
	g_variant_unref(reply);
	{
		std::lock_guard<std::mutex> lock(fLock);
		fFollowed = busName;
	}
	fprintf(stderr, "melodeck: following %s\n", busName.c_str());
	_ReadAll();
}

void MprisFollower::_Unfollow()
{
	fOwner.clear();
	fHasTrackList = false;
	{
		std::lock_guard<std::mutex> lock(fLock);
		fprintf(stderr, "melodeck: %s has gone\n", fFollowed.c_str());
		fFollowed.clear();
		fTracks.clear();
		fCurrent = Track();
		fIndex = -1;
		fPlaying = false;
		fBase = 0;
		fBaseTime = system_time();
		fShown = -1;
	}
	_Changed(true);
}

// Everything about the followed player, as when it is first followed.
void MprisFollower::_ReadAll()
{
	GVariant* hasTrackList = _Get(kRootInterface, "HasTrackList");
	fHasTrackList = hasTrackList != NULL
		&& g_variant_is_of_type(hasTrackList, G_VARIANT_TYPE_BOOLEAN)
		&& g_variant_get_boolean(hasTrackList);
	if (hasTrackList != NULL)
		g_variant_unref(hasTrackList);

	if (GVariant* rate = _Get(kPlayerInterface, "Rate")) {
		double value = 1;
		if (variant_number(rate, &value))
			_TakeRate(value);
		g_variant_unref(rate);
	}
	if (GVariant* status = _Get(kPlayerInterface, "PlaybackStatus")) {
		_TakeStatus(variant_string(status).c_str());
		g_variant_unref(status);
	}
	GVariant* metadata = _Get(kPlayerInterface, "Metadata");
	_TakeMetadata(metadata);
	if (metadata != NULL)
		g_variant_unref(metadata);
	if (fHasTrackList)
		_ReadTrackList();
	_ReadPosition();
	_Changed(true);
}

// Reads the position; the moment it held is taken as halfway through the
// call.
void MprisFollower::_ReadPosition()
{
	const bigtime_t before = system_time();
	GVariant* value = _Get(kPlayerInterface, "Position");
	const bigtime_t now = before + (system_time() - before) / 2;
	if (value == NULL)
		return;
	double position = 0;
	const bool valid = variant_number(value, &position);
	g_variant_unref(value);
	if (!valid)
		return;
	std::lock_guard<std::mutex> lock(fLock);
	// Some players answer 0 whatever plays: while playing, 0 is believed
	// once (a track starts there), not again until another answer.
	const bool zero = position <= 0;
	if (zero && fPlaying && fZeroRead)
		return;
	fZeroRead = zero && fPlaying;
	fBase = std::max<bigtime_t>((bigtime_t)position, 0);
	fBaseTime = now;
}

void MprisFollower::_ReadTrackList()
{
	GVariant* tracks = _Get(kTrackListInterface, "Tracks");
	if (tracks == NULL || !g_variant_is_of_type(tracks, G_VARIANT_TYPE("ao"))) {
		if (tracks != NULL)
			g_variant_unref(tracks);
		return;
	}
	GVariantBuilder ids;
	g_variant_builder_init(&ids, G_VARIANT_TYPE("ao"));
	const size_t count = std::min<size_t>(g_variant_n_children(tracks), kMaxTracks);
	for (size_t i = 0; i < count; i++) {
		GVariant* id = g_variant_get_child_value(tracks, i);
		g_variant_builder_add_value(&ids, id);
		g_variant_unref(id);
	}
	g_variant_unref(tracks);

	GVariant* reply = g_dbus_connection_call_sync(fConnection, fOwner.c_str(), kPath,
		kTrackListInterface, "GetTracksMetadata", g_variant_new("(ao)", &ids),
		G_VARIANT_TYPE("(aa{sv})"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, fCancel, NULL);
	std::vector<Track> list;
	if (reply != NULL) {
		GVariant* array = g_variant_get_child_value(reply, 0);
		const size_t n = std::min<size_t>(g_variant_n_children(array), kMaxTracks);
		for (size_t i = 0; i < n; i++) {
			GVariant* metadata = g_variant_get_child_value(array, i);
			list.push_back(TrackFromMetadata(metadata));
			g_variant_unref(metadata);
		}
		g_variant_unref(array);
		g_variant_unref(reply);
	}
	std::lock_guard<std::mutex> lock(fLock);
	fTracks = list;
	fIndex = -1;
	for (size_t i = 0; i < fTracks.size(); i++) {
		if (!fCurrent.id.empty() && fTracks[i].id == fCurrent.id) {
			fIndex = (int32)i;
			break;
		}
	}
	if (fIndex < 0) {
		// the current track is not in the list (or has no id): it alone
		fTracks.assign(1, fCurrent);
		fIndex = 0;
	}
}

void MprisFollower::_TakeMetadata(GVariant* metadata)
{
	Track track = metadata != NULL ? TrackFromMetadata(metadata) : Track();
	std::lock_guard<std::mutex> lock(fLock);
	// a stream that only changes its title plays on
	const bool other = track.id != fCurrent.id || track.url != fCurrent.url;
	fCurrent = track;
	if (other) {
		fBase = 0;
		fBaseTime = system_time();
		fZeroRead = false;
		fShown = -1;
	}
	if (track.id.empty() && track.url.empty() && track.title.empty()) {
		// nothing plays
		fTracks.clear();
		fIndex = -1;
		return;
	}
	int32 index = -1;
	for (size_t i = 0; i < fTracks.size() && fHasTrackList; i++) {
		if (!track.id.empty() && fTracks[i].id == track.id)
			index = (int32)i;
	}
	if (index >= 0) {
		fTracks[index] = track;
		fIndex = index;
	} else {
		fTracks.assign(1, track);
		fIndex = 0;
	}
}

void MprisFollower::_TakeStatus(const char* status)
{
	std::lock_guard<std::mutex> lock(fLock);
	const bigtime_t now = system_time();
	fBase = _PositionAt(now);
	fBaseTime = now;
	fPlaying = strcmp(status, "Playing") == 0;
	if (strcmp(status, "Stopped") == 0) {
		fBase = 0;
		fShown = -1;
	}
}

void MprisFollower::_TakeRate(double rate)
{
	std::lock_guard<std::mutex> lock(fLock);
	const bigtime_t now = system_time();
	fBase = _PositionAt(now);
	fBaseTime = now;
	// a rate of 0 or less, or an absurd one, is no rate to run by
	fRate = rate > 0 && rate <= 100 ? rate : 1.0;
}

void MprisFollower::_Changed(bool jump)
{
	{
		std::lock_guard<std::mutex> lock(fLock);
		fGeneration++;
		if (jump)
			fJumps++;
	}
	BMessage news(fNews);
	fTarget.SendMessage(&news, (BHandler*)NULL, 0);
}

bigtime_t MprisFollower::_PositionAt(bigtime_t now) const
{
	if (!fPlaying)
		return fBase;
	return fBase + (bigtime_t)((double)std::max<bigtime_t>(now - fBaseTime, 0) * fRate);
}

void MprisFollower::_OnNameOwnerChanged(GDBusConnection*, const char*, const char*,
	const char*, const char*, GVariant* parameters, void* data)
{
	MprisFollower* self = static_cast<MprisFollower*>(data);
	const gchar* name = NULL;
	const gchar* oldOwner = NULL;
	const gchar* newOwner = NULL;
	if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sss)")))
		return;
	g_variant_get(parameters, "(&s&s&s)", &name, &oldOwner, &newOwner);
	if (!has_prefix(name, kPrefix))
		return;
	std::string followed;
	{
		std::lock_guard<std::mutex> lock(self->fLock);
		followed = self->fFollowed;
	}
	if (followed == name) {
		self->_Unfollow();
		if (newOwner[0] != '\0')
			self->_Follow(name);   // the same name, another program
		else
			self->_Choose();
	} else if (followed.empty() && newOwner[0] != '\0')
		self->_Choose();
}

void MprisFollower::_OnPropertiesChanged(GDBusConnection*, const char* sender,
	const char*, const char*, const char*, GVariant* parameters, void* data)
{
	MprisFollower* self = static_cast<MprisFollower*>(data);
	if (self->fOwner.empty() || sender == NULL || self->fOwner != sender)
		return;
	if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sa{sv}as)")))
		return;
	const gchar* interface = NULL;
	GVariant* changed = NULL;
	GVariantIter* invalidated = NULL;
	g_variant_get(parameters, "(&s@a{sv}as)", &interface, &changed, &invalidated);
	g_variant_iter_free(invalidated);
	if (strcmp(interface, kPlayerInterface) != 0) {
		g_variant_unref(changed);
		return;
	}
	bool jump = false;
	GVariant* metadata = g_variant_lookup_value(changed, "Metadata", G_VARIANT_TYPE("a{sv}"));
	if (metadata != NULL) {
		std::string before;
		{
			std::lock_guard<std::mutex> lock(self->fLock);
			before = self->fCurrent.id + "\n" + self->fCurrent.url;
		}
		self->_TakeMetadata(metadata);
		g_variant_unref(metadata);
		std::lock_guard<std::mutex> lock(self->fLock);
		jump = before != self->fCurrent.id + "\n" + self->fCurrent.url;
	}
	GVariant* rate = g_variant_lookup_value(changed, "Rate", NULL);
	double value = 1;
	if (rate != NULL && variant_number(rate, &value))
		self->_TakeRate(value);
	if (rate != NULL)
		g_variant_unref(rate);
	GVariant* status = g_variant_lookup_value(changed, "PlaybackStatus", NULL);
	if (status != NULL) {
		self->_TakeStatus(variant_string(status).c_str());
		g_variant_unref(status);
	}
	g_variant_unref(changed);
	self->_ReadPosition();
	self->_Changed(jump);
}

void MprisFollower::_OnSeeked(GDBusConnection*, const char* sender, const char*,
	const char*, const char*, GVariant* parameters, void* data)
{
	MprisFollower* self = static_cast<MprisFollower*>(data);
	if (self->fOwner.empty() || sender == NULL || self->fOwner != sender)
		return;
	if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(x)")))
		return;
	gint64 position = 0;
	g_variant_get(parameters, "(x)", &position);
	{
		std::lock_guard<std::mutex> lock(self->fLock);
		self->fBase = std::max<bigtime_t>(position, 0);
		self->fBaseTime = system_time();
		self->fZeroRead = false;
		self->fShown = -1;
	}
	self->_ReadPosition();
	self->_Changed(true);
}

void MprisFollower::_OnTrackList(GDBusConnection*, const char* sender, const char*,
	const char*, const char*, GVariant*, void* data)
{
	MprisFollower* self = static_cast<MprisFollower*>(data);
	if (self->fOwner.empty() || sender == NULL || self->fOwner != sender
		|| !self->fHasTrackList)
		return;
	self->_ReadTrackList();
	self->_Changed(false);
}

int MprisFollower::_OnPoll(void* data)
{
	MprisFollower* self = static_cast<MprisFollower*>(data);
	if (!self->fOwner.empty())
		self->_ReadPosition();
	return G_SOURCE_CONTINUE;
}

// #pragma mark - any thread

uint64 MprisFollower::Generation()
{
	std::lock_guard<std::mutex> lock(fLock);
	return fGeneration;
}

void MprisFollower::GetState(SourceState* state)
{
	std::lock_guard<std::mutex> lock(fLock);
	state->generation = fGeneration;
	state->jumps = fJumps;
	state->index = fIndex;
	state->playing = fPlaying;
	state->tracks.clear();
	for (const Track& track : fTracks) {
		SourceTrack entry;
		const std::string file = FileFromUrl(track.url);
		if (!file.empty())
			entry.filename = file;
		else if (!track.url.empty())
			entry.filename = track.url;
		else
			entry.filename = "mpris:" + fFollowed + (track.id.empty() ? "" : ":" + track.id);
		entry.title = title_for(track);
		entry.length = track.length > 0
			? (int32)std::min<int64>(track.length / 1000, INT32_MAX) : 0;
		state->tracks.push_back(entry);
	}
}

int32 MprisFollower::Position()
{
	std::lock_guard<std::mutex> lock(fLock);
	if (fIndex < 0)
		return 0;
	// While playing, a reading a little behind the estimate is the call's
	// own delay, not the player going back: the position holds still until
	// playback catches up, so that no line is shown twice. A seek or another
	// track clears the hold; a larger step back is taken as it comes. Paused,
	// the player's own position stands.
	bigtime_t position = _PositionAt(system_time());
	if (fPlaying && fShown > position && fShown - position < kHoldBack)
		position = fShown;
	fShown = position;
	return (int32)std::clamp<bigtime_t>(position / 1000, 0, INT32_MAX);
}

void MprisFollower::_Call(const char* interface, const char* method, GVariant* parameters)
{
	std::string followed = Followed();
	if (fConnection == NULL || followed.empty()) {
		if (parameters != NULL)
			g_variant_unref(g_variant_ref_sink(parameters));
		return;
	}
	// no reply wanted: the player's signals tell what came of it
	g_dbus_connection_call(fConnection, followed.c_str(), kPath, interface, method,
		parameters, NULL, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, NULL, NULL, NULL);
}

void MprisFollower::Play()
{
	_Call(kPlayerInterface, "Play", NULL);
}

void MprisFollower::Pause()
{
	_Call(kPlayerInterface, "Pause", NULL);
}

void MprisFollower::TogglePlay()
{
	_Call(kPlayerInterface, "PlayPause", NULL);
}

void MprisFollower::Next()
{
	_Call(kPlayerInterface, "Next", NULL);
}

void MprisFollower::Previous()
{
	_Call(kPlayerInterface, "Previous", NULL);
}

void MprisFollower::SetPosition(int32 ms)
{
	std::string id;
	bigtime_t offset = 0;
	{
		std::lock_guard<std::mutex> lock(fLock);
		id = fCurrent.id;
		offset = (bigtime_t)ms * 1000 - _PositionAt(system_time());
	}
	if (g_variant_is_object_path(id.c_str()) && id != "/org/mpris/MediaPlayer2/TrackList/NoTrack")
		_Call(kPlayerInterface, "SetPosition",
			g_variant_new("(ox)", id.c_str(), (gint64)ms * 1000));
	else
		_Call(kPlayerInterface, "Seek", g_variant_new("(x)", (gint64)offset));
}

void MprisFollower::Select(int32 index)
{
	std::string id;
	bool current = false;
	{
		std::lock_guard<std::mutex> lock(fLock);
		if (index < 0 || index >= (int32)fTracks.size())
			return;
		id = fTracks[index].id;
		current = index == fIndex;
	}
	if (!current && g_variant_is_object_path(id.c_str())) {
		_Call(kTrackListInterface, "GoTo", g_variant_new("(o)", id.c_str()));
		return;
	}
	SetPosition(0);
	Play();
}

// #pragma mark - helpers

std::string MprisFollower::FileFromUrl(const std::string& url)
{
	if (!has_prefix(url, "file://"))
		return std::string();
	gchar* host = NULL;
	gchar* path = g_filename_from_uri(url.c_str(), &host, NULL);
	std::string result;
	if (path != NULL && (host == NULL || strcmp(host, "localhost") == 0))
		result = path;
	g_free(path);
	g_free(host);
	return result;
}

bool MprisFollower::NameMatches(const std::string& wanted, const std::string& busName)
{
	if (wanted.empty())
		return false;
	const std::string full = has_prefix(wanted, kPrefix) ? wanted : kPrefix + wanted;
	if (busName == full)
		return true;
	// another instance of the same program
	return has_prefix(busName, (full + ".instance").c_str());
}

MprisFollower::Track MprisFollower::TrackFromMetadata(GVariant* metadata)
{
	Track track;
	if (metadata == NULL || !g_variant_is_of_type(metadata, G_VARIANT_TYPE("a{sv}")))
		return track;
	GVariant* value = g_variant_lookup_value(metadata, "mpris:trackid", NULL);
	track.id = variant_string(value);
	if (value != NULL)
		g_variant_unref(value);
	value = g_variant_lookup_value(metadata, "xesam:url", NULL);
	track.url = variant_string(value);
	if (value != NULL)
		g_variant_unref(value);
	value = g_variant_lookup_value(metadata, "xesam:title", NULL);
	track.title = variant_string(value);
	if (value != NULL)
		g_variant_unref(value);
	value = g_variant_lookup_value(metadata, "xesam:artist", NULL);
	track.artist = variant_string(value);
	if (value != NULL)
		g_variant_unref(value);
	value = g_variant_lookup_value(metadata, "mpris:length", NULL);
	double length = -1;
	if (value != NULL && variant_number(value, &length) && length > 0 && length < 1e15)
		track.length = (int64)length;
	if (value != NULL)
		g_variant_unref(value);
	return track;
}
