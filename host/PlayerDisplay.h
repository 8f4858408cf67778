// The player window's display: the playing entry's title, its number in
// the playlist, whether it plays, and the position and length (m:ss).
//
// It shows what SetState() last gave it and redraws only when the text it
// shows changes, so a state that arrives several times a second costs a
// redraw about once a second. A title too wide for the view is cut with an
// ellipsis when drawn; Title() still returns the whole of it.
//
// The time is measured and drawn a character at a time, from widths kept
// here and layouts that the text engine keeps: a new string every second
// would be laid out anew every second, nearly three times the cost of
// drawing it.
// With the system font that is the same to the pixel as drawing the string
// whole (no kerning between its digits and signs).
//
// Ownership: an ordinary view; its window (or parent) owns it.
#ifndef HOST_PLAYER_DISPLAY_H
#define HOST_PLAYER_DISPLAY_H

#include "PlayerState.h"

#include <View.h>

#include <string>

class PlayerDisplay : public BView {
public:
	PlayerDisplay(BRect frame, const char* name, uint32 resizingMode);

	virtual void AttachedToWindow() override;
	virtual void Draw(BRect updateRect) override;
	virtual void FrameResized(float width, float height) override;

	void SetState(const PlayerState& state);
	// SetState for a thread other than the window's, holding its lock:
	// what changed is drawn at once, as the window's update would draw it,
	// and reaches the screen at the window's next Flush().
	void DrawStateNow(const PlayerState& state);

	// What the display shows (with its window locked).
	const std::string& Title() const { return fTitle; }
	// "0:42 / 3:15"; empty with nothing to play.
	const std::string& TimeText() const { return fTime; }
	// "2 of 5 · Playing", "Paused", "Nothing to play"; with sound, the
	// volume or "Muted" after it.
	const std::string& StatusText() const { return fStatus; }
	// The last entry skipped, shown instead of the status while it is
	// news; empty when there is none.
	const std::string& ProblemText() const { return fProblem; }

	// Colours of the display, for whoever draws beside it.
	static rgb_color BackgroundColor();
	static rgb_color TextColor();
	static rgb_color DimTextColor();
	static rgb_color ProblemColor();

private:
	// Takes the state; returns the area to draw again (invalid when
	// nothing shown changed).
	BRect _Take(const PlayerState& state);
	std::string _Fitted(const BFont& font, const std::string& text, float width) const;
	// Where the time and the status line are drawn.
	BRect _LowerLineFrame() const;
	// The part of it that a time of `widest` pixels at most touches.
	BRect _TimeFrame(float widest) const;
	const std::string& _Status() const;
	float _TextWidth() const;
	// The time's width in fSmallFont, and the time drawn from `start`.
	float _TimeStringWidth(const std::string& time);
	// One ASCII character's width in fSmallFont.
	float _CharWidth(char c);
	void _DrawTime(BPoint start);

	BFont fTitleFont;
	BFont fSmallFont;
	std::string fTitle;
	std::string fTime;
	std::string fStatus;
	std::string fProblem;
	// The widths of fTime and of _Status() in fSmallFont: the time changes
	// every second, and is measured once for each.
	float fTimeWidth = 0;
	float fStatusWidth = 0;
	// The widths of single ASCII characters in fSmallFont, once measured
	// (negative before).
	float fCharWidths[128];
};

#endif
