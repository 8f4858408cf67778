// BView: a rectangle of a window (or of a bitmap that accepts views) that
// draws and takes input.
//
// Coordinates. A view's frame is in its parent's coordinate system and its
// bounds in its own; integer coordinates are pixel centres and rectangles
// include their edges, so a view with the frame BRect(10, 10, 19, 19) is
// 10 x 10 pixels and its bounds are BRect(0, 0, 9, 9) until it scrolls.
//
// Drawing. The drawing calls paint into the window's backbuffer at once,
// clipped to the part of the view that its parents leave visible, less its
// children (unless B_DRAW_ON_CHILDREN), and, inside Draw(), to the area
// being updated. What was drawn reaches the screen when the window's thread
// finishes the message it is handling, or at Flush() or Sync(); what another
// thread drew, at the latest when that thread unlocks the window (without
// waking the window's thread). Drawing is only allowed with the window
// locked (any thread that holds the lock may draw, as on BeOS); a view
// without a window draws nothing.
//
// Locking. The drawing calls, Invalidate(), Flush(), Sync(), AddChild() and
// RemoveChild() of a view in a window need the window's lock (a bitmap's
// lock for a view in a bitmap). Called without it they do nothing and
// report the misuse (see support/Misuse.h: in checked builds and the tests
// the report stops the program).
//
// Invalidate() asks for an update: the window's thread later erases the
// area with the view colour (nothing for B_TRANSPARENT_COLOR) and calls
// Draw() on every view with B_WILL_DRAW that the area touches, parents
// first. The drawing state (colours, font, mode, pen) belongs to the view
// and stays from one Draw() to the next.
//
// Ownership. A parent owns its children: deleting a view deletes them, and
// BWindow deletes its views when it goes. RemoveChild() gives the child back
// to the caller. A view must be removed from its window before it is
// deleted by anybody else.
#ifndef _VIEW_H
#define _VIEW_H

#include <Font.h>
#include <GraphicsDefs.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Rect.h>
#include <ViewDefs.h>

#include <vector>

class BBitmap;
class BMessage;
class BWindow;

namespace BPrivate {
class ClipRegion;
class ViewAccess;
class Painter;
}

class BView : public BHandler {
public:
	BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	// From an archive: "_frame", "_name", "_resize_mode", "_flags", the
	// colours and font when present, and the children in "_views".
	BView(BMessage* archive);
	virtual ~BView();

	static BArchivable* Instantiate(BMessage* archive);
	// deep: the children too, each as a message in "_views".
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	// ---- Hooks
	virtual void AttachedToWindow();
	virtual void AllAttached();
	virtual void DetachedFromWindow();
	virtual void AllDetached();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	// The default moves the focus with Tab and Shift+Tab among the
	// B_NAVIGABLE views of the window.
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void Pulse();
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void WindowActivated(bool active);
	virtual void MessageReceived(BMessage* message);

	// ---- The hierarchy
	void AddChild(BView* child, BView* before = NULL);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* NextSibling() const;
	BView* PreviousSibling() const;
	bool RemoveSelf();
	BWindow* Window() const;
	BView* Parent() const;
	// This view or a descendant with the name (depth first).
	BView* FindView(const char* name) const;

	// ---- Geometry
	BRect Frame() const;
	BRect Bounds() const;
	void MoveBy(float dh, float dv);
	void MoveTo(BPoint where);
	void MoveTo(float x, float y);
	void ResizeBy(float dh, float dv);
	void ResizeTo(float width, float height);
	void ScrollBy(float dh, float dv);
	void ScrollTo(BPoint where);
	void ScrollTo(float x, float y) { ScrollTo(BPoint(x, y)); }
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertToScreen(BRect* rect) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	void ConvertFromScreen(BRect* rect) const;
	BRect ConvertFromScreen(BRect rect) const;
	void ConvertToParent(BPoint* point) const;
	BPoint ConvertToParent(BPoint point) const;
	void ConvertToParent(BRect* rect) const;
	BRect ConvertToParent(BRect rect) const;
	void ConvertFromParent(BPoint* point) const;
	BPoint ConvertFromParent(BPoint point) const;
	void ConvertFromParent(BRect* rect) const;
	BRect ConvertFromParent(BRect rect) const;

	uint32 ResizingMode() const;
	virtual void SetResizingMode(uint32 mode);
	uint32 Flags() const;
	virtual void SetFlags(uint32 flags);
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsHidden(const BView* lookingFrom) const;

	// ---- Focus and input
	virtual void MakeFocus(bool focus = true);
	bool IsFocus() const;
	// The pointer in this view's coordinates and the buttons held. With
	// checkMessageQueue, a waiting B_MOUSE_MOVED or B_MOUSE_UP of the
	// window is taken from the queue and reported first, oldest first.
	void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);
	// B_POINTER_EVENTS: every mouse event of the window comes to this view;
	// SetMouseEventMask() does so until the buttons are released.
	status_t SetEventMask(uint32 mask, uint32 options = 0);
	uint32 EventMask();
	status_t SetMouseEventMask(uint32 mask, uint32 options = 0);

	// ---- Drawing state
	virtual void SetViewColor(rgb_color color);
	void SetViewColor(uchar r, uchar g, uchar b, uchar a = 255);
	rgb_color ViewColor() const;
	virtual void SetHighColor(rgb_color color);
	void SetHighColor(uchar r, uchar g, uchar b, uchar a = 255);
	rgb_color HighColor() const;
	virtual void SetLowColor(rgb_color color);
	void SetLowColor(uchar r, uchar g, uchar b, uchar a = 255);
	rgb_color LowColor() const;
	virtual void SetDrawingMode(drawing_mode mode);
	drawing_mode DrawingMode() const;
	void SetBlendingMode(source_alpha srcAlpha, alpha_function alphaFunc);
	void GetBlendingMode(source_alpha* srcAlpha, alpha_function* alphaFunc) const;
	virtual void SetPenSize(float size);
	float PenSize() const;
	void MovePenTo(BPoint point);
	void MovePenTo(float x, float y);
	void MovePenBy(float x, float y);
	BPoint PenLocation() const;
	// Copies the attributes of `font` that `mask` names (B_FONT_ALL: all).
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	void GetFont(BFont* font) const;
	void SetFontSize(float size);
	void GetFontHeight(font_height* height) const;
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	// The view's drawing state as a pair of saved states (colours, mode,
	// pen, font, origin), as BeOS keeps them.
	void PushState();
	void PopState();

	// ---- Drawing
	void StrokeLine(BPoint toPoint, pattern p = B_SOLID_HIGH);
	void StrokeLine(BPoint start, BPoint end, pattern p = B_SOLID_HIGH);
	void StrokeRect(BRect rect, pattern p = B_SOLID_HIGH);
	void FillRect(BRect rect, pattern p = B_SOLID_HIGH);
	void InvertRect(BRect rect);
	void StrokeRoundRect(BRect rect, float xRadius, float yRadius, pattern p = B_SOLID_HIGH);
	void FillRoundRect(BRect rect, float xRadius, float yRadius, pattern p = B_SOLID_HIGH);
	void StrokeEllipse(BRect rect, pattern p = B_SOLID_HIGH);
	void FillEllipse(BRect rect, pattern p = B_SOLID_HIGH);
	void StrokeEllipse(BPoint center, float xRadius, float yRadius, pattern p = B_SOLID_HIGH);
	void FillEllipse(BPoint center, float xRadius, float yRadius, pattern p = B_SOLID_HIGH);
	void StrokeArc(BRect rect, float startAngle, float arcAngle, pattern p = B_SOLID_HIGH);
	void FillArc(BRect rect, float startAngle, float arcAngle, pattern p = B_SOLID_HIGH);
	void StrokeTriangle(BPoint p1, BPoint p2, BPoint p3, pattern p = B_SOLID_HIGH);
	void FillTriangle(BPoint p1, BPoint p2, BPoint p3, pattern p = B_SOLID_HIGH);
	void StrokePolygon(const BPoint* points, int32 count, bool closed = true,
		pattern p = B_SOLID_HIGH);
	void FillPolygon(const BPoint* points, int32 count, pattern p = B_SOLID_HIGH);

	// The text's baseline starts at `point` (or the pen), and the pen moves
	// to its end.
	void DrawString(const char* string, escapement_delta* delta = NULL);
	void DrawString(const char* string, BPoint point, escapement_delta* delta = NULL);
	void DrawString(const char* string, int32 length, escapement_delta* delta = NULL);
	void DrawString(const char* string, int32 length, BPoint point,
		escapement_delta* delta = NULL);
	void DrawChar(char c);
	void DrawChar(char c, BPoint point);

	void DrawBitmap(const BBitmap* bitmap);
	void DrawBitmap(const BBitmap* bitmap, BPoint where);
	void DrawBitmap(const BBitmap* bitmap, BRect destination);
	void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);
	void DrawBitmapAsync(const BBitmap* bitmap, BPoint where);
	void DrawBitmapAsync(const BBitmap* bitmap, BRect destination);
	void DrawBitmapAsync(const BBitmap* bitmap, BRect source, BRect destination);

	// Asks for an update of the rectangle (view coordinates) or of the
	// whole view.
	void Invalidate(BRect invalRect);
	void Invalidate();
	// Puts what was drawn on the screen; Sync also waits until it is there.
	void Flush() const;
	void Sync() const;

protected:
	// For subclasses that keep their drawing state elsewhere.
	BPrivate::Painter* _Painter() const;

private:
	friend class BWindow;
	friend class BPrivate::ViewAccess;

	struct DrawState {
		rgb_color high;
		rgb_color low;
		drawing_mode mode;
		source_alpha srcAlpha;
		alpha_function alphaFunc;
		float penSize;
		BPoint pen;
		BFont font;
	};

	void _Init(BRect frame, uint32 resizingMode, uint32 flags);
	void _Attach(BWindow* window);
	void _Detach();
	void _CallAttached();
	void _CallAllAttached();
	void _CallDetached();
	void _CallAllDetached();
	void _ParentResized(float dw, float dh);
	void _SetFrame(BRect frame);
	bool _BeginDrawing(const char* call);
	bool _CheckLock(const char* call) const;
	void _EndDrawing();
	BPoint _ToWindow(BPoint point) const;
	BRect _ToWindow(BRect rect) const;
	BRect _VisibleInWindow() const;
	void _DrawTree(const BPrivate::ClipRegion& update);
	bool _DrawInUpdate(const BPrivate::ClipRegion& update);

	BRect fFrame;            // in the parent's coordinates
	BPoint fScroll;          // bounds' left-top corner
	uint32 fResizingMode;
	uint32 fFlags;
	BWindow* fWindow;        // not owned
	BView* fParent;          // not owned
	std::vector<BView*> fChildren;   // owned
	rgb_color fViewColor;
	DrawState fState;
	std::vector<DrawState> fSavedStates;
	uint32 fEventMask;
	uint32 fMouseEventMask;  // until the buttons are released
	int32 fHidden;           // Hide() minus Show()
	bool fInDraw;
	BRect fDrawClip;         // the update area during Draw(), in view coordinates
};

#endif
