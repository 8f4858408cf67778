// Follows a media player on the session bus through its MPRIS interface
// (org.mpris.MediaPlayer2.*), as a source that Playback takes its state
// from.
//
// The player followed is the one named (a whole bus name, or its last part
// such as "mpv"; a player that runs more than once may add ".instanceN"),
// else the one playing, else the first in name order. When it quits the
// follower waits for another (or the same again). Its track, play state and
// rate are taken from its signals; its position, which is not signalled, is
// read every `pollInterval` and after every signal, and extrapolated in
// between.
//
// GDBus runs on a thread of its own with its own main context; the state
// is kept under a lock, and the target hears `news` (a message without
// fields, never waited for) after every change.
#ifndef HOST_MPRIS_FOLLOWER_H
#define HOST_MPRIS_FOLLOWER_H

#include "PlaybackSource.h"

#include <Messenger.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;
typedef struct _GCancellable GCancellable;
typedef struct _GVariant GVariant;

class MprisFollower : public PlaybackSource {
public:
	MprisFollower(const std::string& name, const BMessenger& target, uint32 news,
		bigtime_t pollInterval = 500000);
	// Stops following and closes the connection.
	virtual ~MprisFollower();

	// Connects to the session bus and starts looking for players. Waits at
	// most `timeout`; an error, with the reason in `error`, when there is no
	// session bus to be reached by then.
	status_t Start(bigtime_t timeout, std::string* error);

	// The bus name of the player followed; empty while there is none.
	std::string Followed();

	virtual uint64 Generation() override;
	virtual void GetState(SourceState* state) override;
	virtual int32 Position() override;
	virtual void Play() override;
	virtual void Pause() override;
	virtual void TogglePlay() override;
	virtual void Next() override;
	virtual void Previous() override;
	virtual void SetPosition(int32 ms) override;
	virtual void Select(int32 index) override;

	// The local file that a "file://" address names, percent-decoded;
	// empty for any other address.
	static std::string FileFromUrl(const std::string& url);
	// Whether `busName` is the player the user named as `wanted`.
	static bool NameMatches(const std::string& wanted, const std::string& busName);

	struct Track {
		std::string id;       // mpris:trackid
		std::string url;
		std::string title;
		std::string artist;   // the first one named
		int64 length = -1;    // µs, -1: unknown
	};
	// A track from an MPRIS metadata dictionary (a{sv}); whatever is
	// missing or of the wrong type stays empty.
	static Track TrackFromMetadata(GVariant* metadata);

private:
	void _Run();
	void _Connected(GDBusConnection* connection, const std::string& error);
	void _Choose();
	void _Follow(const std::string& busName);
	void _Unfollow();
	void _ReadAll();
	void _ReadPosition();
	void _ReadTrackList();
	void _TakeMetadata(GVariant* metadata);
	void _TakeStatus(const char* status);
	void _TakeRate(double rate);
	void _Changed(bool jump);
	GVariant* _Get(const char* interface, const char* property);
	void _Call(const char* interface, const char* method, GVariant* parameters);
	bigtime_t _PositionAt(bigtime_t now) const;

	static void _OnNameOwnerChanged(GDBusConnection*, const char*, const char*,
		const char*, const char*, GVariant*, void*);
	static void _OnPropertiesChanged(GDBusConnection*, const char*, const char*,
		const char*, const char*, GVariant*, void*);
	static void _OnSeeked(GDBusConnection*, const char*, const char*,
		const char*, const char*, GVariant*, void*);
	static void _OnTrackList(GDBusConnection*, const char*, const char*,
		const char*, const char*, GVariant*, void*);
	static int _OnPoll(void* data);

	const std::string fWanted;
	const BMessenger fTarget;
	const uint32 fNews;
	const bigtime_t fPollInterval;

	// Only the GLib thread touches these after Start().
	GMainContext* fContext;
	GMainLoop* fLoop;
	GCancellable* fCancel;
	std::thread fThread;
	std::vector<unsigned> fSubscriptions;
	std::string fOwner;        // the unique name behind the followed name
	bool fHasTrackList;

	// Set on the GLib thread before Start() returns, read by any thread.
	GDBusConnection* fConnection;

	std::mutex fLock;
	std::condition_variable fStartedCondition;
	bool fStarted;
	std::string fStartError;
	// under fLock:
	std::string fFollowed;
	std::vector<Track> fTracks;
	int32 fIndex;
	Track fCurrent;
	bool fPlaying;
	double fRate;
	bigtime_t fBase;           // the position (µs) read at fBaseTime
	bigtime_t fBaseTime;
	bool fZeroRead;            // the last position read was 0, while playing
	bigtime_t fShown;          // the last position answered (µs), -1 none
	uint64 fGeneration;
	uint64 fJumps;
};

#endif
