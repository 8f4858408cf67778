#include <View.h>

#include <Bitmap.h>
#include <Message.h>
#include <Window.h>

#include "interface/ClipRegion.h"
#include "interface/Painter.h"
#include "interface/ViewTree.h"
#include "interface/WindowPort.h"
#include "interface/WindowSurface.h"
#include "app/LooperAccess.h"
#include "support/Misuse.h"
#include <MessageQueue.h>

#include <math.h>
#include <string.h>

#include <algorithm>

using BPrivate::ClipRegion;
using BPrivate::Painter;
using BPrivate::PixelBox;
using BPrivate::ViewWalk;

static BPrivate::InstantiationRegistrar sViewRegistrar("BView", BView::Instantiate);

static const rgb_color kWhite = {255, 255, 255, 255};
static const rgb_color kBlack = {0, 0, 0, 255};

static int32 pack_color(rgb_color c)
{
	return (int32)(((uint32)c.red << 24) | ((uint32)c.green << 16)
		| ((uint32)c.blue << 8) | c.alpha);
}

static rgb_color unpack_color(int32 value)
{
	uint32 v = (uint32)value;
	return rgb_color{(uint8)(v >> 24), (uint8)(v >> 16), (uint8)(v >> 8), (uint8)v};
}

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
	:
	BHandler(name)
{
	_Init(frame, resizingMode, flags);
}

BView::BView(BMessage* archive)
	:
	BHandler(archive)
{
	BRect frame(0, 0, -1, -1);
	int32 mode = B_FOLLOW_LEFT | B_FOLLOW_TOP;
	int32 flags = 0;
	if (archive != NULL) {
		archive->FindRect("_frame", &frame);
		archive->FindInt32("_resize_mode", &mode);
		archive->FindInt32("_flags", &flags);
	}
	_Init(frame, (uint32)mode, (uint32)flags);
	if (archive == NULL)
		return;

	int32 color;
	if (archive->FindInt32("_color", 0, &color) == B_OK)
		fState.high = unpack_color(color);
	if (archive->FindInt32("_color", 1, &color) == B_OK)
		fState.low = unpack_color(color);
	if (archive->FindInt32("_color", 2, &color) == B_OK)
		fViewColor = unpack_color(color);
	const char* family;
	const char* style;
	if (archive->FindString("_fname", 0, &family) == B_OK
		&& archive->FindString("_fname", 1, &style) == B_OK)
		fState.font.SetFamilyAndStyle(family, style);
	float size;
	if (archive->FindFloat("_fflt", 0, &size) == B_OK)
		fState.font.SetSize(size);
	int32 mask;
	if (archive->FindInt32("_evmask", &mask) == B_OK)
		fEventMask = (uint32)mask;
	int32 drawingMode;
	if (archive->FindInt32("_dmod", &drawingMode) == B_OK)
		fState.mode = (drawing_mode)drawingMode;
	float penSize;
	if (archive->FindFloat("_psize", &penSize) == B_OK)
		fState.penSize = penSize;
	bool hidden;
	if (archive->FindBool("_hidden", &hidden) == B_OK && hidden)
		fHidden = 1;

	BMessage childArchive;
	for (int32 i = 0; archive->FindMessage("_views", i, &childArchive) == B_OK; i++) {
		BView* child = dynamic_cast<BView*>(instantiate_object(&childArchive));
		if (child != NULL)
			AddChild(child);
		else
			delete child;
	}
}

void BView::_Init(BRect frame, uint32 resizingMode, uint32 flags)
{
	fFrame = frame;
	fScroll = BPoint(0, 0);
	fResizingMode = resizingMode;
	fFlags = flags;
	fWindow = NULL;
	fParent = NULL;
	fViewColor = kWhite;
	fState.high = kBlack;
	fState.low = kWhite;
	fState.mode = B_OP_COPY;
	fState.srcAlpha = B_PIXEL_ALPHA;
	fState.alphaFunc = B_ALPHA_OVERLAY;
	fState.penSize = 1;
	fState.pen = BPoint(0, 0);
	fState.font = *be_plain_font;
	fEventMask = 0;
	fMouseEventMask = 0;
	fHidden = 0;
	fInDraw = false;
}

BView::~BView()
{
	// A view still in a window is removed first, so the window never keeps
	// a pointer to it.
	if (fParent != NULL)
		RemoveSelf();
	while (!fChildren.empty()) {
		BView* child = fChildren.back();
		fChildren.pop_back();
		child->fParent = NULL;
		delete child;
	}
}

BArchivable* BView::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BView"))
		return NULL;
	return new BView(archive);
}

status_t BView::Archive(BMessage* archive, bool deep) const
{
	status_t status = BHandler::Archive(archive, deep);
	if (status != B_OK)
		return status;
	archive->AddRect("_frame", Frame());
	if (archive->HasString("_name") == false && Name() != NULL)
		archive->AddString("_name", Name());
	archive->AddInt32("_resize_mode", (int32)fResizingMode);
	archive->AddInt32("_flags", (int32)fFlags);
	archive->AddInt32("_color", pack_color(fState.high));
	archive->AddInt32("_color", pack_color(fState.low));
	archive->AddInt32("_color", pack_color(fViewColor));
	font_family family;
	font_style style;
	fState.font.GetFamilyAndStyle(&family, &style);
	archive->AddString("_fname", family);
	archive->AddString("_fname", style);
	archive->AddFloat("_fflt", fState.font.Size());
	if (fEventMask != 0)
		archive->AddInt32("_evmask", (int32)fEventMask);
	if (fState.mode != B_OP_COPY)
		archive->AddInt32("_dmod", fState.mode);
	if (fState.penSize != 1)
		archive->AddFloat("_psize", fState.penSize);
	if (fHidden > 0)
		archive->AddBool("_hidden", true);
	if (deep) {
		for (BView* child : fChildren) {
			BMessage childArchive;
			if (child->Archive(&childArchive, true) == B_OK)
				archive->AddMessage("_views", &childArchive);
		}
	}
	return B_OK;
}

// ---- Hooks

void BView::AttachedToWindow() {}
void BView::AllAttached() {}
void BView::DetachedFromWindow() {}
void BView::AllDetached() {}
void BView::Draw(BRect) {}
void BView::MouseDown(BPoint) {}
void BView::MouseUp(BPoint) {}
void BView::MouseMoved(BPoint, uint32, const BMessage*) {}
void BView::KeyUp(const char*, int32) {}
void BView::Pulse() {}
void BView::FrameMoved(BPoint) {}
void BView::FrameResized(float, float) {}
void BView::WindowActivated(bool) {}

void BView::KeyDown(const char* bytes, int32 numBytes)
{
	if (fWindow == NULL || numBytes != 1)
		return;
	if (bytes[0] == B_TAB) {
		uint32 mods = modifiers();
		if ((mods & (B_COMMAND_KEY | B_CONTROL_KEY)) == 0)
			fWindow->_NavigateFocus((mods & B_SHIFT_KEY) != 0);
	} else if (bytes[0] == B_ENTER) {
		// Enter that the focus view does not use presses the default button.
		BView* button = fWindow->_DefaultButtonView();
		if (button != NULL && button != this && button->fWindow == fWindow)
			button->KeyDown(bytes, numBytes);
	}
}

void BView::MessageReceived(BMessage* message)
{
	if (message->what == B_MOUSE_WHEEL_CHANGED) {
		// Not used by this view: let the parent scroll.
		if (fParent != NULL && fWindow != NULL && fParent != fWindow->fTopView) {
			fParent->MessageReceived(message);
			return;
		}
	}
	BHandler::MessageReceived(message);
}

// ---- The hierarchy

void BView::AddChild(BView* child, BView* before)
{
	if (child == NULL || child->fParent != NULL || child == this)
		return;
	if (!_CheckLock("BView::AddChild"))
		return;
	auto at = std::find(fChildren.begin(), fChildren.end(), before);
	fChildren.insert(at, child);
	child->fParent = this;
	if (fWindow != NULL) {
		child->_Attach(fWindow);
		child->_CallAttached();
		child->_CallAllAttached();
		child->Invalidate();
	}
}

bool BView::RemoveChild(BView* child)
{
	if (child == NULL || child->fParent != this)
		return false;
	if (!_CheckLock("BView::RemoveChild"))
		return false;
	if (fWindow != NULL) {
		BRect area = child->_ToWindow(child->Bounds());
		child->_CallDetached();
		child->_CallAllDetached();
		child->_Detach();
		fWindow->_Invalidate(area);
	}
	fChildren.erase(std::find(fChildren.begin(), fChildren.end(), child));
	child->fParent = NULL;
	return true;
}

bool BView::RemoveSelf()
{
	return fParent != NULL && fParent->RemoveChild(this);
}

int32 BView::CountChildren() const
{
	return (int32)fChildren.size();
}

BView* BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= (int32)fChildren.size())
		return NULL;
	return fChildren[index];
}

BView* BView::NextSibling() const
{
	if (fParent == NULL)
		return NULL;
	const std::vector<BView*>& siblings = fParent->fChildren;
	auto it = std::find(siblings.begin(), siblings.end(), this);
	return it == siblings.end() || it + 1 == siblings.end() ? NULL : *(it + 1);
}

BView* BView::PreviousSibling() const
{
	if (fParent == NULL)
		return NULL;
	const std::vector<BView*>& siblings = fParent->fChildren;
	auto it = std::find(siblings.begin(), siblings.end(), this);
	return it == siblings.end() || it == siblings.begin() ? NULL : *(it - 1);
}

BWindow* BView::Window() const
{
	return fWindow;
}

BView* BView::Parent() const
{
	if (fWindow != NULL && fParent == fWindow->fTopView)
		return NULL;
	return fParent;
}

BView* BView::FindView(const char* name) const
{
	if (name == NULL)
		return NULL;
	return BPrivate::find_view(const_cast<BView*>(this), [name](BView* view) {
		return view->Name() != NULL && strcmp(view->Name(), name) == 0;
	});
}

void BView::_Attach(BWindow* window)
{
	BPrivate::for_each_view(this, [window](BView* view) {
		view->fWindow = window;
		window->AddHandler(view);
		BView* parent = view->fParent;
		view->SetNextHandler(parent != NULL && parent != window->fTopView
			? static_cast<BHandler*>(parent) : static_cast<BHandler*>(window));
	});
}

void BView::_Detach()
{
	// A view without a window has none below it either.
	auto before = [](BView* view) {
		return view->fWindow != NULL ? ViewWalk::kDescend : ViewWalk::kSkipChildren;
	};
	auto after = [](BView* view) {
		view->fWindow->_ViewRemoved(view);
		view->fWindow->RemoveHandler(view);
		view->fWindow = NULL;
	};
	BPrivate::walk_views(this, before, after);
}

// The hooks: AttachedToWindow() and AllDetached() parents first,
// AllAttached() and DetachedFromWindow() children first.
void BView::_CallAttached()
{
	BPrivate::for_each_view(this, [](BView* view) { view->AttachedToWindow(); });
}

void BView::_CallAllAttached()
{
	BPrivate::for_each_view_after(this, [](BView* view) { view->AllAttached(); });
}

void BView::_CallDetached()
{
	BPrivate::for_each_view_after(this, [](BView* view) { view->DetachedFromWindow(); });
}

void BView::_CallAllDetached()
{
	BPrivate::for_each_view(this, [](BView* view) { view->AllDetached(); });
}

// ---- Geometry

BRect BView::Frame() const
{
	return fFrame;
}

BRect BView::Bounds() const
{
	return BRect(fScroll.x, fScroll.y, fScroll.x + fFrame.Width(),
		fScroll.y + fFrame.Height());
}

void BView::MoveBy(float dh, float dv)
{
	MoveTo(fFrame.left + dh, fFrame.top + dv);
}

void BView::MoveTo(BPoint where)
{
	MoveTo(where.x, where.y);
}

void BView::MoveTo(float x, float y)
{
	BRect frame = fFrame;
	frame.OffsetTo(x, y);
	_SetFrame(frame);
}

void BView::ResizeBy(float dh, float dv)
{
	ResizeTo(fFrame.Width() + dh, fFrame.Height() + dv);
}

void BView::ResizeTo(float width, float height)
{
	BRect frame = fFrame;
	frame.right = frame.left + width;
	frame.bottom = frame.top + height;
	_SetFrame(frame);
}

// Sets the frame, lets the children follow their resizing modes, and tells
// the view (by message, as the window would) when it moved or was resized.
void BView::_SetFrame(BRect frame)
{
	if (frame == fFrame)
		return;
	BRect old = fFrame;
	if (fWindow != NULL && fParent != NULL)
		fWindow->_Invalidate(_ToWindow(Bounds()));
	fFrame = frame;
	float dw = frame.Width() - old.Width();
	float dh = frame.Height() - old.Height();
	if (dw != 0 || dh != 0) {
		for (size_t i = 0; i < fChildren.size(); i++)
			fChildren[i]->_ParentResized(dw, dh);
	}
	if (fWindow == NULL)
		return;
	if (fParent != NULL)
		fWindow->_Invalidate(_ToWindow(Bounds()));
	if ((fFlags & B_FRAME_EVENTS) != 0) {
		if (old.LeftTop() != frame.LeftTop()) {
			BMessage moved(B_VIEW_MOVED);
			moved.AddInt64("when", system_time());
			moved.AddPoint("where", frame.LeftTop());
			fWindow->PostMessage(&moved, this);
		}
		if (dw != 0 || dh != 0) {
			BMessage resized(B_VIEW_RESIZED);
			resized.AddInt64("when", system_time());
			resized.AddFloat("width", frame.Width());
			resized.AddFloat("height", frame.Height());
			resized.AddPoint("where", frame.LeftTop());
			fWindow->PostMessage(&resized, this);
		}
	}
}

// The parent's size changed by (dw, dh): each edge keeps its distance to
// the parent's edge its rule names; centred edges move by half.
void BView::_ParentResized(float dw, float dh)
{
	auto shift = [](uint32 rule, float delta) -> float {
		switch (rule) {
			case _VIEW_RIGHT_:
			case _VIEW_BOTTOM_:
				return delta;
			case _VIEW_CENTER_:
				return floorf(delta / 2);
			default:
				return 0;
		}
	};
	uint32 mode = fResizingMode;
	uint32 top = (mode >> 12) & 0xf;
	uint32 left = (mode >> 8) & 0xf;
	uint32 bottom = (mode >> 4) & 0xf;
	uint32 right = mode & 0xf;
	BRect frame = fFrame;
	frame.left += shift(left, dw);
	frame.right += shift(right, dw);
	frame.top += shift(top, dh);
	frame.bottom += shift(bottom, dh);
	// A centred view keeps its size.
	if (left == _VIEW_CENTER_ && right == _VIEW_CENTER_)
		frame.right = frame.left + fFrame.Width();
	if (top == _VIEW_CENTER_ && bottom == _VIEW_CENTER_)
		frame.bottom = frame.top + fFrame.Height();
	_SetFrame(frame);
}

void BView::ScrollBy(float dh, float dv)
{
	ScrollTo(BPoint(fScroll.x + dh, fScroll.y + dv));
}

void BView::ScrollTo(BPoint where)
{
	if (where == fScroll)
		return;
	fScroll = where;
	Invalidate();
}

void BView::GetPreferredSize(float* width, float* height)
{
	if (width != NULL)
		*width = fFrame.Width();
	if (height != NULL)
		*height = fFrame.Height();
}

void BView::ResizeToPreferred()
{
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

BPoint BView::_ToWindow(BPoint point) const
{
	for (const BView* view = this; view != NULL; view = view->fParent) {
		point.x += view->fFrame.left - view->fScroll.x;
		point.y += view->fFrame.top - view->fScroll.y;
	}
	return point;
}

BRect BView::_ToWindow(BRect rect) const
{
	BPoint offset = _ToWindow(BPoint(0, 0));
	rect.OffsetBy(offset);
	return rect;
}

void BView::ConvertToParent(BPoint* point) const
{
	point->x += fFrame.left - fScroll.x;
	point->y += fFrame.top - fScroll.y;
}

BPoint BView::ConvertToParent(BPoint point) const
{
	ConvertToParent(&point);
	return point;
}

void BView::ConvertToParent(BRect* rect) const
{
	rect->OffsetBy(fFrame.left - fScroll.x, fFrame.top - fScroll.y);
}

BRect BView::ConvertToParent(BRect rect) const
{
	ConvertToParent(&rect);
	return rect;
}

void BView::ConvertFromParent(BPoint* point) const
{
	point->x -= fFrame.left - fScroll.x;
	point->y -= fFrame.top - fScroll.y;
}

BPoint BView::ConvertFromParent(BPoint point) const
{
	ConvertFromParent(&point);
	return point;
}

void BView::ConvertFromParent(BRect* rect) const
{
	rect->OffsetBy(fScroll.x - fFrame.left, fScroll.y - fFrame.top);
}

BRect BView::ConvertFromParent(BRect rect) const
{
	ConvertFromParent(&rect);
	return rect;
}

void BView::ConvertToScreen(BPoint* point) const
{
	*point = _ToWindow(*point);
	if (fWindow != NULL)
		fWindow->ConvertToScreen(point);
}

BPoint BView::ConvertToScreen(BPoint point) const
{
	ConvertToScreen(&point);
	return point;
}

void BView::ConvertToScreen(BRect* rect) const
{
	BPoint offset = ConvertToScreen(BPoint(0, 0));
	rect->OffsetBy(offset);
}

BRect BView::ConvertToScreen(BRect rect) const
{
	ConvertToScreen(&rect);
	return rect;
}

void BView::ConvertFromScreen(BPoint* point) const
{
	BPoint offset = ConvertToScreen(BPoint(0, 0));
	point->x -= offset.x;
	point->y -= offset.y;
}

BPoint BView::ConvertFromScreen(BPoint point) const
{
	ConvertFromScreen(&point);
	return point;
}

void BView::ConvertFromScreen(BRect* rect) const
{
	BPoint offset = ConvertToScreen(BPoint(0, 0));
	rect->OffsetBy(-offset.x, -offset.y);
}

BRect BView::ConvertFromScreen(BRect rect) const
{
	ConvertFromScreen(&rect);
	return rect;
}

uint32 BView::ResizingMode() const
{
	return fResizingMode;
}

void BView::SetResizingMode(uint32 mode)
{
	fResizingMode = mode;
}

uint32 BView::Flags() const
{
	return fFlags;
}

void BView::SetFlags(uint32 flags)
{
	fFlags = flags;
}

void BView::Show()
{
	if (fHidden == 0)
		return;
	if (--fHidden == 0 && fWindow != NULL)
		Invalidate();
}

void BView::Hide()
{
	if (fHidden++ == 0 && fWindow != NULL) {
		if (IsFocus())
			MakeFocus(false);
		fWindow->_Invalidate(_ToWindow(Bounds()));
	}
}

bool BView::IsHidden() const
{
	return IsHidden(NULL);
}

bool BView::IsHidden(const BView* lookingFrom) const
{
	for (const BView* view = this; view != NULL && view != lookingFrom;
			view = view->fParent) {
		if (view->fHidden > 0)
			return true;
	}
	// A view in a hidden window is hidden too, unless asked from a view.
	if (lookingFrom == NULL && fWindow != NULL && !fWindow->fOffscreen)
		return fWindow->IsHidden();
	return false;
}

// ---- Focus and input

void BView::MakeFocus(bool focus)
{
	if (fWindow == NULL)
		return;
	if (focus) {
		if (fWindow->fFocus != this)
			fWindow->_SetFocus(this);
	} else if (fWindow->fFocus == this) {
		fWindow->_SetFocus(NULL);
	}
}

bool BView::IsFocus() const
{
	return fWindow != NULL && fWindow->fFocus == this;
}

void BView::GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue)
{
	BPoint where(0, 0);
	uint32 held = 0;
	if (fWindow != NULL && fWindow->fWindowPort != nullptr) {
		bool fromQueue = false;
		if (checkMessageQueue && fWindow->Thread() == find_thread(NULL)) {
			BPrivate::LooperAccess::DrainPort(fWindow);
			BMessageQueue* queue = fWindow->MessageQueue();
			for (int32 i = 0; BMessage* message = queue->FindMessage(i); i++) {
				if (message->what != B_MOUSE_MOVED && message->what != B_MOUSE_UP)
					continue;
				queue->RemoveMessage(message);
				message->FindPoint("where", &where);
				int32 value = 0;
				message->FindInt32("buttons", &value);
				held = (uint32)value;
				delete message;
				fromQueue = true;
				break;
			}
		}
		if (!fromQueue)
			fWindow->fWindowPort->GetPointer(&where, &held);
		// "where" is in window coordinates.
		BPoint origin = _ToWindow(BPoint(0, 0));
		where.x -= origin.x;
		where.y -= origin.y;
	}
	if (location != NULL)
		*location = where;
	if (buttons != NULL)
		*buttons = held;
}

status_t BView::SetEventMask(uint32 mask, uint32)
{
	fEventMask = mask;
	return B_OK;
}

uint32 BView::EventMask()
{
	return fEventMask;
}

status_t BView::SetMouseEventMask(uint32 mask, uint32)
{
	fMouseEventMask = mask;
	return B_OK;
}

// ---- Drawing state

void BView::SetViewColor(rgb_color color)
{
	fViewColor = color;
}

void BView::SetViewColor(uchar r, uchar g, uchar b, uchar a)
{
	SetViewColor(rgb_color{r, g, b, a});
}

rgb_color BView::ViewColor() const
{
	return fViewColor;
}

void BView::SetHighColor(rgb_color color)
{
	fState.high = color;
}

void BView::SetHighColor(uchar r, uchar g, uchar b, uchar a)
{
	SetHighColor(rgb_color{r, g, b, a});
}

rgb_color BView::HighColor() const
{
	return fState.high;
}

void BView::SetLowColor(rgb_color color)
{
	fState.low = color;
}

void BView::SetLowColor(uchar r, uchar g, uchar b, uchar a)
{
	SetLowColor(rgb_color{r, g, b, a});
}

rgb_color BView::LowColor() const
{
	return fState.low;
}

void BView::SetDrawingMode(drawing_mode mode)
{
	fState.mode = mode;
}

drawing_mode BView::DrawingMode() const
{
	return fState.mode;
}

void BView::SetBlendingMode(source_alpha srcAlpha, alpha_function alphaFunc)
{
	fState.srcAlpha = srcAlpha;
	fState.alphaFunc = alphaFunc;
}

void BView::GetBlendingMode(source_alpha* srcAlpha, alpha_function* alphaFunc) const
{
	if (srcAlpha != NULL)
		*srcAlpha = fState.srcAlpha;
	if (alphaFunc != NULL)
		*alphaFunc = fState.alphaFunc;
}

void BView::SetPenSize(float size)
{
	fState.penSize = size;
}

float BView::PenSize() const
{
	return fState.penSize;
}

void BView::MovePenTo(BPoint point)
{
	fState.pen = point;
}

void BView::MovePenTo(float x, float y)
{
	fState.pen = BPoint(x, y);
}

void BView::MovePenBy(float x, float y)
{
	fState.pen.x += x;
	fState.pen.y += y;
}

BPoint BView::PenLocation() const
{
	return fState.pen;
}

void BView::SetFont(const BFont* font, uint32 mask)
{
	if (font == NULL)
		return;
	BFont& mine = fState.font;
	if (mask == B_FONT_ALL) {
		mine = *font;
		return;
	}
	if (mask & B_FONT_FAMILY_AND_STYLE) {
		font_family family;
		font_style style;
		font->GetFamilyAndStyle(&family, &style);
		uint16 face = mine.Face();
		mine.SetFamilyAndStyle(family, style);
		if ((mask & B_FONT_FACE) == 0 && face != mine.Face()
			&& (face & (B_BOLD_FACE | B_ITALIC_FACE)) != 0)
			mine.SetFace(face);
	}
	if (mask & B_FONT_SIZE)
		mine.SetSize(font->Size());
	if (mask & B_FONT_SHEAR)
		mine.SetShear(font->Shear());
	if (mask & B_FONT_ROTATION)
		mine.SetRotation(font->Rotation());
	if (mask & B_FONT_SPACING)
		mine.SetSpacing(font->Spacing());
	if (mask & B_FONT_ENCODING)
		mine.SetEncoding(font->Encoding());
	if (mask & B_FONT_FACE)
		mine.SetFace(font->Face());
	if (mask & B_FONT_FLAGS)
		mine.SetFlags(font->Flags());
}

void BView::GetFont(BFont* font) const
{
	if (font != NULL)
		*font = fState.font;
}

void BView::SetFontSize(float size)
{
	fState.font.SetSize(size);
}

void BView::GetFontHeight(font_height* height) const
{
	fState.font.GetHeight(height);
}

float BView::StringWidth(const char* string) const
{
	return fState.font.StringWidth(string);
}

float BView::StringWidth(const char* string, int32 length) const
{
	return fState.font.StringWidth(string, length);
}

void BView::PushState()
{
	fSavedStates.push_back(fState);
}

void BView::PopState()
{
	if (fSavedStates.empty())
		return;
	fState = fSavedStates.back();
	fSavedStates.pop_back();
}

// ---- Drawing

BPrivate::Painter* BView::_Painter() const
{
	return fWindow != NULL ? fWindow->fSurface->GetPainter() : NULL;
}

// The pixels of the window this view may draw into: its frame cut by its
// parents', less its visible children.
BRect BView::_VisibleInWindow() const
{
	BRect visible = _ToWindow(Bounds());
	for (const BView* view = fParent; view != NULL; view = view->fParent)
		visible = visible & view->_ToWindow(view->Bounds());
	return visible;
}

// A view in a window may only be changed and drawn by the thread that holds
// the window's lock; anything else is reported (naming the call) and
// refused.
bool BView::_CheckLock(const char* call) const
{
	if (fWindow == NULL || fWindow->IsLocked())
		return true;
	BPrivate::report_misuse(call, "the view's window must be locked by the caller");
	return false;
}

bool BView::_BeginDrawing(const char* call)
{
	if (!_CheckLock(call))
		return false;
	Painter* painter = _Painter();
	if (painter == NULL || !painter->IsAttached() || IsHidden(fWindow->fTopView))
		return false;
	BRect visible = _VisibleInWindow();
	if (fInDraw)
		visible = visible & _ToWindow(fDrawClip);
	if (!visible.IsValid())
		return false;
	ClipRegion region(BPrivate::box_for_rect(visible));
	if ((fFlags & B_DRAW_ON_CHILDREN) == 0) {
		for (BView* child : fChildren) {
			if (child->fHidden == 0)
				region.Exclude(BPrivate::box_for_rect(child->_ToWindow(child->Bounds())));
		}
	}
	if (fInDraw)
		region.IntersectWith(fWindow->fSurface->UpdateRegion());
	if (region.IsEmpty())
		return false;
	std::vector<BRect> rects = region.Rects();
	painter->SetClipping(rects.data(), (int32)rects.size());
	painter->SetOrigin(_ToWindow(BPoint(0, 0)));
	painter->SetHighColor(fState.high);
	painter->SetLowColor(fState.low);
	painter->SetDrawingMode(fState.mode);
	painter->SetBlendingMode(fState.srcAlpha, fState.alphaFunc);
	painter->SetPenSize(fState.penSize);
	painter->SetFont(fState.font);
	return true;
}

// What the drawing touched reaches the screen with the window's next
// present: only those pixels, not the whole view, so that a small change
// drawn outside an update sends little.
void BView::_EndDrawing()
{
	const BPrivate::PixelBox touched = _Painter()->TakeTouched();
	if (!touched.IsEmpty())
		fWindow->_Damaged(BPrivate::rect_for_box(touched));
}

void BView::StrokeLine(BPoint toPoint, pattern p)
{
	StrokeLine(fState.pen, toPoint, p);
}

void BView::StrokeLine(BPoint start, BPoint end, pattern p)
{
	if (_BeginDrawing("BView::StrokeLine")) {
		_Painter()->StrokeLine(start, end, p);
		_EndDrawing();
	}
	fState.pen = end;
}

void BView::StrokeRect(BRect rect, pattern p)
{
	if (_BeginDrawing("BView::StrokeRect")) {
		_Painter()->StrokeRect(rect, p);
		_EndDrawing();
	}
}

void BView::FillRect(BRect rect, pattern p)
{
	if (_BeginDrawing("BView::FillRect")) {
		_Painter()->FillRect(rect, p);
		_EndDrawing();
	}
}

void BView::InvertRect(BRect rect)
{
	if (_BeginDrawing("BView::InvertRect")) {
		_Painter()->InvertRect(rect);
		_EndDrawing();
	}
}

void BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius, pattern p)
{
	if (_BeginDrawing("BView::StrokeRoundRect")) {
		_Painter()->StrokeRoundRect(rect, xRadius, yRadius, p);
		_EndDrawing();
	}
}

void BView::FillRoundRect(BRect rect, float xRadius, float yRadius, pattern p)
{
	if (_BeginDrawing("BView::FillRoundRect")) {
		_Painter()->FillRoundRect(rect, xRadius, yRadius, p);
		_EndDrawing();
	}
}

void BView::StrokeEllipse(BRect rect, pattern p)
{
	if (_BeginDrawing("BView::StrokeEllipse")) {
		_Painter()->StrokeEllipse(rect, p);
		_EndDrawing();
	}
}

void BView::FillEllipse(BRect rect, pattern p)
{
	if (_BeginDrawing("BView::FillEllipse")) {
		_Painter()->FillEllipse(rect, p);
		_EndDrawing();
	}
}

void BView::StrokeEllipse(BPoint center, float xRadius, float yRadius, pattern p)
{
	StrokeEllipse(BRect(center.x - xRadius, center.y - yRadius,
		center.x + xRadius, center.y + yRadius), p);
}

void BView::FillEllipse(BPoint center, float xRadius, float yRadius, pattern p)
{
	FillEllipse(BRect(center.x - xRadius, center.y - yRadius,
		center.x + xRadius, center.y + yRadius), p);
}

void BView::StrokeArc(BRect rect, float startAngle, float arcAngle, pattern p)
{
	if (_BeginDrawing("BView::StrokeArc")) {
		_Painter()->StrokeArc(rect, startAngle, arcAngle, p);
		_EndDrawing();
	}
}

void BView::FillArc(BRect rect, float startAngle, float arcAngle, pattern p)
{
	if (_BeginDrawing("BView::FillArc")) {
		_Painter()->FillArc(rect, startAngle, arcAngle, p);
		_EndDrawing();
	}
}

void BView::StrokeTriangle(BPoint p1, BPoint p2, BPoint p3, pattern p)
{
	if (_BeginDrawing("BView::StrokeTriangle")) {
		_Painter()->StrokeTriangle(p1, p2, p3, p);
		_EndDrawing();
	}
}

void BView::FillTriangle(BPoint p1, BPoint p2, BPoint p3, pattern p)
{
	if (_BeginDrawing("BView::FillTriangle")) {
		_Painter()->FillTriangle(p1, p2, p3, p);
		_EndDrawing();
	}
}

void BView::StrokePolygon(const BPoint* points, int32 count, bool closed, pattern p)
{
	if (points != NULL && count > 0 && _BeginDrawing("BView::StrokePolygon")) {
		_Painter()->StrokePolygon(points, count, closed, p);
		_EndDrawing();
	}
}

void BView::FillPolygon(const BPoint* points, int32 count, pattern p)
{
	if (points != NULL && count > 0 && _BeginDrawing("BView::FillPolygon")) {
		_Painter()->FillPolygon(points, count, p);
		_EndDrawing();
	}
}

void BView::DrawString(const char* string, escapement_delta* delta)
{
	DrawString(string, -1, fState.pen, delta);
}

void BView::DrawString(const char* string, BPoint point, escapement_delta* delta)
{
	DrawString(string, -1, point, delta);
}

void BView::DrawString(const char* string, int32 length, escapement_delta* delta)
{
	DrawString(string, length, fState.pen, delta);
}

void BView::DrawString(const char* string, int32 length, BPoint point,
	escapement_delta*)
{
	if (string == NULL)
		return;
	float width;
	if (_BeginDrawing("BView::DrawString")) {
		width = _Painter()->DrawString(string, length, point);
		_EndDrawing();
	} else
		width = fState.font.StringWidth(string, length < 0 ? (int32)strlen(string) : length);
	fState.pen = BPoint(point.x + width, point.y);
}

void BView::DrawChar(char c)
{
	DrawString(&c, 1);
}

void BView::DrawChar(char c, BPoint point)
{
	DrawString(&c, 1, point);
}

void BView::DrawBitmap(const BBitmap* bitmap)
{
	DrawBitmap(bitmap, fState.pen);
}

void BView::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
	if (bitmap != NULL && bitmap->IsValid() && _BeginDrawing("BView::DrawBitmap")) {
		_Painter()->DrawBitmap(bitmap, where);
		_EndDrawing();
	}
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect destination)
{
	if (bitmap != NULL)
		DrawBitmap(bitmap, bitmap->Bounds(), destination);
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination)
{
	if (bitmap != NULL && bitmap->IsValid() && _BeginDrawing("BView::DrawBitmap")) {
		_Painter()->DrawBitmap(bitmap, source, destination);
		_EndDrawing();
	}
}

void BView::DrawBitmapAsync(const BBitmap* bitmap, BPoint where)
{
	DrawBitmap(bitmap, where);
}

void BView::DrawBitmapAsync(const BBitmap* bitmap, BRect destination)
{
	DrawBitmap(bitmap, destination);
}

void BView::DrawBitmapAsync(const BBitmap* bitmap, BRect source, BRect destination)
{
	DrawBitmap(bitmap, source, destination);
}

void BView::Invalidate(BRect invalRect)
{
	if (fWindow == NULL || !_CheckLock("BView::Invalidate") || IsHidden(fWindow->fTopView))
		return;
	BRect area = _ToWindow(invalRect & Bounds()) & _VisibleInWindow();
	if (area.IsValid())
		fWindow->_Invalidate(area);
}

void BView::Invalidate()
{
	Invalidate(Bounds());
}

void BView::Flush() const
{
	if (fWindow != NULL && _CheckLock("BView::Flush"))
		fWindow->Flush();
}

void BView::Sync() const
{
	if (fWindow != NULL && _CheckLock("BView::Sync"))
		fWindow->Sync();
}

// The update: each visible view with B_WILL_DRAW that the region touches is
// erased with its view colour and drawn, parents before children.
void BView::_DrawTree(const ClipRegion& update)
{
	auto before = [&update](BView* view) {
		return view->_DrawInUpdate(update) ? ViewWalk::kDescend : ViewWalk::kSkipChildren;
	};
	auto after = [](BView*) {};
	BPrivate::walk_views(this, before, after);
}

// False if the view (and so everything below it) is hidden or outside the
// update.
bool BView::_DrawInUpdate(const ClipRegion& update)
{
	if (fHidden > 0)
		return false;
	BRect visible = _VisibleInWindow();
	if (!visible.IsValid())
		return false;
	ClipRegion here(BPrivate::box_for_rect(visible));
	here.IntersectWith(update);
	if (here.IsEmpty())
		return false;
	if ((fFlags & B_WILL_DRAW) != 0) {
		BPoint origin = _ToWindow(BPoint(0, 0));
		BRect area = BPrivate::rect_for_box(here.Frame());
		area.OffsetBy(-origin.x, -origin.y);
		fInDraw = true;
		fDrawClip = area;
		if (fViewColor != B_TRANSPARENT_COLOR) {
			DrawState saved = fState;
			fState.high = fViewColor;
			fState.mode = B_OP_COPY;
			FillRect(area);
			fState = saved;
		}
		Draw(area);
		fInDraw = false;
	}
	return true;
}
