#include "PlayerDisplay.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

const float kInset = 8;

// Where each character of UTF-8 text starts, and its end.
std::vector<size_t> character_starts(const std::string& text)
{
	std::vector<size_t> starts;
	for (size_t i = 0; i < text.size(); i++) {
		if (((unsigned char)text[i] & 0xc0) != 0x80)
			starts.push_back(i);
	}
	starts.push_back(text.size());
	return starts;
}

bool is_ascii(const std::string& text)
{
	return std::all_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 128; });
}

}

PlayerDisplay::PlayerDisplay(BRect frame, const char* name, uint32 resizingMode)
	:
	BView(frame, name, resizingMode, B_WILL_DRAW | B_FRAME_EVENTS | B_FULL_UPDATE_ON_RESIZE),
	fTitleFont(*be_bold_font),
	fSmallFont(*be_plain_font),
	fStatus("Nothing to play")
{
	fTitleFont.SetSize(14);
	fSmallFont.SetSize(11);
	std::fill(std::begin(fCharWidths), std::end(fCharWidths), -1.0f);
	fStatusWidth = fSmallFont.StringWidth(fStatus.c_str());
	SetViewColor(BackgroundColor());
}

rgb_color PlayerDisplay::BackgroundColor()
{
	return make_color(38, 43, 51);
}

rgb_color PlayerDisplay::TextColor()
{
	return make_color(238, 240, 243);
}

rgb_color PlayerDisplay::DimTextColor()
{
	return make_color(160, 171, 184);
}

rgb_color PlayerDisplay::ProblemColor()
{
	return make_color(255, 184, 77);
}

void PlayerDisplay::AttachedToWindow()
{
	BView::AttachedToWindow();
	SetLowColor(BackgroundColor());
}

void PlayerDisplay::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
	Invalidate();
}

void PlayerDisplay::SetState(const PlayerState& state)
{
	const BRect changed = _Take(state);
	if (changed.IsValid())
		Invalidate(changed);
}

void PlayerDisplay::DrawStateNow(const PlayerState& state)
{
	const BRect changed = _Take(state);
	if (!changed.IsValid())
		return;
	// As the update does: the view colour first. Draw() leaves alone what
	// lies above or beside the area, so nothing is drawn over twice.
	SetHighColor(BackgroundColor());
	FillRect(changed);
	Draw(changed);
}

BRect PlayerDisplay::_Take(const PlayerState& state)
{
	std::string title, time, status;
	if (state.HasEntry()) {
		title = state.title;
		time = format_play_time(state.position) + " / " + format_play_time(state.length);
		status = std::to_string(state.index + 1) + " of " + std::to_string(state.count)
			+ "  \xc2\xb7  " + (state.playing ? "Playing" : "Paused");
		if (state.audio) {
			status += "  \xc2\xb7  ";
			status += state.muted ? std::string("Muted")
				: "Volume " + std::to_string(state.volume) + "%";
		}
	} else
		status = "Nothing to play";

	if (title == fTitle && time == fTime && status == fStatus && state.problem == fProblem)
		return BRect();
	// While it plays, only the time changes from second to second: the
	// line below is drawn again, not the title, and only the time's end of
	// it when the status beside it is drawn whole either way.
	const bool onlyTime = title == fTitle && status == fStatus && state.problem == fProblem;
	const float timeWidth = _TimeStringWidth(time);
	const BRect changed = onlyTime ? _TimeFrame(std::max(fTimeWidth, timeWidth)) : Bounds();
	fTitle = title;
	fTime = time;
	fTimeWidth = timeWidth;
	if (!onlyTime) {
		fStatus = status;
		fProblem = state.problem;
		fStatusWidth = fSmallFont.StringWidth(_Status().c_str());
	}
	return changed;
}

float PlayerDisplay::_CharWidth(char c)
{
	float& width = fCharWidths[(unsigned char)c];
	if (width < 0) {
		const char one[2] = {c, '\0'};
		width = fSmallFont.StringWidth(one);
	}
	return width;
}

float PlayerDisplay::_TimeStringWidth(const std::string& time)
{
	if (!is_ascii(time))
		return fSmallFont.StringWidth(time.c_str());
	float width = 0;
	for (const char c : time)
		width += _CharWidth(c);
	return width;
}

// Called from Draw(), with fSmallFont set.
void PlayerDisplay::_DrawTime(BPoint start)
{
	if (!is_ascii(fTime)) {
		DrawString(fTime.c_str(), start);
		return;
	}
	for (const char c : fTime) {
		const char one[2] = {c, '\0'};
		DrawString(one, start);
		start.x += _CharWidth(c);
	}
}

BRect PlayerDisplay::_TimeFrame(float widest) const
{
	BRect line = _LowerLineFrame();
	widest += kInset;
	// a status cut to make room for the time changes with its width
	if (fStatusWidth > _TextWidth() - widest)
		return line;
	// two pixels more for the glyphs' antialiased edges
	line.left = std::max(line.left, Bounds().right - widest - 2);
	return line;
}

// What the line below says beside the time: a skipped entry is news, and
// takes the status's place.
const std::string& PlayerDisplay::_Status() const
{
	return fProblem.empty() ? fStatus : fProblem;
}

// The width the texts have inside the display's insets.
float PlayerDisplay::_TextWidth() const
{
	return std::max(0.0f, Bounds().Width() - 2 * kInset);
}

BRect PlayerDisplay::_LowerLineFrame() const
{
	// inside the edge, from the line's ascent down
	const BRect bounds = Bounds();
	font_height height;
	fSmallFont.GetHeight(&height);
	const float base = bounds.bottom - 6 - std::ceil(height.descent);
	return BRect(bounds.left + 1, std::floor(base - std::ceil(height.ascent)) - 1,
		bounds.right - 1, bounds.bottom - 1);
}

std::string PlayerDisplay::_Fitted(const BFont& font, const std::string& text,
	float width) const
{
	if (font.StringWidth(text.c_str()) <= width)
		return text;
	// The longest start of the text that fits with the ellipsis; titles
	// can be long, so search rather than cut one character at a time.
	static const std::string kEllipsis = "\xe2\x80\xa6";
	const std::vector<size_t> starts = character_starts(text);
	size_t low = 0, high = starts.size() - 1;
	while (low < high) {
		const size_t middle = (low + high + 1) / 2;
		const std::string candidate = text.substr(0, starts[middle]) + kEllipsis;
		if (font.StringWidth(candidate.c_str()) <= width)
			low = middle;
		else
			high = middle - 1;
	}
	return text.substr(0, starts[low]) + kEllipsis;
}

void PlayerDisplay::Draw(BRect updateRect)
{
	const BRect bounds = Bounds();

	// a thin sunken edge, as a display set into the panel (not drawn again
	// for the time, which lies inside it)
	if (!bounds.InsetByCopy(1, 1).Contains(updateRect)) {
		SetHighColor(tint_color(BackgroundColor(), B_DARKEN_2_TINT));
		StrokeLine(bounds.LeftTop(), bounds.RightTop());
		StrokeLine(bounds.LeftTop(), bounds.LeftBottom());
		SetHighColor(tint_color(BackgroundColor(), B_LIGHTEN_1_TINT));
		StrokeLine(bounds.LeftBottom(), bounds.RightBottom());
		StrokeLine(bounds.RightTop(), bounds.RightBottom());
	}

	font_height titleHeight, smallHeight;
	fTitleFont.GetHeight(&titleHeight);
	fSmallFont.GetHeight(&smallHeight);
	const float titleBase = bounds.top + 6 + std::ceil(titleHeight.ascent);
	const float smallBase = bounds.bottom - 6 - std::ceil(smallHeight.descent);

	SetFont(&fTitleFont);
	SetHighColor(TextColor());
	const float textWidth = _TextWidth();
	if (updateRect.top <= titleBase + std::ceil(titleHeight.descent)) {
		DrawString(_Fitted(fTitleFont, fTitle, textWidth).c_str(),
			BPoint(bounds.left + kInset, titleBase));
	}

	SetFont(&fSmallFont);
	float timeWidth = 0;
	if (!fTime.empty()) {
		SetHighColor(TextColor());
		_DrawTime(BPoint(bounds.right - kInset - fTimeWidth, smallBase));
		timeWidth = fTimeWidth + kInset;
	}
	// Left alone when only the time's end of the line is drawn again.
	const float statusWidth = std::min(fStatusWidth, std::max(0.0f, textWidth - timeWidth));
	if (updateRect.left > bounds.left + kInset + statusWidth + 2)
		return;
	SetHighColor(fProblem.empty() ? DimTextColor() : ProblemColor());
	DrawString(_Fitted(fSmallFont, _Status(), std::max(0.0f, textWidth - timeWidth)).c_str(),
		BPoint(bounds.left + kInset, smallBase));
}
