// BStringView: a label of its own.
#include <StringView.h>

#include <Message.h>

#include "interface/ControlLook.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

static BPrivate::InstantiationRegistrar sStringViewRegistrar("BStringView",
	BStringView::Instantiate);

BStringView::BStringView(BRect frame, const char* name, const char* text,
	uint32 resizingMode, uint32 flags)
	: BView(frame, name, resizingMode, flags),
	  fText(text != NULL ? strdup(text) : NULL),
	  fAlign(B_ALIGN_LEFT)
{
}

BStringView::BStringView(BMessage* archive)
	: BView(archive),
	  fText(NULL),
	  fAlign(B_ALIGN_LEFT)
{
	const char* text;
	if (archive != NULL && archive->FindString("_text", &text) == B_OK)
		fText = strdup(text);
	int32 align;
	if (archive != NULL && archive->FindInt32("_align", &align) == B_OK
		&& align >= B_ALIGN_LEFT && align <= B_ALIGN_CENTER)
		fAlign = (alignment)align;
}

BStringView::~BStringView()
{
	free(fText);
}

BArchivable* BStringView::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BStringView"))
		return NULL;
	return new BStringView(archive);
}

status_t BStringView::Archive(BMessage* archive, bool deep) const
{
	status_t status = BView::Archive(archive, deep);
	if (status != B_OK)
		return status;
	if (fText != NULL)
		archive->AddString("_text", fText);
	archive->AddInt32("_align", fAlign);
	return B_OK;
}

void BStringView::SetText(const char* text)
{
	if (text == fText || (text != NULL && fText != NULL && strcmp(text, fText) == 0))
		return;
	free(fText);
	fText = text != NULL ? strdup(text) : NULL;
	Invalidate();
}

const char* BStringView::Text() const
{
	return fText;
}

void BStringView::SetAlignment(alignment flag)
{
	if (flag == fAlign)
		return;
	fAlign = flag;
	Invalidate();
}

alignment BStringView::Alignment() const
{
	return fAlign;
}

void BStringView::AttachedToWindow()
{
	// Text on what the view sits on; the high colour stays the caller's.
	rgb_color background = ui_color(B_PANEL_BACKGROUND_COLOR);
	if (Parent() != NULL && Parent()->ViewColor() != B_TRANSPARENT_COLOR)
		background = Parent()->ViewColor();
	SetViewColor(background);
	SetLowColor(background);
	BView::AttachedToWindow();
}

void BStringView::Draw(BRect)
{
	if (fText == NULL || fText[0] == '\0')
		return;
	BRect bounds = Bounds();
	float width = StringWidth(fText);
	float x = bounds.left;
	if (fAlign == B_ALIGN_RIGHT)
		x = bounds.right + 1 - width;
	else if (fAlign == B_ALIGN_CENTER)
		x = bounds.left + (bounds.Width() + 1 - width) / 2;
	DrawString(fText, BPoint(std::floor(x), BPrivate::centred_baseline(this, bounds)));
}

void BStringView::GetPreferredSize(float* width, float* height)
{
	float w, h;
	BPrivate::label_size(this, fText, &w, &h);
	if (width != NULL)
		*width = w;
	if (height != NULL)
		*height = h;
}

void BStringView::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}
