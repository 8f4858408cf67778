// Melodeck, the player application.
//
// It plays a playlist on a clock and answers:
//   - the front-end hello 'MDAm' with "Msgr", a messenger to its front-end
//     handler, which answers 'MDAi' with the information block;
//   - scripting on the "Entry" property of "Playlist" (PlaylistHandler);
//   - the control and state messages of HostProtocol.h, which is how its
//     window (PlayerWindow), tests and other programs drive it.
// Everything else goes on to BApplication.
//
// General plug-ins are loaded and started (Init) when the application is
// ready to run; the window, when there is to be one, opens just before, so
// that the plug-ins find it when they start. Quitting takes them down first, on a thread of its own,
// while the application keeps answering them: a plug-in window that asks
// the player something while it closes gets its answer instead of waiting
// for a player that waits for it. kMelodeckReloadPlugins takes them down
// the same way and then loads and starts them again.
//
// With HostOptions::audio the entries play through libmpv (AudioPlayer);
// when libmpv cannot be started the player says so on stderr and plays on
// the clock.
//
// With HostOptions::follow it follows a media player on the session bus
// (MprisFollower) instead; FollowError() says why when the bus cannot be
// reached. With HostOptions::mprisServer its playback is offered on the
// session bus (MprisServer).
//
// Ownership: the application owns its playback, audio player, handlers,
// plug-ins and timers. The clock is not owned and must outlive the application.
#ifndef HOST_MELODECK_APP_H
#define HOST_MELODECK_APP_H

#include "HostOptions.h"
#include "Playback.h"
#include "PluginHost.h"

#include <Application.h>

class AudioPlayer;
class BMessageRunner;
class Clock;
class FrontEndHandler;
class MprisFollower;
class MprisServer;
class PlaylistHandler;

extern const char* const kMelodeckAppSignature;  // "application/x-vnd.Orlund-Melodeck"

class MelodeckApp : public BApplication {
public:
	MelodeckApp(const Playlist& playlist, Clock* clock, const HostOptions& options);
	virtual ~MelodeckApp();

	virtual void ReadyToRun() override;
	virtual bool QuitRequested() override;
	virtual void MessageReceived(BMessage* message) override;
	virtual void DispatchMessage(BMessage* message, BHandler* handler) override;
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index,
		BMessage* specifier, int32 form, const char* property) override;
	virtual status_t GetSupportedSuites(BMessage* data) override;

	// For whoever runs the application on another thread: waits until the
	// plug-ins are loaded and started and the playlist plays. False after
	// `timeout` (µs).
	bool WaitUntilReady(bigtime_t timeout);

	// Why the player to follow cannot be looked for (no session bus);
	// empty when it can, or when no player is to be followed.
	const std::string& FollowError() const { return fFollowError; }

	// Only on the application's thread, with the application locked.
	Playback* GetPlayback() { return &fPlayback; }

private:
	enum TeardownState { kPluginsRunning, kPluginsTearingDown, kPluginsGone };

	BHandler* _ResolveSpecifiers(BMessage* message);
	void _HandleCommand(BMessage* message);
	void _HandlePluginRequest(BMessage* message);
	void _OpenWindow();
	void _TellWindowPlugins();
	void _PrintStatus();
	void _ScheduleTick(bool force);
	bool _ShowInWindow(BMessage* request, const BMessage& state);
	void _StartTeardown();
	// After the teardown: quit, or load the plug-ins again when that was
	// what the teardown was for.
	void _TeardownDone();
	void _LoadPlugins();
	static int32 _TeardownThread(void* data);

	void _ReplyAudioState(BMessage* message);

	Clock* fClock;
	HostOptions fOptions;
	AudioPlayer* fAudio;   // NULL when playing on the clock
	MprisFollower* fFollower;   // NULL unless following another player
	std::string fFollowError;
	MprisServer* fMpris;   // NULL unless offered on the session bus
	Playback fPlayback;
	FrontEndHandler* fFrontEnd;
	PlaylistHandler* fPlaylistHandler;
	PluginHost fPlugins;
	BMessenger fWindow;   // the player's window, when it has one
	TeardownState fTeardown;
	thread_id fTeardownThread;
	BMessageRunner* fTickRunner;
	bigtime_t fTickWait;         // the tick runner's interval now
	BMessageRunner* fStatusRunner;
	BMessageRunner* fQuitRunner;
	BMessageRunner* fReloadRunner;
	bool fReloadAfterTeardown;
	int32 fReloads;
	bool fStatusPrinted;
	sem_id fReady;
};

#endif
