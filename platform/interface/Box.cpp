// BBox: a frame drawn at the edge of the view, broken where the label sits.
#include <Box.h>

#include <Message.h>

#include "interface/ControlLook.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

static BPrivate::InstantiationRegistrar sBoxRegistrar("BBox", BBox::Instantiate);

// Where the label starts, from the box's left edge.
static const float kLabelIndent = 8;

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags,
	border_style border)
	: BView(frame, name, resizingMode, flags),
	  fLabel(NULL),
	  fLabelView(NULL),
	  fStyle(border)
{
	SetFont(be_bold_font);
}

BBox::BBox(BMessage* archive)
	: BView(archive),
	  fLabel(NULL),
	  fLabelView(NULL),
	  fStyle(B_FANCY_BORDER)
{
	if (archive == NULL)
		return;
	const char* label;
	if (archive->FindString("_label", &label) == B_OK)
		fLabel = strdup(label);
	int32 style;
	if (archive->FindInt32("_style", &style) == B_OK
		&& style >= B_PLAIN_BORDER && style <= B_NO_BORDER)
		fStyle = (border_style)style;
	bool hasLabelView;
	if (archive->FindBool("_lview", &hasLabelView) == B_OK && hasLabelView)
		fLabelView = ChildAt(0);
}

BBox::~BBox()
{
	free(fLabel);
}

BArchivable* BBox::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BBox"))
		return NULL;
	return new BBox(archive);
}

status_t BBox::Archive(BMessage* archive, bool deep) const
{
	status_t status = BView::Archive(archive, deep);
	if (status != B_OK)
		return status;
	if (fLabel != NULL)
		archive->AddString("_label", fLabel);
	archive->AddInt32("_style", fStyle);
	// The label view is the first child (SetLabel puts it there).
	if (deep && fLabelView != NULL && ChildAt(0) == fLabelView)
		archive->AddBool("_lview", true);
	return B_OK;
}

void BBox::SetBorder(border_style border)
{
	if (border == fStyle)
		return;
	fStyle = border;
	Invalidate();
}

border_style BBox::Border() const
{
	return fStyle;
}

void BBox::SetLabel(const char* label)
{
	if (fLabelView != NULL) {
		RemoveChild(fLabelView);
		delete fLabelView;
		fLabelView = NULL;
	}
	free(fLabel);
	fLabel = label != NULL ? strdup(label) : NULL;
	Invalidate();
}

status_t BBox::SetLabel(BView* viewLabel)
{
	if (viewLabel != NULL && viewLabel->Parent() != NULL && viewLabel->Parent() != this)
		return B_BAD_VALUE;
	SetLabel((const char*)NULL);
	if (viewLabel == NULL)
		return B_OK;
	fLabelView = viewLabel;
	if (viewLabel->Parent() == this)
		RemoveChild(viewLabel);
	AddChild(viewLabel, ChildAt(0));
	_PlaceLabelView();
	return B_OK;
}

const char* BBox::Label() const
{
	return fLabel;
}

BView* BBox::LabelView() const
{
	return fLabelView;
}

float BBox::_TopLine() const
{
	if (fLabelView != NULL)
		return std::floor(fLabelView->Frame().Height() / 2);
	if (fLabel == NULL)
		return 0;
	font_height fh;
	const_cast<BBox*>(this)->GetFontHeight(&fh);
	return std::floor((std::ceil(fh.ascent) + std::ceil(fh.descent)) / 2);
}

void BBox::_PlaceLabelView()
{
	if (fLabelView != NULL)
		fLabelView->MoveTo(kLabelIndent, 0);
}

void BBox::AttachedToWindow()
{
	rgb_color background = ui_color(B_PANEL_BACKGROUND_COLOR);
	if (Parent() != NULL && Parent()->ViewColor() != B_TRANSPARENT_COLOR)
		background = Parent()->ViewColor();
	SetViewColor(background);
	SetLowColor(background);
	BView::AttachedToWindow();
}

void BBox::FrameResized(float width, float height)
{
	// The frame follows the edges: everything along them changes.
	Invalidate();
	BView::FrameResized(width, height);
}

void BBox::Draw(BRect)
{
	BRect bounds = Bounds();
	rgb_color background = ViewColor();
	BPrivate::ControlColors colors = BPrivate::control_colors(background, true);
	BRect frame = bounds;
	frame.top = _TopLine();

	// The gap in the top line where the label goes.
	float gapLeft = 0, gapRight = -1;
	if (fLabelView != NULL) {
		gapLeft = fLabelView->Frame().left - 2;
		gapRight = fLabelView->Frame().right + 2;
	} else if (fLabel != NULL && fLabel[0] != '\0') {
		gapLeft = kLabelIndent - 3;
		gapRight = kLabelIndent + std::ceil(StringWidth(fLabel)) + 2;
	}

	switch (fStyle) {
		case B_FANCY_BORDER: {
			// Etched: a shaded line with a lit line inside it.
			BRect outer = frame;
			outer.right -= 1;
			outer.bottom -= 1;
			SetHighColor(colors.shadow);
			StrokeRect(outer);
			SetHighColor(colors.light);
			StrokeRect(outer.OffsetByCopy(1, 1));
			break;
		}
		case B_PLAIN_BORDER:
			SetHighColor(colors.shadow);
			StrokeRect(frame);
			break;
		case B_NO_BORDER:
			break;
	}

	if (gapRight >= gapLeft && fStyle != B_NO_BORDER) {
		SetHighColor(background);
		FillRect(BRect(gapLeft, frame.top, gapRight, frame.top + 1));
	}
	if (fLabelView == NULL && fLabel != NULL && fLabel[0] != '\0') {
		font_height fh;
		GetFontHeight(&fh);
		SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
		SetLowColor(background);
		DrawString(fLabel, BPoint(kLabelIndent, std::ceil(fh.ascent)));
	}
}

void BBox::GetPreferredSize(float* width, float* height)
{
	// Room for the label and the frame; the contents are the caller's.
	float w = 0, h = 0;
	if (fLabelView != NULL) {
		w = fLabelView->Frame().Width() + 1;
		h = fLabelView->Frame().Height() + 1;
	} else if (fLabel != NULL) {
		BPrivate::label_size(this, fLabel, &w, &h);
	}
	if (width != NULL)
		*width = std::max(w + 2 * kLabelIndent, Bounds().Width());
	if (height != NULL)
		*height = std::max(h + 4, Bounds().Height());
}

void BBox::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}
