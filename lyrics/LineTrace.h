// An opt-in trace of the lines the lyrics window shows, for measuring from
// outside how closely the display follows the music (bench/side-by-side
// does). With VERSO_TRACE_LINES=1 in the environment, each change of the
// line drawn as current writes one line to standard error:
//
//   gen_VersoD: line 12 tag 40.400 s at 40.412 s clock 8123.456789 s
//
// line: the index of the line among the lyrics' lines (from 0); tag: its
// time tag; at: the play position the displayer had when it drew the line;
// clock: the monotonic clock (system_time(), CLOCK_MONOTONIC) at that
// moment, so that another program can set the change against the player's
// own position. Only changes that a time tag caused are written: the first
// line of a song before its first tag is not.
//
// Not thread-safe: the view calls it from its window's thread.
#ifndef LYRICS_LINE_TRACE_H
#define LYRICS_LINE_TRACE_H

#include <SupportDefs.h>

#include <cstdio>

class TLineTrace {
public:
	// Traces into `out` (not owned) when `enabled`.
	TLineTrace(bool enabled, FILE* out);
	// Enabled by the environment variable VERSO_TRACE_LINES (set, not "0").
	static bool EnabledByEnvironment();

	bool IsEnabled() const { return fEnabled; }

	// The view drew `line`, reached at time tag `tagMs` (negative: reached
	// by no tag), while the play position was `positionMs`, at monotonic
	// time `now`. Writes a line when the line or its tag changed since the
	// last call.
	void Drawn(int32 line, int32 tagMs, int32 positionMs, bigtime_t now);
	// A song (or its lyrics) was loaded: the next drawn line counts as a
	// change even when its index is the same.
	void Reset();

private:
	bool fEnabled;
	FILE* fOut;
	int32 fLastLine;
	int32 fLastTag;
};

#endif
