#include "MprisServer.h"

#include "HostProtocol.h"

#include <AppDefs.h>

#include <gio/gio.h>

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {

const char* const kBusName = "org.mpris.MediaPlayer2.melodeck";
const char* const kPath = "/org/mpris/MediaPlayer2";
const char* const kRootInterface = "org.mpris.MediaPlayer2";
const char* const kPlayerInterface = "org.mpris.MediaPlayer2.Player";
// How long a call from the bus waits for the player application.
const bigtime_t kPlayerTimeout = 2000000;

const char* const kInterfaces =
	"<node>"
	" <interface name='org.mpris.MediaPlayer2'>"
	"  <method name='Raise'/>"
	"  <method name='Quit'/>"
	"  <property name='CanQuit' type='b' access='read'/>"
	"  <property name='CanRaise' type='b' access='read'/>"
	"  <property name='HasTrackList' type='b' access='read'/>"
	"  <property name='Identity' type='s' access='read'/>"
	"  <property name='SupportedUriSchemes' type='as' access='read'/>"
	"  <property name='SupportedMimeTypes' type='as' access='read'/>"
	" </interface>"
	" <interface name='org.mpris.MediaPlayer2.Player'>"
	"  <method name='Next'/>"
	"  <method name='Previous'/>"
	"  <method name='Pause'/>"
	"  <method name='PlayPause'/>"
	"  <method name='Stop'/>"
	"  <method name='Play'/>"
	"  <method name='Seek'><arg name='Offset' type='x' direction='in'/></method>"
	"  <method name='SetPosition'>"
	"   <arg name='TrackId' type='o' direction='in'/>"
	"   <arg name='Position' type='x' direction='in'/>"
	"  </method>"
	"  <method name='OpenUri'><arg name='Uri' type='s' direction='in'/></method>"
	"  <signal name='Seeked'><arg name='Position' type='x'/></signal>"
	"  <property name='PlaybackStatus' type='s' access='read'/>"
	"  <property name='Rate' type='d' access='read'/>"
	"  <property name='Metadata' type='a{sv}' access='read'/>"
	"  <property name='Volume' type='d' access='readwrite'/>"
	"  <property name='Position' type='x' access='read'/>"
	"  <property name='MinimumRate' type='d' access='read'/>"
	"  <property name='MaximumRate' type='d' access='read'/>"
	"  <property name='CanGoNext' type='b' access='read'/>"
	"  <property name='CanGoPrevious' type='b' access='read'/>"
	"  <property name='CanPlay' type='b' access='read'/>"
	"  <property name='CanPause' type='b' access='read'/>"
	"  <property name='CanSeek' type='b' access='read'/>"
	"  <property name='CanControl' type='b' access='read'/>"
	" </interface>"
	"</node>";

// The properties that change with the playback's state, in the order
// they are compared.
const char* const kStateProperties[] = {"PlaybackStatus", "Metadata", "Volume",
	"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek"};

int32 int32_field(const BMessage& message, const char* name, int32 fallback = 0)
{
	int32 value = fallback;
	message.FindInt32(name, &value);
	return value;
}

}

MprisServer::MprisServer(const BMessenger& player)
	:
	BHandler("MPRIS"),
	fPlayer(player),
	fContext(g_main_context_new()),
	fLoop(g_main_loop_new(fContext, FALSE)),
	fCancel(g_cancellable_new()),
	fConnection(NULL),
	fObjects{0, 0},
	fOwnerId(0),
	fChange(0),
	fEmitPending(false)
{
}

MprisServer::~MprisServer()
{
	g_cancellable_cancel(fCancel);
	if (fThread.joinable()) {
		GSource* quit = g_idle_source_new();
		g_source_set_callback(quit, [](void* data) -> gboolean {
			g_main_loop_quit(static_cast<GMainLoop*>(data));
			return G_SOURCE_REMOVE;
		}, fLoop, NULL);
		g_source_attach(quit, fContext);
		g_source_unref(quit);
		fThread.join();
	}
	g_object_unref(fCancel);
	g_main_loop_unref(fLoop);
	g_main_context_unref(fContext);
}

void MprisServer::Start()
{
	if (!fThread.joinable())
		fThread = std::thread([this] { _Run(); });
}

std::string MprisServer::BusName()
{
	std::lock_guard<std::mutex> lock(fLock);
	return fBusName;
}

std::string MprisServer::TrackId(int32 number)
{
	return "/org/orlund/melodeck/track/" + std::to_string(std::max<int32>(number, 0));
}

void MprisServer::MessageReceived(BMessage* message)
{
	if (message->what == kMelodeckStateChanged) {
		Publish(*message, (uint32)int32_field(*message, MELODECK_FIELD_CHANGE));
		return;
	}
	BHandler::MessageReceived(message);
}

void MprisServer::Publish(const BMessage& state, uint32 change)
{
	std::lock_guard<std::mutex> lock(fLock);
	fState = state;
	fChange |= change;
	if (fEmitPending)
		return;
	fEmitPending = true;
	// always through the loop, never on the caller's thread
	GSource* emit = g_idle_source_new();
	g_source_set_callback(emit, [](void* data) -> gboolean {
		static_cast<MprisServer*>(data)->_EmitChanges();
		return G_SOURCE_REMOVE;
	}, this, NULL);
	g_source_attach(emit, fContext);
	g_source_unref(emit);
}

// #pragma mark - the GLib thread

void MprisServer::_Run()
{
	g_main_context_push_thread_default(fContext);
	GError* error = NULL;
	gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, fCancel, &error);
	if (address == NULL) {
		fprintf(stderr, "melodeck: no media keys and no MPRIS: %s\n",
			error != NULL ? error->message : "no session bus");
		g_clear_error(&error);
		g_main_context_pop_thread_default(fContext);
		return;
	}
	g_dbus_connection_new_for_address(address,
		(GDBusConnectionFlags)(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
			| G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
		NULL, fCancel,
		[](GObject*, GAsyncResult* result, gpointer data) {
			GError* error = NULL;
			GDBusConnection* connection
				= g_dbus_connection_new_for_address_finish(result, &error);
			MprisServer* self = static_cast<MprisServer*>(data);
			if (connection == NULL) {
				if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
					fprintf(stderr, "melodeck: no media keys and no MPRIS: %s\n",
						error->message);
				g_clear_error(&error);
				return;
			}
			self->_Connected(connection);
		}, this);
	g_free(address);
	g_main_loop_run(fLoop);

	if (fConnection != NULL) {
		if (fOwnerId != 0)
			g_bus_unown_name(fOwnerId);
		for (unsigned id : fObjects) {
			if (id != 0)
				g_dbus_connection_unregister_object(fConnection, id);
		}
		g_dbus_connection_flush_sync(fConnection, NULL, NULL);
		g_object_unref(fConnection);
		fConnection = NULL;
	}
	g_main_context_pop_thread_default(fContext);
}

void MprisServer::_Connected(GDBusConnection* connection)
{
	g_dbus_connection_set_exit_on_close(connection, FALSE);
	fConnection = connection;

	static const GDBusInterfaceVTable vtable = {
		// method calls
		[](GDBusConnection*, const gchar*, const gchar*, const gchar* interface,
				const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
				gpointer data) {
			static_cast<MprisServer*>(data)->_MethodCall(interface, method, parameters,
				invocation);
		},
		// property reads
		[](GDBusConnection*, const gchar*, const gchar*, const gchar* interface,
				const gchar* name, GError** error, gpointer data) -> GVariant* {
			GVariant* value = static_cast<MprisServer*>(data)->_Property(interface, name);
			if (value == NULL)
				g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY,
					"No property %s", name);
			return value;
		},
		// property writes: the volume only
		[](GDBusConnection*, const gchar*, const gchar*, const gchar*,
				const gchar* name, GVariant* value, GError** error, gpointer data) -> gboolean {
			if (strcmp(name, "Volume") != 0 || !g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE)) {
				g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_PROPERTY_READ_ONLY,
					"%s cannot be set", name);
				return FALSE;
			}
			const double volume = g_variant_get_double(value);
			BMessage command(kMelodeckSetVolume);
			command.AddInt32(MELODECK_FIELD_VOLUME, (int32)(std::clamp(
				std::isfinite(volume) ? volume : 0.0, 0.0, 1.0) * 100 + 0.5));
			static_cast<MprisServer*>(data)->_Command(&command);
			return TRUE;
		},
		{0}
	};

	GError* error = NULL;
	GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kInterfaces, &error);
	if (node == NULL) {
		fprintf(stderr, "melodeck: MPRIS: %s\n", error->message);
		g_clear_error(&error);
		return;
	}
	for (int i = 0; i < 2; i++) {
		fObjects[i] = g_dbus_connection_register_object(connection, kPath,
			node->interfaces[i], &vtable, this, NULL, &error);
		if (fObjects[i] == 0) {
			fprintf(stderr, "melodeck: MPRIS: %s\n", error->message);
			g_clear_error(&error);
		}
	}
	g_dbus_node_info_unref(node);
	_OwnName(false);
}

void MprisServer::_OwnName(bool instance)
{
	const std::string name = instance
		? std::string(kBusName) + ".instance" + std::to_string(getpid()) : kBusName;
	struct Attempt {
		MprisServer* server;
		bool instance;
	};
	fOwnerId = g_bus_own_name_on_connection(fConnection, name.c_str(),
		G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
		[](GDBusConnection*, const gchar* name, gpointer data) {
			MprisServer* self = static_cast<Attempt*>(data)->server;
			std::lock_guard<std::mutex> lock(self->fLock);
			self->fBusName = name;
		},
		[](GDBusConnection* connection, const gchar* name, gpointer data) {
			Attempt* attempt = static_cast<Attempt*>(data);
			MprisServer* self = attempt->server;
			{
				std::lock_guard<std::mutex> lock(self->fLock);
				self->fBusName.clear();
			}
			if (connection == NULL || g_dbus_connection_is_closed(connection))
				return;
			if (!attempt->instance) {
				// another Melodeck has the plain name: this one is an instance
				g_bus_unown_name(self->fOwnerId);
				self->fOwnerId = 0;
				self->_OwnName(true);
			} else
				fprintf(stderr, "melodeck: MPRIS: the name %s is taken\n", name);
		},
		new Attempt{this, instance}, [](gpointer data) { delete static_cast<Attempt*>(data); });
}

status_t MprisServer::_Command(BMessage* message)
{
	BMessage reply;
	status_t status = fPlayer.SendMessage(message, &reply, kPlayerTimeout, kPlayerTimeout);
	if (status == B_OK && reply.FindInt32("error", &status) != B_OK)
		status = B_OK;
	return status;
}

// Where the playback is right now, asked of the application; the last
// state's position when it does not answer in time.
int32 MprisServer::_LivePosition()
{
	BMessage request(kMelodeckGetState);
	BMessage reply;
	if (fPlayer.SendMessage(&request, &reply, kPlayerTimeout, kPlayerTimeout) == B_OK)
		return int32_field(reply, MELODECK_FIELD_POSITION);
	std::lock_guard<std::mutex> lock(fLock);
	return int32_field(fState, MELODECK_FIELD_POSITION);
}

void MprisServer::_MethodCall(const char* interface, const char* method,
	GVariant* parameters, GDBusMethodInvocation* invocation)
{
	if (strcmp(interface, kRootInterface) == 0) {
		if (strcmp(method, "Quit") == 0)
			fPlayer.SendMessage(B_QUIT_REQUESTED);
		// Raise: there is no window to raise that the desktop would know
		g_dbus_method_invocation_return_value(invocation, NULL);
		return;
	}

	BMessage state;
	{
		std::lock_guard<std::mutex> lock(fLock);
		state = fState;
	}
	uint32 what = 0;
	if (strcmp(method, "Play") == 0)
		what = kMelodeckPlay;
	else if (strcmp(method, "Pause") == 0)
		what = kMelodeckPause;
	else if (strcmp(method, "PlayPause") == 0)
		what = kMelodeckTogglePlay;
	else if (strcmp(method, "Next") == 0)
		what = kMelodeckNext;
	else if (strcmp(method, "Previous") == 0)
		what = kMelodeckPrevious;
	if (what != 0) {
		BMessage command(what);
		_Command(&command);
	} else if (strcmp(method, "Stop") == 0) {
		BMessage pause(kMelodeckPause);
		_Command(&pause);
		BMessage seek(kMelodeckSeek);
		seek.AddInt32(MELODECK_FIELD_POSITION, 0);
		_Command(&seek);
	} else if (strcmp(method, "Seek") == 0) {
		gint64 offset = 0;
		g_variant_get(parameters, "(x)", &offset);
		BMessage seek(kMelodeckSeek);
		// µs on the bus, ms here; far jumps are limited, not wrapped
		seek.AddInt32(MELODECK_FIELD_OFFSET,
			(int32)std::clamp<gint64>(offset / 1000, INT32_MIN / 2, INT32_MAX / 2));
		_Command(&seek);
	} else if (strcmp(method, "SetPosition") == 0) {
		const gchar* track = NULL;
		gint64 position = 0;
		g_variant_get(parameters, "(&ox)", &track, &position);
		const int32 length = int32_field(state, MELODECK_FIELD_LENGTH);
		// a position for another track, or outside this one, is ignored
		if (TrackId(int32_field(state, MELODECK_FIELD_INDEX, -1) + 1) == track
			&& int32_field(state, MELODECK_FIELD_INDEX, -1) >= 0
			&& position >= 0 && position / 1000 <= length) {
			BMessage seek(kMelodeckSeek);
			seek.AddInt32(MELODECK_FIELD_POSITION, (int32)(position / 1000));
			_Command(&seek);
		}
	} else if (strcmp(method, "OpenUri") == 0) {
		g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR,
			G_DBUS_ERROR_NOT_SUPPORTED, "Melodeck plays the playlist it was given");
		return;
	}
	g_dbus_method_invocation_return_value(invocation, NULL);
}

GVariant* MprisServer::_Metadata(const BMessage& state)
{
	GVariantBuilder builder;
	g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
	const int32 index = int32_field(state, MELODECK_FIELD_INDEX, -1);
	if (index >= 0) {
		g_variant_builder_add(&builder, "{sv}", "mpris:trackid",
			g_variant_new_object_path(TrackId(index + 1).c_str()));
		g_variant_builder_add(&builder, "{sv}", "mpris:length",
			g_variant_new_int64((gint64)int32_field(state, MELODECK_FIELD_LENGTH) * 1000));
		const char* title = NULL;
		if (state.FindString(MELODECK_FIELD_TITLE, &title) == B_OK
			&& g_utf8_validate(title, -1, NULL))
			g_variant_builder_add(&builder, "{sv}", "xesam:title", g_variant_new_string(title));
		const char* filename = NULL;
		if (state.FindString(MELODECK_FIELD_FILENAME, &filename) == B_OK
			&& filename[0] == '/') {
			gchar* uri = g_filename_to_uri(filename, NULL, NULL);
			if (uri != NULL)
				g_variant_builder_add(&builder, "{sv}", "xesam:url", g_variant_new_string(uri));
			g_free(uri);
		}
	} else {
		g_variant_builder_add(&builder, "{sv}", "mpris:trackid",
			g_variant_new_object_path("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
	}
	return g_variant_builder_end(&builder);
}

GVariant* MprisServer::_Property(const char* interface, const char* name)
{
	if (strcmp(interface, kRootInterface) == 0) {
		if (strcmp(name, "CanQuit") == 0)
			return g_variant_new_boolean(TRUE);
		if (strcmp(name, "CanRaise") == 0 || strcmp(name, "HasTrackList") == 0)
			return g_variant_new_boolean(FALSE);
		if (strcmp(name, "Identity") == 0)
			return g_variant_new_string("Melodeck");
		if (strcmp(name, "SupportedUriSchemes") == 0) {
			const gchar* schemes[] = {"file", NULL};
			return g_variant_new_strv(schemes, -1);
		}
		if (strcmp(name, "SupportedMimeTypes") == 0)
			return g_variant_new_strv(NULL, 0);
		return NULL;
	}
	if (strcmp(name, "Position") == 0)
		return g_variant_new_int64((gint64)_LivePosition() * 1000);
	if (strcmp(name, "Rate") == 0 || strcmp(name, "MinimumRate") == 0
		|| strcmp(name, "MaximumRate") == 0)
		return g_variant_new_double(1.0);
	if (strcmp(name, "CanControl") == 0)
		return g_variant_new_boolean(TRUE);

	BMessage state;
	{
		std::lock_guard<std::mutex> lock(fLock);
		state = fState;
	}
	return _StateProperty(name, state);
}

// The properties that follow from the playback's state.
GVariant* MprisServer::_StateProperty(const char* name, const BMessage& state)
{
	const bool hasEntries = int32_field(state, MELODECK_FIELD_COUNT) > 0;
	if (strcmp(name, "PlaybackStatus") == 0) {
		bool playing = false;
		state.FindBool(MELODECK_FIELD_PLAYING, &playing);
		return g_variant_new_string(!hasEntries ? "Stopped" : playing ? "Playing" : "Paused");
	}
	if (strcmp(name, "Metadata") == 0)
		return _Metadata(state);
	if (strcmp(name, "Volume") == 0) {
		bool muted = false;
		state.FindBool(MELODECK_FIELD_MUTED, &muted);
		return g_variant_new_double(muted ? 0.0
			: int32_field(state, MELODECK_FIELD_VOLUME, 100) / 100.0);
	}
	if (strcmp(name, "CanGoNext") == 0 || strcmp(name, "CanGoPrevious") == 0
		|| strcmp(name, "CanPlay") == 0 || strcmp(name, "CanPause") == 0
		|| strcmp(name, "CanSeek") == 0)
		return g_variant_new_boolean(hasEntries);
	return NULL;
}

// Tells the bus what the last reports changed.
void MprisServer::_EmitChanges()
{
	uint32 change = 0;
	{
		std::lock_guard<std::mutex> lock(fLock);
		change = fChange;
		fChange = 0;
		fEmitPending = false;
	}
	if (fConnection == NULL || fOwnerId == 0)
		return;

	BMessage current;
	{
		std::lock_guard<std::mutex> lock(fLock);
		current = fState;
	}
	GVariantBuilder changed;
	g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
	bool any = false;
	for (const char* name : kStateProperties) {
		GVariant* now = g_variant_ref_sink(_StateProperty(name, current));
		GVariant* before = g_variant_ref_sink(_StateProperty(name, fEmitted));
		if (!g_variant_equal(now, before)) {
			g_variant_builder_add(&changed, "{sv}", name, now);
			any = true;
		}
		g_variant_unref(now);
		g_variant_unref(before);
	}
	fEmitted = current;
	if (any) {
		g_dbus_connection_emit_signal(fConnection, NULL, kPath,
			"org.freedesktop.DBus.Properties", "PropertiesChanged",
			g_variant_new("(sa{sv}as)", kPlayerInterface, &changed, NULL), NULL);
	} else
		g_variant_builder_clear(&changed);
	if ((change & kMelodeckPositionChanged) != 0) {
		g_dbus_connection_emit_signal(fConnection, NULL, kPath, kPlayerInterface, "Seeked",
			g_variant_new("(x)", (gint64)int32_field(current, MELODECK_FIELD_POSITION) * 1000),
			NULL);
	}
}
