// BWindow: a window on the screen, with its own looper thread and a
// hierarchy of views.
//
// The frame is the content area in screen coordinates (the window manager's
// border and title tab lie outside it); Bounds() is the same rectangle with
// its left-top corner at (0, 0). A new window is hidden; the first Show()
// starts its thread (Run()). Show() and Hide() are counted: a window hidden
// twice needs two Show() calls.
//
// Messages. Input reaches the window's queue as B_MOUSE_DOWN, B_MOUSE_UP,
// B_MOUSE_MOVED, B_KEY_DOWN, B_KEY_UP, B_MODIFIERS_CHANGED and
// B_MOUSE_WHEEL_CHANGED, and the window manager's events as
// B_WINDOW_MOVED, B_WINDOW_RESIZED, B_WINDOW_ACTIVATED, B_MINIMIZE and
// B_QUIT_REQUESTED (the close box). Every move, the program's own MoveTo()
// included, comes back as B_WINDOW_MOVED through the queue, so the window's
// common filters see it. DispatchMessage() hands mouse messages to the view
// under the pointer (with "where" in that view's coordinates; "be:view_where"
// keeps them too, "screen_where" the screen position), key messages to the
// focus view, and calls the window's hooks.
//
// Feels: B_FLOATING_ALL_WINDOW_FEEL (and the other floating and modal
// feels) keep the window above normal windows. Workspaces: Linux has one,
// so every window is on it and SetWorkspaces() only records the mask.
//
// Ownership. The window owns its views (deleting them when it goes) and, as
// a looper, its common filters. Quit() deletes the window, as BLooper does.
// The application lists the window from construction to destruction.
#ifndef _WINDOW_H
#define _WINDOW_H

#include <InterfaceDefs.h>
#include <Looper.h>
#include <Rect.h>

#include <memory>
#include <vector>

class BButton;
class BMenuBar;
class BMessageRunner;
class BView;

class BBitmap;

namespace BPrivate {
class WindowPort;
class WindowSurface;
class ViewAccess;
class WindowAccess;
}

enum window_type {
	B_UNTYPED_WINDOW   = 0,
	B_TITLED_WINDOW    = 1,
	B_MODAL_WINDOW     = 3,
	B_DOCUMENT_WINDOW  = 11,
	B_BORDERED_WINDOW  = 20,
	B_FLOATING_WINDOW  = 21
};

enum window_look {
	B_BORDERED_WINDOW_LOOK  = 20,
	B_NO_BORDER_WINDOW_LOOK = 19,
	B_TITLED_WINDOW_LOOK    = 1,
	B_DOCUMENT_WINDOW_LOOK  = 11,
	B_MODAL_WINDOW_LOOK     = 3,
	B_FLOATING_WINDOW_LOOK  = 7
};

enum window_feel {
	B_NORMAL_WINDOW_FEEL         = 0,
	B_MODAL_SUBSET_WINDOW_FEEL   = 2,
	B_MODAL_APP_WINDOW_FEEL      = 1,
	B_MODAL_ALL_WINDOW_FEEL      = 3,
	B_FLOATING_SUBSET_WINDOW_FEEL = 5,
	B_FLOATING_APP_WINDOW_FEEL   = 4,
	B_FLOATING_ALL_WINDOW_FEEL   = 6
};

enum {
	B_NOT_MOVABLE               = 0x00000001,
	B_NOT_CLOSABLE              = 0x00000020,
	B_NOT_ZOOMABLE              = 0x00000040,
	B_NOT_MINIMIZABLE           = 0x00004000,
	B_NOT_RESIZABLE             = 0x00000002,
	B_NOT_H_RESIZABLE           = 0x00000004,
	B_NOT_V_RESIZABLE           = 0x00000008,
	B_AVOID_FRONT               = 0x00000080,
	B_AVOID_FOCUS               = 0x00002000,
	B_WILL_ACCEPT_FIRST_CLICK   = 0x00000010,
	B_OUTLINE_RESIZE            = 0x00001000,
	B_NO_WORKSPACE_ACTIVATION   = 0x00000100,
	B_NOT_ANCHORED_ON_ACTIVATE  = 0x00020000,
	B_ASYNCHRONOUS_CONTROLS     = 0x00080000,
	B_QUIT_ON_WINDOW_CLOSE      = 0x00100000
};

#define B_CURRENT_WORKSPACE 0
#define B_ALL_WORKSPACES    0xffffffff

class BWindow : public BLooper {
public:
	BWindow(BRect frame, const char* title, window_type type, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BRect frame, const char* title, window_look look, window_feel feel,
		uint32 flags, uint32 workspace = B_CURRENT_WORKSPACE);
	virtual ~BWindow();

	virtual void Quit();
	void Close() { Quit(); }

	// ---- Views
	// AddChild and RemoveChild lock the window themselves.
	void AddChild(BView* child, BView* before = NULL);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* viewName) const;
	// The deepest visible view under the point (window coordinates).
	BView* FindView(BPoint point) const;
	BView* CurrentFocus() const;
	BView* LastMouseMovedView() const;

	BButton* DefaultButton() const;
	// The window draws the new default button and the old one again; the
	// button asks IsDefault() of the window.
	void SetDefaultButton(BButton* button);

	// ---- Hooks
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void WindowActivated(bool active);
	virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces);
	virtual void WorkspaceActivated(int32 workspace, bool active);
	virtual void Minimize(bool minimize);
	virtual void Zoom(BPoint origin, float width, float height);
	virtual void ScreenChanged(BRect screenSize, color_space depth);
	virtual void MenusBeginning();
	virtual void MenusEnded();
	virtual bool QuitRequested();
	virtual thread_id Run();

	// ---- Showing
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsMinimized() const;
	void Activate(bool active = true);
	bool IsActive() const;
	bool IsFront() const;

	// ---- Geometry (screen coordinates)
	BRect Frame() const;
	BRect Bounds() const;
	void MoveBy(float dx, float dy);
	void MoveTo(BPoint point);
	void MoveTo(float x, float y);
	void ResizeBy(float dx, float dy);
	void ResizeTo(float width, float height);
	void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
	void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight,
		float* maxHeight);
	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertToScreen(BRect* rect) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	void ConvertFromScreen(BRect* rect) const;
	BRect ConvertFromScreen(BRect rect) const;

	// ---- Appearance
	const char* Title() const;
	void SetTitle(const char* title);
	window_type Type() const;
	status_t SetType(window_type type);
	window_look Look() const;
	status_t SetLook(window_look look);
	window_feel Feel() const;
	status_t SetFeel(window_feel feel);
	uint32 Flags() const;
	status_t SetFlags(uint32 flags);
	uint32 Workspaces() const;
	void SetWorkspaces(uint32 workspaces);
	bool IsModal() const;
	bool IsFloating() const;

	// ---- Drawing
	void UpdateIfNeeded();
	void Flush() const;
	void Sync() const;
	void DisableUpdates();
	void EnableUpdates();
	bool NeedsUpdate() const;
	void SetPulseRate(bigtime_t rate);
	bigtime_t PulseRate() const;

	// ---- Keyboard shortcuts (B_COMMAND_KEY + key)
	// The key menu bar's items answer their shortcuts after the window's own.
	void SetKeyMenuBar(BMenuBar* bar);
	BMenuBar* KeyMenuBar() const;
	void AddShortcut(uint32 key, uint32 modifiers, BMessage* message);
	void AddShortcut(uint32 key, uint32 modifiers, BMessage* message,
		BHandler* target);
	void RemoveShortcut(uint32 key, uint32 modifiers);

	// Mouse and keyboard messages, and what the window manager reports.
	virtual status_t Perform(perform_code code, void* arg);

private:
	friend class BView;
	friend class BPrivate::ViewAccess;
	friend class BPrivate::WindowAccess;

	struct Shortcut {
		uint32 key;
		uint32 modifiers;
		BMessage* message;    // owned
		BHandler* target;
	};

	void _Init(BRect frame, const char* title, window_look look,
		window_feel feel, uint32 flags, uint32 workspaces, BBitmap* bitmap = NULL);
	virtual void _MessageDispatched();
	virtual void _Unlocking();
	void _HandleMouse(BMessage* message);
	void _HandleKey(BMessage* message);
	bool _HandleShortcut(BMessage* message);
	void _HandleResized();
	void _HandleUpdate();
	void _Invalidate(BRect windowRect);
	void _Damaged(BRect windowRect);
	void _Present() const;
	void _SetFocus(BView* view);
	void _ViewRemoved(BView* view);
	void _NavigateFocus(bool backward);
	BView* _DefaultButtonView() const;

	std::shared_ptr<BPrivate::WindowPort> fWindowPort;   // display side
	BView* fTopView;         // owned; holds the window's children
	BView* fFocus;
	BView* fLastMouseMoved;
	BView* fMouseTarget;     // the view that took the last press
	BButton* fDefaultButton;
	BMenuBar* fKeyMenuBar;   // not owned; a view of the window
	BRect fFrame;
	uint32 fMoveSerial = 0;     // of the last MoveTo sent to the display
	char* fTitle;
	window_look fLook;
	window_feel fFeel;
	uint32 fFlags;
	uint32 fWorkspaces;
	int32 fShowLevel;        // > 0: hidden
	bool fMinimized;
	bool fActive;
	bool fOffscreen;         // the hidden window of a bitmap that accepts views
	int32 fUpdatesDisabled;
	float fMinWidth, fMaxWidth, fMinHeight, fMaxHeight;
	bigtime_t fPulseRate;
	BMessageRunner* fPulseRunner;
	std::vector<Shortcut> fShortcuts;

	// The backbuffer (or the bitmap's pixels), its painter, the areas
	// waiting for an update and the damage not yet on the screen.
	std::unique_ptr<BPrivate::WindowSurface> fSurface;
	bool fUpdatePending;     // an _UPDATE_ is queued

	// An offscreen window draws into a bitmap; used by BBitmap.
	BWindow(BBitmap* bitmap);
	friend class BBitmap;
};

#endif
