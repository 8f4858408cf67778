// Messages that control the player and report its state: for the player's
// window, for tests, and for anybody who holds a messenger to the player.
//
// Commands go to the player application. A sender that waits for a reply
// gets B_REPLY with "error" (int32, B_OK or the reason) once the command
// has been carried out; kMelodeckGetState is answered with kMelodeckState.
#ifndef HOST_HOST_PROTOCOL_H
#define HOST_HOST_PROTOCOL_H

#include <SupportDefs.h>

enum {
	// playback
	kMelodeckPlay          = 'Mply',
	kMelodeckPause         = 'Mpau',
	kMelodeckTogglePlay    = 'Mtgl',
	kMelodeckNext          = 'Mnxt',
	kMelodeckPrevious      = 'Mprv',
	// "position" (int32, ms), or "offset" (int32, ms from where it is)
	kMelodeckSeek          = 'Msek',
	kMelodeckSelect        = 'Msel',   // "index" (int32, 0-based); plays it
	// the sound's volume: "volume" (int32, 0 … 100) or "offset" (int32)
	kMelodeckSetVolume     = 'Mvol',
	kMelodeckToggleMute    = 'Mmut',
	// moves a manual clock by "ms" (int32) and lets entries end; refused
	// with B_NOT_ALLOWED when the player runs on the real clock
	kMelodeckAdvance       = 'Madv',

	// state
	kMelodeckGetState      = 'Mgst',   // answered with kMelodeckState
	kMelodeckState         = 'Msta',
	kMelodeckStartWatching = 'Mwat',   // "target" (messenger)
	kMelodeckStopWatching  = 'Mstw',   // "target" (messenger)
	kMelodeckStateChanged  = 'Mchg',   // the state fields plus "change"
	// answered with B_REPLY: "position" (the one reported), "audio
	// position" (libmpv's own, asked at the same moment; absent when no
	// sound plays), "index", "output" (the sound output); B_NOT_ALLOWED
	// when the player plays on the clock
	kMelodeckGetAudioState = 'Mgas',

	// general plug-ins
	kMelodeckGetPlugins    = 'Mgpl',   // reply: "name", "description", "path" per plug-in
	kMelodeckPluginPrefs   = 'Mppr',   // "plugin" (int32, index): Prefs(false)
	kMelodeckPluginAbout   = 'Mpab',   // "plugin" (int32, index): About(false)
	// takes every plug-in down and loads them again from where they came
	// from; ignored while they are being taken down
	kMelodeckReloadPlugins = 'Mrpl',

	// the player's own timers and threads
	kMelodeckTick          = 'Mtck',
	kMelodeckPrintStatus   = 'Mprs',
	kMelodeckPluginsGone   = 'Mpgn',
	kMelodeckAudioNews     = 'Maud',
	kMelodeckFollowNews    = 'Mfol'
};

// Fields of kMelodeckState and kMelodeckStateChanged.
#define MELODECK_FIELD_INDEX     "index"      // int32, -1 with an empty playlist
#define MELODECK_FIELD_COUNT     "count"      // int32, number of entries
#define MELODECK_FIELD_POSITION  "position"   // int32, ms into the entry
#define MELODECK_FIELD_LENGTH    "length"     // int32, ms
#define MELODECK_FIELD_PLAYING   "playing"    // bool
#define MELODECK_FIELD_TITLE     "title"      // string
#define MELODECK_FIELD_FILENAME  "filename"   // string
#define MELODECK_FIELD_PROBLEM   "problem"    // string, the last entry skipped and why
#define MELODECK_FIELD_AUDIO     "audio"      // bool, the entries play through libmpv
#define MELODECK_FIELD_VOLUME    "volume"     // int32, 0 … 100 (with "audio" only)
#define MELODECK_FIELD_MUTED     "muted"      // bool (with "audio" only)
#define MELODECK_FIELD_CHANGE    "change"     // int32, the bits below
// Of kMelodeckSeek only.
#define MELODECK_FIELD_OFFSET    "offset"     // int32, ms, negative: back

// What a kMelodeckStateChanged reports.
enum {
	kMelodeckEntryChanged     = 0x1,   // another entry is current
	kMelodeckPlayStateChanged = 0x2,   // started, paused or stopped
	kMelodeckPositionChanged  = 0x4,   // sought (not the clock's steady run)
	kMelodeckVolumeChanged    = 0x8    // volume or mute
};

#endif
