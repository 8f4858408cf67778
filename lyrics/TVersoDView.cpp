#include "TVersoDView.h"

#include "VersoDMessages.h"
#include "framework/TextUtils.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "lyrics/LyricsFile.h"
#include "lyrics/Timeline.h"
#include "plugin/AppGlobals.h"
#include "prefs/PrefStore.h"

#include <AppDefs.h>
#include <Bitmap.h>
#include <Entry.h>
#include <Font.h>
#include <MenuItem.h>
#include <MessageRunner.h>
#include <NodeMonitor.h>
#include <OS.h>
#include <Path.h>
#include <PopUpMenu.h>
#include <TranslationUtils.h>
#include <Window.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <list>

namespace {

// The front-end client asks by itself only when told to; the view asks once
// per poll instead, so the interval only matters for the client's own loop.
const bigtime_t kFrontEndInterval = 100000;
const int32 kFrontEndPriority = 10;
// While a poll loads lyrics (it asks the player for its playlist, which may
// take a while) the timer is held back so that polls do not pile up.
const bigtime_t kPollHoldOff = 100000000;
// A poll interval below this would flood the window with messages.
const bigtime_t kMinPollInterval = 1000;

const char* const kAccKeyFormatItem = "AccKeyFormat";
const char* const kDefaultAccKeyFormat = "a) ";

const char* language_text(const char* key)
{
	return gLLT != nullptr ? gLLT->Text(key) : kLLTMissingText;
}

// What the drawing needs from the preferences, copied once per draw so
// that the preference lock is never held while drawing.
struct DrawPrefs {
	bool useBackgroundImage = false;
	bool useActiveFrame = false;
	int32 imageAlignment = 0;
	rgb_color activeBack = {};
	rgb_color activeFrame = {};
	rgb_color activeText = {};
	rgb_color back = {};
	rgb_color text = {};
};

DrawPrefs read_draw_prefs()
{
	DrawPrefs prefs;
	if (gPref == nullptr)
		return prefs;
	TPrefLock pref;
	prefs.useBackgroundImage = pref->useBackgroundImage;
	prefs.useActiveFrame = pref->useActiveFrame;
	prefs.imageAlignment = pref->imageAlignment;
	prefs.activeBack = pref->activeBackColor;
	prefs.activeFrame = pref->activeFrameColor;
	prefs.activeText = pref->activeTextColor;
	prefs.back = pref->backColor;
	prefs.text = pref->textColor;
	return prefs;
}

[[gnu::hot]] bigtime_t read_poll_interval()
{
	bigtime_t interval = 25000;
	if (gPref != nullptr)
		interval = TPrefLock()->pollingInterval;
	return interval < kMinPollInterval ? kMinPollInterval : interval;
}

bool read_extended_tags()
{
	return gPref != nullptr && TPrefLock()->readExtendedTags;
}

bool read_double_buffering()
{
	return gPref != nullptr && TPrefLock()->doubleBuffering;
}

}

// The modification time alone has whole seconds; a file saved twice within
// one second must still count as changed, so the finer time, the size and
// the node are compared too.
TVersoDView::FileStamp TVersoDView::StampOf(const std::string& path)
{
	FileStamp stamp;
	if (path.empty())
		return stamp;
	struct stat st;
	if (BEntry(path.c_str()).GetStat(&st) != B_OK)
		return stamp;
	stamp.seconds = st.st_mtim.tv_sec;
	stamp.nanoseconds = st.st_mtim.tv_nsec;
	stamp.size = st.st_size;
	stamp.node = static_cast<int64>(st.st_ino);
	return stamp;
}

TVersoDView::TVersoDView(BRect frame)
	:
	TORVView(frame, "VersoDisplayerView", B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS),
	fCurLine(0),
	fCurLineTag(-1),
	fPreparedLine(-1),
	fTextHeight(0),
	fLinePitch(0),
	fLyricsMTime(0),
	fBackground(nullptr),
	fOffScreen(nullptr),
	fOffScreenView(nullptr),
	fPopupMenu(nullptr),
	fStayOnTopItem(nullptr),
	fPollTimer(nullptr),
	fPollInterval(0),
	fFrontEnd(false, kFrontEndInterval),
	fWatching(false),
	fPollCount(0),
	fLineTrace(TLineTrace::EnabledByEnvironment(), stderr)
{
	fFrontEnd.fReceiver->SetLaunchPlayer(true);
	fFrontEnd.fPriority = kFrontEndPriority;
	fFrontEnd.fAbortRequested = false;
	fFrontEnd.fFinished = false;
	fFrontEnd.fThreadID = spawn_thread(&MDThread::MainStarter, "Melo-Deck FrontEnd",
		kFrontEndPriority, &fFrontEnd);
	if (fFrontEnd.fThreadID >= 0)
		resume_thread(fFrontEnd.fThreadID);
	else
		fFrontEnd.fFinished = true;  // nothing to wait for at the end

	LoadPluginInfo();
}

TVersoDView::~TVersoDView()
{
	delete fBackground;
	DestroyOffScreen();
	DeletePopupMenu();
	delete fPollTimer;
	// the front-end client stops its thread in its own destructor
}

void TVersoDView::AttachedToWindow()
{
	TORVView::AttachedToWindow();
	CreatePopupMenu();
	if (read_double_buffering())
		CreateOffScreen();
	SetAppearance(true, false);

	delete fPollTimer;
	BMessage poll(kMsgPollPlayer);
	fPollInterval = read_poll_interval();
	fPollTimer = new BMessageRunner(BMessenger(this), &poll, fPollInterval);
}

void TVersoDView::DetachedFromWindow()
{
	DeletePopupMenu();
	delete fPollTimer;
	fPollTimer = nullptr;
	// the off-screen bitmap is only kept while the view is on screen
	DestroyOffScreen();
	// node-monitor messages name this view; none may reach it once it has
	// left the window
	ClearLyricsNodeWatching();
	TORVView::DetachedFromWindow();
}

[[gnu::hot]] void TVersoDView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgPollPlayer:
			PollingMelodeckInfoRqtd();
			break;
		case kMsgAppearanceChanged:
			PrefAppearanceChanged();
			break;
		case kMsgDoubleBufferingChanged:
			PrefDoubleBufferingChanged();
			break;
		case kMsgLanguageChanged:
			LanguageChanged();
			break;
		case kMsgIAPChanged:
			IAPChanged(message);
			break;
		case B_SIMPLE_DATA:
			SimpleData(message);
			break;
		case B_NODE_MONITOR:
			NodeMonitor(message);
			break;
		case kMsgReadingChanged:
			ReadingChanged();
			break;
		default:
			TORVView::MessageReceived(message);
	}
}

// #pragma mark - following the player

void TVersoDView::ResetPollInterval(bigtime_t interval)
{
	if (fPollTimer != nullptr)
		fPollTimer->SetInterval(interval);
}

[[gnu::hot]] void TVersoDView::PollingMelodeckInfoRqtd()
{
	fFrontEnd.TakeInfo();
	// the answer is taken by the next poll
	fFrontEnd.SendInfoRequest();

	const char* loaded = fSongEntry.title != nullptr ? fSongEntry.title : "";
	if (fFrontEnd.Title() != loaded) {
		// Loading asks the player for its playlist and reads the file; the
		// timer waits meanwhile, so that polls do not pile up behind it.
		ResetPollInterval(kPollHoldOff);
		fLineTrace.Reset();
		ClearLyricsNodeWatching();
		PrepareLyrics();
		Invalidate();
		SetLyricsNodeWatching();
		fPollInterval = read_poll_interval();
		ResetPollInterval(fPollInterval);
	} else {
		if (CalcDispLyrics())
			Invalidate();
		// a changed preference takes effect from the next period on
		const bigtime_t interval = read_poll_interval();
		if (interval != fPollInterval) {
			fPollInterval = interval;
			ResetPollInterval(fPollInterval);
		}
	}
	fPollCount++;
}

void TVersoDView::PrepareLyrics()
{
	fTimes.clear();
	fLines.clear();
	fLineWidths.clear();
	fCurLine = 0;
	fCurLineTag = -1;
	fPreparedLine = -1;
	fSongEntry.Clear();

	if (!LoadLyrics())
		LoadPluginInfo();
	fLyricsStamp = StampOf(LyricsFName());
	fLyricsMTime = static_cast<time_t>(fLyricsStamp.seconds);
}

bool TVersoDView::LoadLyrics()
{
	if (!get_current_song_entry(&fFrontEnd, &fSongEntry))
		return false;

	entry_ref ref;
	const std::string path = LyricsFName();
	if (path.empty() || get_ref_for_path(path.c_str(), &ref) != B_OK)
		return false;

	std::list<std::string> lines;
	int32 crType = 0;
	int32 encoding = 0;
	if (!load_lyrics(ref, &lines, &crType, &encoding))
		return false;

	TTimeline timeline;
	timeline.Build(lines, read_extended_tags());
	fTimes.assign(timeline.Times().begin(), timeline.Times().end());
	fLines = timeline.Texts();
	fLineWidths.clear();
	return true;
}

void TVersoDView::LoadPluginInfo()
{
	fLines.clear();
	fLineWidths.clear();
	fLines.push_back(std::string(gAppName) + "    " + gAppVer);
	fLines.push_back(std::string(gCrightPrfx) + language_text("App_Author"));
}

[[gnu::hot]] bool TVersoDView::CalcDispLyrics()
{
	if (fTimes.empty())
		return false;

	const auto next = NextTag(fFrontEnd.PlayPosition());
	const int32 line = next == fTimes.begin() ? 0 : std::prev(next)->second;
	if (line == fCurLine)
		return false;
	fCurLine = line;
	fCurLineTag = next == fTimes.begin() ? -1 : std::prev(next)->first;
	return true;
}

[[gnu::hot]] TVersoDView::TagTimes::const_iterator TVersoDView::NextTag(int32 position) const
{
	return std::upper_bound(fTimes.begin(), fTimes.end(), position,
		[](int32 time, const std::pair<int32, int32>& tag) { return time < tag.first; });
}

// #pragma mark - the lyrics file on disk

std::string TVersoDView::LyricsFName()
{
	if (fSongEntry.filename == nullptr)
		return std::string();
	return lyrics_fname(fSongEntry);
}

time_t TVersoDView::LyricsModificationTime()
{
	return static_cast<time_t>(StampOf(LyricsFName()).seconds);
}

void TVersoDView::SetLyricsNodeWatching()
{
	const std::string path = LyricsFName();
	if (path.empty() || Looper() == nullptr)
		return;

	const uint32 flags = B_WATCH_NAME | B_WATCH_STAT | B_WATCH_ATTR | B_WATCH_DIRECTORY;
	BEntry file(path.c_str());
	node_ref node;
	if (file.GetNodeRef(&node) == B_OK && watch_node(&node, flags, this) == B_OK)
		fWatching = true;

	// the folder reports a lyrics file that is created later
	BEntry folder;
	if (file.GetParent(&folder) == B_OK && folder.GetNodeRef(&node) == B_OK
		&& watch_node(&node, flags, this) == B_OK)
		fWatching = true;
}

void TVersoDView::ClearLyricsNodeWatching()
{
	if (!fWatching)
		return;
	stop_watching(this, Looper());
	fWatching = false;
}

void TVersoDView::NodeMonitor(BMessage*)
{
	if (StampOf(LyricsFName()) == fLyricsStamp)
		return;
	ReloadLyrics();
}

void TVersoDView::ReadingChanged()
{
	// Without a song there is nothing to read again; the next song is read
	// with the new settings anyway.
	if (fSongEntry.title == nullptr)
		return;
	ReloadLyrics();
}

void TVersoDView::ReloadLyrics()
{
	ClearLyricsNodeWatching();
	PrepareLyrics();
	// the same song plays on: its line is known without waiting for a poll
	CalcDispLyrics();
	Invalidate();
	SetLyricsNodeWatching();
}

// #pragma mark - drawing

void TVersoDView::Draw(BRect)
{
	if (fOffScreen != nullptr && fPreparedLine == fCurLine)
		DrawBitmap(fOffScreen, BPoint(0, 0));
	else
		DrawLyrics(this, fCurLine);
	if (fLineTrace.IsEnabled())
		fLineTrace.Drawn(fCurLine, fCurLineTag, fFrontEnd.PlayPosition(), system_time());

	if (fOffScreen == nullptr)
		return;

	// Render the screen of the line that becomes current next, so that the
	// change to it is a single copy.
	const auto nextTag = NextTag(fFrontEnd.PlayPosition());
	const int32 next = nextTag == fTimes.end() ? -1 : nextTag->second;
	if (fPreparedLine == next)
		return;
	if (!fOffScreen->Lock())
		return;
	fPreparedLine = next;
	DrawLyrics(fOffScreenView, next);
	fOffScreenView->Sync();
	fOffScreen->Unlock();
}

void TVersoDView::DrawLyrics(BView* target, int32 line)
{
	const BRect bounds = target->Bounds();
	if (bounds != Bounds())
		return;

	const DrawPrefs prefs = read_draw_prefs();
	const float right = bounds.right;
	const float height = bounds.bottom;

	const bool image = prefs.useBackgroundImage && fBackground != nullptr;
	if (!image) {
		target->SetHighColor(prefs.back);
		target->FillRect(bounds);
	} else if (prefs.imageAlignment == 0) {
		const BRect imageBounds = fBackground->Bounds();
		const float w = imageBounds.right + 1;
		const float h = imageBounds.bottom + 1;
		const int32 columns = static_cast<int32>(std::ceil(right / w));
		const int32 rows = static_cast<int32>(std::ceil(height / h));
		for (int32 j = 0; j < rows; j++) {
			for (int32 i = 0; i < columns; i++)
				target->DrawBitmap(fBackground, BPoint(w * i, h * j));
		}
	} else {
		target->DrawBitmap(fBackground, bounds);
	}

	if (fLinePitch <= 0)
		return;
	const int32 count = static_cast<int32>(fLines.size());
	const int32 n = static_cast<int32>(std::ceil(height / fLinePitch));
	const int32 first = std::max<int32>(line - n / 2, 0);
	const int32 end = std::min<int32>(line + n / 2 + 1, count);
	const float centreTop = (height - fTextHeight) * 0.5f;

	for (int32 i = first; i < end; i++) {
		const float y = centreTop - fLinePitch * (line - i);
		if (i == line) {
			const BRect band(0, y - fTextHeight / 6, right, y + fTextHeight + fTextHeight / 6);
			if (!image) {
				target->SetHighColor(prefs.activeBack);
				target->FillRect(band);
			}
			if (prefs.useActiveFrame) {
				target->SetHighColor(prefs.activeFrame);
				target->StrokeRect(band);
			}
			target->SetHighColor(prefs.activeText);
			target->SetLowColor(prefs.activeBack);
		} else {
			target->SetHighColor(prefs.text);
			target->SetLowColor(prefs.back);
		}
		const float x = (right - LineWidth(target, i)) * 0.5f;
		target->DrawString(fLines[static_cast<size_t>(i)].c_str(), BPoint(x, y + fTextHeight));
	}
}

// Both views draw in the same font, so a width measured in one holds for
// the other; measuring text costs about as much as drawing it.
float TVersoDView::LineWidth(BView* target, int32 index)
{
	if (fLineWidths.size() != fLines.size())
		fLineWidths.assign(fLines.size(), -1);
	float& width = fLineWidths[static_cast<size_t>(index)];
	if (width < 0)
		width = target->StringWidth(fLines[static_cast<size_t>(index)].c_str());
	return width;
}

void TVersoDView::FrameResized(float width, float height)
{
	TORVView::FrameResized(width, height);
	if (read_double_buffering()) {
		DestroyOffScreen();
		CreateOffScreen();
	}
	Invalidate();
}

// #pragma mark - appearance

void TVersoDView::SetAppearance(bool thisView, bool offScreenView)
{
	bool useImage = false;
	bool antiAliasing = true;
	float size = 12;
	font_family family;
	std::string imagePath;
	memset(family, 0, sizeof(family));
	if (gPref != nullptr) {
		TPrefLock pref;
		useImage = pref->useBackgroundImage;
		antiAliasing = pref->antiAliasing;
		size = pref->fontSize;
		memcpy(family, pref->fontFamily, sizeof(family));
		imagePath = pref->backgroundImage;
	}

	delete fBackground;
	fBackground = nullptr;
	if (useImage && !imagePath.empty())
		fBackground = BTranslationUtils::GetBitmap(imagePath.c_str());

	BFont font;
	GetFont(&font);
	if (family[0] != '\0')
		font.SetFamilyAndFace(family, B_REGULAR_FACE);
	font.SetSize(size);
	font.SetFlags(antiAliasing ? B_FORCE_ANTIALIASING : B_DISABLE_ANTIALIASING);

	fLineWidths.clear();
	font_height fh;
	font.GetHeight(&fh);
	fTextHeight = fh.ascent + fh.descent;
	fLinePitch = fh.ascent + fh.descent + fh.leading + (fh.ascent + fh.descent) / 3;

	if (thisView)
		SetAppearanceOfSpecifyView(this, &font);
	if (offScreenView && fOffScreen != nullptr && fOffScreen->Lock()) {
		SetAppearanceOfSpecifyView(fOffScreenView, &font);
		fOffScreen->Unlock();
	}
}

void TVersoDView::SetAppearanceOfSpecifyView(BView* view, BFont* font)
{
	view->SetViewColor(B_TRANSPARENT_COLOR);
	view->SetFont(font, B_FONT_ALL);
}

void TVersoDView::CreateOffScreen()
{
	DestroyOffScreen();
	const BRect bounds = Bounds();
	fOffScreen = new BBitmap(bounds, B_RGB32, true);
	if (fOffScreen->InitCheck() != B_OK) {
		// without a bitmap the view simply draws directly
		delete fOffScreen;
		fOffScreen = nullptr;
		return;
	}
	fOffScreenView = new BView(bounds, "OSView", B_FOLLOW_NONE, 0);
	if (!fOffScreen->Lock()) {
		delete fOffScreenView;
		DestroyOffScreen();
		return;
	}
	fOffScreen->AddChild(fOffScreenView);
	fOffScreen->Unlock();
	fPreparedLine = -1;
	SetAppearance(false, true);
}

void TVersoDView::DestroyOffScreen()
{
	// the bitmap deletes its views
	delete fOffScreen;
	fOffScreen = nullptr;
	fOffScreenView = nullptr;
	fPreparedLine = -1;
}

void TVersoDView::PrefDoubleBufferingChanged()
{
	DestroyOffScreen();
	if (read_double_buffering())
		CreateOffScreen();
	Invalidate();
}

void TVersoDView::PrefAppearanceChanged()
{
	fPreparedLine = -1;
	SetAppearance(true, true);
	Invalidate();
}

// #pragma mark - drops, language and shared preferences

void TVersoDView::SimpleData(BMessage* message)
{
	entry_ref ref;
	if (message->FindRef("refs", &ref) != B_OK)
		return;
	BPath path(&ref);
	if (path.InitCheck() != B_OK)
		return;

	// only an image that can really be read becomes the background
	BBitmap* image = BTranslationUtils::GetBitmap(path.Path());
	if (image == nullptr)
		return;
	delete image;

	if (gPref != nullptr) {
		TPrefLock pref;
		pref->useBackgroundImage = true;
		pref->backgroundImage = path.Path();
	}
	save_pref(false);

	if (BWindow* window = Window()) {
		window->PostMessage(kMsgAppearanceChanged, this);
		window->PostMessage(kMsgBackgroundImageChanged);
	}
}

void TVersoDView::IAPChanged(BMessage* message)
{
	const char* item = nullptr;
	if (message->FindString(kFieldIAPSrcItem, &item) == B_OK
		&& strcmp(item, kAccKeyFormatItem) == 0)
		LanguageChanged();
}

void TVersoDView::LanguageChanged()
{
	DeletePopupMenu();
	CreatePopupMenu();
}

// #pragma mark - the context menu

void TVersoDView::DeletePopupMenu()
{
	delete fPopupMenu;
	fPopupMenu = nullptr;
	fStayOnTopItem = nullptr;
}

void TVersoDView::CreatePopupMenu()
{
	DeletePopupMenu();

	std::string format;
	if (gIAP == nullptr || gIAP->GetString(kAccKeyFormatItem, &format) != B_OK)
		format = kDefaultAccKeyFormat;

	auto label = [&format](const char* key, const char* letter) {
		return orvik::merge_accelerator_key(format, letter, language_text(key));
	};
	auto item = [&label](const char* key, const char* letter, BMessage* message) {
		return new BMenuItem(label(key, letter).c_str(), message);
	};

	BPopUpMenu* menu = new BPopUpMenu("PopUp", false, false, B_ITEMS_IN_COLUMN);
	menu->AddItem(item("PopMItem_Open", "O", new BMessage(kMsgPopOpenLyrics)));
	menu->AddSeparatorItem();

	const char* posLetters[] = {"T", "B", "L", "R"};
	BMenu* positions = new BMenu(label("PopMenu_Win_Pos", "N").c_str(), B_ITEMS_IN_COLUMN);
	for (int32 i = 0; i < 4; i++) {
		BMessage* message = new BMessage(kMsgPopWinPos);
		message->AddInt32(kFieldWinPos, i);
		const std::string key = "PopMItem_WP_" + std::to_string(i);
		positions->AddItem(item(key.c_str(), posLetters[i], message));
	}
	menu->AddItem(positions);

	const char* sizeLetters[] = {"W", "H"};
	BMenu* sizes = new BMenu(label("PopMenu_Win_Size", "S").c_str(), B_ITEMS_IN_COLUMN);
	for (int32 i = 0; i < 2; i++) {
		BMessage* message = new BMessage(kMsgPopWinSize);
		message->AddInt32(kFieldWinSize, i);
		const std::string key = "PopMItem_WS_" + std::to_string(i);
		sizes->AddItem(item(key.c_str(), sizeLetters[i], message));
	}
	menu->AddItem(sizes);

	menu->AddItem(item("PopMItem_Hide", "D", new BMessage(kMsgPopHide)));
	menu->AddSeparatorItem();
	BMenuItem* stayOnTop = item("PopMItem_Stay_On_Top", "T", new BMessage(kMsgPopStayOnTop));
	menu->AddItem(stayOnTop);
	menu->AddItem(item("PopMItem_Pref", "P", new BMessage(kMsgPopPreferences)));
	menu->AddItem(item("PopMItem_ORVIK_Common_Pref", "S", new BMessage(kMsgPopCommonPrefs)));
	menu->AddSeparatorItem();
	menu->AddItem(item("PopMItem_Help", "H", new BMessage(kMsgPopHelp)));
	menu->AddSeparatorItem();
	menu->AddItem(item("PopMItem_Author_Web", "J", new BMessage(kMsgPopAuthorWeb)));
	menu->AddSeparatorItem();
	menu->AddItem(item("PopMItem_About", "A", new BMessage(B_ABOUT_REQUESTED)));

	BWindow* window = Window();
	positions->SetTargetForItems(window);
	sizes->SetTargetForItems(window);
	menu->SetTargetForItems(window);

	fPopupMenu = menu;
	fStayOnTopItem = stayOnTop;
}

// #pragma mark - mouse

void TVersoDView::MouseDownLeft(BPoint where)
{
	if (Window() != nullptr)
		Window()->Activate(true);
	TORVView::MouseDownLeft(where);
}

void TVersoDView::MouseDownRight(BPoint where)
{
	if (Window() != nullptr)
		Window()->Activate(true);
	TORVView::MouseDownRight(where);
}

void TVersoDView::MouseClickRightSingle(BPoint where)
{
	if (fPopupMenu == nullptr)
		return;
	const bool stayOnTop = gPref != nullptr && TPrefLock()->stayOnTop;
	if (fStayOnTopItem != nullptr)
		fStayOnTopItem->SetMarked(stayOnTop);
	fPopupMenu->Go(ConvertToScreen(where), true, true, true);
}
