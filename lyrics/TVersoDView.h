// The view that fills the lyrics window: it polls the player, loads the
// lyrics of the playing song, follows the play position and draws the
// current line centred and highlighted.
//
// Ownership: the view owns its background bitmap, its off-screen bitmap
// (with the off-screen view inside it), its context menu and its poll
// timer; the menu's stay-on-top item belongs to the menu. The view itself
// belongs to its window once added, as every child view.
//
// Threads: everything here runs in the window's thread, except the
// front-end client's own thread and its receiver's looper. The accessors
// below read plain fields; call them with the window locked.
#ifndef LYRICS_T_VERSO_D_VIEW_H
#define LYRICS_T_VERSO_D_VIEW_H

#include "framework/TORVView.h"
#include "lyrics/LineTrace.h"
#include "plugin/MelodeckFrontEnd.h"
#include "plugin/MelodeckSongEntry.h"

#include <Rect.h>
#include <SupportDefs.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

class BBitmap;
class BFont;
class BMenuItem;
class BMessage;
class BMessageRunner;
class BPopUpMenu;
class BView;

class TVersoDView : public TORVView {
public:
	// The frame is given in the window's coordinates. The view follows all
	// sides of its window and starts its front-end client at once.
	TVersoDView(BRect frame);
	virtual ~TVersoDView();

	virtual void AttachedToWindow() override;
	virtual void DetachedFromWindow() override;
	virtual void Draw(BRect updateRect) override;
	virtual void FrameResized(float width, float height) override;
	virtual void MessageReceived(BMessage* message) override;

	virtual void MouseDownLeft(BPoint where) override;
	virtual void MouseDownRight(BPoint where) override;
	virtual void MouseClickRightSingle(BPoint where) override;

	// The lyrics file of the loaded song (it need not exist yet); empty
	// when no song is loaded.
	std::string LyricsFName();
	// The modification time of that file, 0 when it cannot be read.
	time_t LyricsModificationTime();

	// Draws the whole screen for `line` as the current line into `target`,
	// whose bounds must equal this view's.
	void DrawLyrics(BView* target, int32 line);

	// Reloads the lyrics of the playing song (or the information lines).
	void PrepareLyrics();
	bool LoadLyrics();
	void LoadPluginInfo();
	// Moves the current line to the play position; true when it changed.
	bool CalcDispLyrics();

	// Reads the appearance preferences; applies them to this view and/or
	// to the off-screen view.
	void SetAppearance(bool thisView, bool offScreenView);
	void SetAppearanceOfSpecifyView(BView* view, BFont* font);

	void CreateOffScreen();
	void DestroyOffScreen();

	void SetLyricsNodeWatching();
	void ClearLyricsNodeWatching();

	// Builds the context menu anew (after a language or accelerator-format
	// change); its items aim at the view's window.
	void CreatePopupMenu();
	void LanguageChanged();

	// For tests and diagnostics; window locked.
	int32 CurrentLine() const { return fCurLine; }
	int32 PreparedLine() const { return fPreparedLine; }
	int32 CountDisplayLines() const { return static_cast<int32>(fLines.size()); }
	std::string DisplayLine(int32 index) const
	{
		if (index < 0 || index >= static_cast<int32>(fLines.size()))
			return std::string();
		return fLines[static_cast<size_t>(index)];
	}
	bool IsDoubleBuffered() const { return fOffScreen != nullptr; }
	BPopUpMenu* PopupMenu() const { return fPopupMenu; }
	BMenuItem* StayOnTopItem() const { return fStayOnTopItem; }
	int32 PollCount() const { return fPollCount; }
	float TextHeight() const { return fTextHeight; }
	float LinePitch() const { return fLinePitch; }

private:
	// One version of a file on disk (see LyricsModificationTime).
	struct FileStamp {
		int64 seconds = 0;
		int64 nanoseconds = 0;
		int64 size = -1;
		int64 node = 0;
		bool operator==(const FileStamp&) const = default;
	};
	static FileStamp StampOf(const std::string& path);

	void PollingMelodeckInfoRqtd();
	void PrefAppearanceChanged();
	void PrefDoubleBufferingChanged();
	void IAPChanged(BMessage* message);
	void SimpleData(BMessage* message);
	void NodeMonitor(BMessage* message);
	void ReadingChanged();
	void ReloadLyrics();
	void DeletePopupMenu();
	void ResetPollInterval(bigtime_t interval);
	float LineWidth(BView* target, int32 index);
	// (tag time in ms, line index), by time: every poll looks its line up
	// here, and a sorted array keeps that lookup to a few neighbouring
	// cache lines where a map's nodes lie scattered over the heap
	typedef std::vector<std::pair<int32, int32>> TagTimes;
	// The first tag after the position.
	TagTimes::const_iterator NextTag(int32 position) const;

	TagTimes fTimes;
	int32 fCurLine;
	int32 fCurLineTag;                 // tag time (ms) that made it current; -1: none
	int32 fPreparedLine;               // line ready in the off-screen bitmap
	float fTextHeight;
	float fLinePitch;
	time_t fLyricsMTime;
	FileStamp fLyricsStamp;            // finer than fLyricsMTime
	std::vector<std::string> fLines;
	// Width of each line in the display font, measured when first drawn
	// (negative: not yet); cleared when the lines or the font change.
	std::vector<float> fLineWidths;
	BBitmap* fBackground;
	BBitmap* fOffScreen;
	BView* fOffScreenView;             // "OSView", owned by fOffScreen
	BPopUpMenu* fPopupMenu;
	BMenuItem* fStayOnTopItem;
	BMessageRunner* fPollTimer;
	bigtime_t fPollInterval;           // the period the timer runs with
	Melodeck_FrontEnd fFrontEnd;
	MelodeckSongEntry fSongEntry;
	bool fWatching;
	int32 fPollCount;                  // polls handled so far
	TLineTrace fLineTrace;             // VERSO_TRACE_LINES
};

#endif
