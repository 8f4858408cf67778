#include <Window.h>

#include <Application.h>
#include <Autolock.h>
#include <Bitmap.h>
#include <Button.h>
#include <MenuBar.h>
#include <MessageRunner.h>
#include <Messenger.h>
#include <View.h>

#include "app/AppWindows.h"
#include "app/LooperAccess.h"
#include "app/LooperPort.h"
#include "interface/ViewTree.h"
#include "interface/WindowAccess.h"
#include "interface/WindowPort.h"
#include "interface/WindowSurface.h"
#include "support/Misuse.h"

#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

using BPrivate::ViewWalk;
using BPrivate::WindowSurface;

// Fields with a value to fall back on.
static bool bool_field(const BMessage* message, const char* name, bool fallback)
{
	bool value;
	return message->FindBool(name, &value) == B_OK ? value : fallback;
}

static int32 int32_field(const BMessage* message, const char* name, int32 fallback)
{
	int32 value;
	return message->FindInt32(name, &value) == B_OK ? value : fallback;
}

static int64 int64_field(const BMessage* message, const char* name, int64 fallback)
{
	int64 value;
	return message->FindInt64(name, &value) == B_OK ? value : fallback;
}

static const char* string_field(const BMessage* message, const char* name,
	const char* fallback)
{
	const char* value;
	return message->FindString(name, &value) == B_OK ? value : fallback;
}

static window_look look_for_type(window_type type)
{
	switch (type) {
		case B_MODAL_WINDOW: return B_MODAL_WINDOW_LOOK;
		case B_DOCUMENT_WINDOW: return B_DOCUMENT_WINDOW_LOOK;
		case B_BORDERED_WINDOW: return B_BORDERED_WINDOW_LOOK;
		case B_FLOATING_WINDOW: return B_FLOATING_WINDOW_LOOK;
		default: return B_TITLED_WINDOW_LOOK;
	}
}

static window_feel feel_for_type(window_type type)
{
	switch (type) {
		case B_MODAL_WINDOW: return B_MODAL_APP_WINDOW_FEEL;
		case B_FLOATING_WINDOW: return B_FLOATING_APP_WINDOW_FEEL;
		default: return B_NORMAL_WINDOW_FEEL;
	}
}

static display::Decoration decoration_for_look(window_look look)
{
	switch (look) {
		case B_MODAL_WINDOW_LOOK:
		case B_BORDERED_WINDOW_LOOK:
			return display::Decoration::kBordered;
		case B_NO_BORDER_WINDOW_LOOK:
			return display::Decoration::kBorderless;
		default:
			return display::Decoration::kTitled;
	}
}

static bool feel_stays_on_top(window_feel feel)
{
	return feel != B_NORMAL_WINDOW_FEEL;
}

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags,
	uint32 workspace)
	:
	BLooper(title)
{
	_Init(frame, title, look_for_type(type), feel_for_type(type), flags, workspace);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel,
	uint32 flags, uint32 workspace)
	:
	BLooper(title)
{
	_Init(frame, title, look, feel, flags, workspace);
}

// The hidden window of a bitmap that accepts views: no thread and nothing on
// the screen; views draw straight into the bitmap's pixels.
BWindow::BWindow(BBitmap* bitmap)
	:
	BLooper("offscreen")
{
	_Init(bitmap->Bounds(), "offscreen", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0, 0, bitmap);
}

void BWindow::_Init(BRect frame, const char* title, window_look look,
	window_feel feel, uint32 flags, uint32 workspaces, BBitmap* bitmap)
{
	frame.right = std::max(frame.right, frame.left);
	frame.bottom = std::max(frame.bottom, frame.top);
	fFrame = frame;
	fTitle = strdup(title != NULL ? title : "");
	fLook = look;
	fFeel = feel;
	fFlags = flags;
	fWorkspaces = workspaces == B_CURRENT_WORKSPACE ? 1 : workspaces;
	fShowLevel = 1;
	fMinimized = false;
	fActive = false;
	fOffscreen = bitmap != NULL;
	fUpdatesDisabled = 0;
	fMinWidth = 0;
	fMaxWidth = 32768;
	fMinHeight = 0;
	fMaxHeight = 32768;
	fPulseRate = 500000;
	fPulseRunner = NULL;
	fFocus = NULL;
	fLastMouseMoved = NULL;
	fMouseTarget = NULL;
	fDefaultButton = NULL;
	fKeyMenuBar = NULL;
	fUpdatePending = false;
	if (fOffscreen)
		fSurface.reset(new WindowSurface(bitmap));
	else
		fSurface.reset(new WindowSurface(fFrame.IntegerWidth() + 1, fFrame.IntegerHeight() + 1));

	fTopView = new BView(Bounds(), "top view", B_FOLLOW_ALL, B_WILL_DRAW);
	fTopView->_Attach(this);

	if (fOffscreen)
		return;

	fWindowPort = std::make_shared<BPrivate::WindowPort>(
		BPrivate::LooperAccess::Port(this));
	display::WindowParams params;
	params.title = fTitle;
	params.x = (int32)fFrame.left;
	params.y = (int32)fFrame.top;
	params.width = fSurface->Width();
	params.height = fSurface->Height();
	params.decoration = decoration_for_look(fLook);
	params.alwaysOnTop = feel_stays_on_top(fFeel);
	params.acceptsFocus = (fFlags & B_AVOID_FOCUS) == 0;
	params.resizable = (fFlags & B_NOT_RESIZABLE) == 0;
	if (fWindowPort->Create(params) != B_OK)
		fprintf(stderr, "BWindow: the display refused the window \"%s\"\n", fTitle);
	BPrivate::register_window(this, this);
	_Invalidate(Bounds());
}

BWindow::~BWindow()
{
	if (!fOffscreen)
		BPrivate::unregister_window(this);
	delete fPulseRunner;
	fPulseRunner = NULL;
	if (fWindowPort != nullptr)
		fWindowPort->Destroy();

	// The views go first, while the window they are told about still works.
	while (BView* child = fTopView->ChildAt(0)) {
		fTopView->RemoveChild(child);
		delete child;
	}
	fTopView->_Detach();
	delete fTopView;
	fTopView = NULL;
	for (Shortcut& shortcut : fShortcuts)
		delete shortcut.message;
	free(fTitle);
}

void BWindow::Quit()
{
	if (!IsLocked()) {
		BPrivate::report_misuse("BWindow::Quit", "the window must be locked by the caller");
		return;
	}
	// Off the screen at once, whichever thread asks.
	if (fWindowPort != nullptr)
		fWindowPort->Server().HideWindow(fWindowPort->Id());
	BLooper::Quit();
}

thread_id BWindow::Run()
{
	return BLooper::Run();
}

// ---- Views

// These two lock the window themselves, so that any thread may call them.
void BWindow::AddChild(BView* child, BView* before)
{
	BAutolock lock(this);
	if (lock.IsLocked())
		fTopView->AddChild(child, before);
}

bool BWindow::RemoveChild(BView* child)
{
	BAutolock lock(this);
	return lock.IsLocked() && fTopView->RemoveChild(child);
}

int32 BWindow::CountChildren() const
{
	return fTopView->CountChildren();
}

BView* BWindow::ChildAt(int32 index) const
{
	return fTopView->ChildAt(index);
}

BView* BWindow::FindView(const char* viewName) const
{
	if (viewName == NULL)
		return NULL;
	return BPrivate::find_view(fTopView, [&](BView* view) {
		return view != fTopView && view->Name() != NULL
			&& strcmp(view->Name(), viewName) == 0;
	});
}

BView* BWindow::FindView(BPoint point) const
{
	if (!Bounds().Contains(point))
		return NULL;
	// Down from the top view, into the child under the point at each level;
	// later children lie on top of earlier ones.
	BView* view = fTopView;
	for (bool deeper = true; deeper;) {
		deeper = false;
		for (int32 i = view->CountChildren() - 1; i >= 0; i--) {
			BView* child = view->ChildAt(i);
			if (child->fHidden == 0 && child->Frame().Contains(point)) {
				point = child->ConvertFromParent(point);
				view = child;
				deeper = true;
				break;
			}
		}
	}
	return view == fTopView ? NULL : view;
}

BView* BWindow::CurrentFocus() const
{
	return fFocus;
}

BView* BWindow::LastMouseMovedView() const
{
	return fLastMouseMoved;
}

BButton* BWindow::DefaultButton() const
{
	return fDefaultButton;
}

BView* BWindow::_DefaultButtonView() const
{
	return fDefaultButton;
}

void BWindow::SetDefaultButton(BButton* button)
{
	if (button == fDefaultButton)
		return;
	BButton* old = fDefaultButton;
	fDefaultButton = button;
	// Both change their look (and the default one its size).
	if (old != NULL)
		old->Invalidate();
	if (button != NULL)
		button->Invalidate();
}

void BWindow::_SetFocus(BView* view)
{
	BView* old = fFocus;
	fFocus = view;
	if (old != NULL && old != view)
		old->MakeFocus(false);
}

void BWindow::_ViewRemoved(BView* view)
{
	if (fFocus == view)
		fFocus = NULL;
	if (fLastMouseMoved == view)
		fLastMouseMoved = NULL;
	if (fMouseTarget == view)
		fMouseTarget = NULL;
	if (fDefaultButton != NULL && static_cast<BView*>(fDefaultButton) == view)
		fDefaultButton = NULL;
}

void BWindow::_NavigateFocus(bool backward)
{
	// Shown views with B_NAVIGABLE, in the order of the tree.
	std::vector<BView*> views = BPrivate::collect_views(fTopView,
		[](BView* view) {
			return view->fHidden == 0 && (view->Flags() & B_NAVIGABLE) != 0;
		},
		[](BView* view) { return view->fHidden == 0; });
	if (views.empty())
		return;
	auto it = std::find(views.begin(), views.end(), fFocus);
	size_t index;
	if (it == views.end())
		index = backward ? views.size() - 1 : 0;
	else if (backward)
		index = (it - views.begin() + views.size() - 1) % views.size();
	else
		index = (it - views.begin() + 1) % views.size();
	views[index]->MakeFocus(true);
}

// ---- Messages

[[gnu::hot]] void BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == NULL)
		return;
	switch (message->what) {
		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED:
			_HandleMouse(message);
			return;
		case B_MOUSE_WHEEL_CHANGED:
		{
			BPoint where;
			fWindowPort->GetPointer(&where, NULL);
			BView* view = FindView(where);
			BLooper::DispatchMessage(message, view != NULL ? view : handler);
			return;
		}
		case B_KEY_DOWN:
		case B_KEY_UP:
		case B_UNMAPPED_KEY_DOWN:
		case B_UNMAPPED_KEY_UP:
		case B_MODIFIERS_CHANGED:
			_HandleKey(message);
			return;
		case B_WINDOW_MOVED:
		{
			// A report made before the window carried out the program's
			// latest move is old news: the frame already holds that move.
			BPoint where;
			int32 serial = 0;
			const bool overtaken = message->FindInt32("be:move_serial", &serial) == B_OK
				&& (int32)((uint32)serial - fMoveSerial) < 0;
			if (!overtaken && message->FindPoint("where", &where) == B_OK)
				fFrame.OffsetTo(where);
			FrameMoved(fFrame.LeftTop());
			return;
		}
		case B_WINDOW_RESIZED:
		{
			int32 width, height;
			if (message->FindInt32("width", &width) == B_OK
				&& message->FindInt32("height", &height) == B_OK
				&& (width != fFrame.IntegerWidth() || height != fFrame.IntegerHeight())) {
				fFrame.right = fFrame.left + width;
				fFrame.bottom = fFrame.top + height;
				_HandleResized();
			}
			FrameResized(fFrame.Width(), fFrame.Height());
			return;
		}
		case B_WINDOW_ACTIVATED:
		{
			bool active = bool_field(message, "active", true);
			if (active == fActive)
				return;
			fActive = active;
			WindowActivated(active);
			std::vector<BView*> views = BPrivate::collect_views(fTopView,
				[](BView*) { return true; });
			for (BView* view : views) {
				if (view->Window() == this)
					view->WindowActivated(active);
			}
			return;
		}
		case B_MINIMIZE:
		{
			bool minimize = bool_field(message, "minimize", true);
			fMinimized = minimize;
			Minimize(minimize);
			return;
		}
		case B_ZOOM:
			Zoom(fFrame.LeftTop(), fFrame.Width(), fFrame.Height());
			return;
		case B_WORKSPACES_CHANGED:
		{
			uint32 oldWorkspaces = (uint32)int32_field(message, "old", 0);
			uint32 newWorkspaces = (uint32)int32_field(message, "new", 0);
			WorkspacesChanged(oldWorkspaces, newWorkspaces);
			return;
		}
		case B_WORKSPACE_ACTIVATED:
			WorkspaceActivated(int32_field(message, "workspace", 0),
				bool_field(message, "active", false));
			return;
		case B_QUIT_REQUESTED:
			if (handler == this || handler == NULL) {
				BLooper::DispatchMessage(message, this);
				return;
			}
			break;
		case _UPDATE_:
			_HandleUpdate();
			return;
		case BPrivate::kMsgPresent:
			return;
		case BPrivate::kMsgExposed:
			_Damaged(Bounds());
			return;
		case B_PULSE:
			BPrivate::for_each_view(fTopView, [&](BView* view) {
				if ((view->Flags() & B_PULSE_NEEDED) != 0 && !view->IsHidden(fTopView))
					view->Pulse();
			});
			return;
		case B_VIEW_MOVED:
		case B_VIEW_RESIZED:
		{
			BView* view = dynamic_cast<BView*>(handler);
			if (view == NULL || view->Window() != this)
				break;
			if (message->what == B_VIEW_MOVED)
				view->FrameMoved(view->Frame().LeftTop());
			else
				view->FrameResized(view->Frame().Width(), view->Frame().Height());
			return;
		}
		default:
			break;
	}

	// Something dropped goes to the view under the drop point.
	if (message->WasDropped() && handler == this) {
		BPoint where = ConvertFromScreen(message->DropPoint());
		if (BView* view = FindView(where))
			handler = view;
	}
	BLooper::DispatchMessage(message, handler);
}

void BWindow::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

// Mouse messages go to the view under the pointer, or to the view that
// asked for every pointer event; a press decides where its release goes.
void BWindow::_HandleMouse(BMessage* message)
{
	BPoint where;
	if (message->FindPoint("where", &where) != B_OK)
		return;
	BView* under = FindView(where);
	bool exited = bool_field(message, "be:window_exited", false);
	if (exited)
		under = NULL;

	auto deliver = [&](BView* view, uint32 transit) {
		if (view == NULL || view->Window() != this)
			return;
		BPoint local = view->ConvertFromScreen(ConvertToScreen(where));
		message->ReplacePoint("where", local);
		if (!message->HasPoint("be:view_where"))
			message->AddPoint("be:view_where", local);
		else
			message->ReplacePoint("be:view_where", local);
		switch (message->what) {
			case B_MOUSE_DOWN:
				view->MouseDown(local);
				break;
			case B_MOUSE_UP:
				view->MouseUp(local);
				break;
			default:
				view->MouseMoved(local, transit, NULL);
				break;
		}
		message->ReplacePoint("where", where);
	};

	// Views that asked for every pointer event get this one too.
	std::vector<BView*> listeners = BPrivate::collect_views(fTopView,
		[](BView* view) { return (view->fEventMask & B_POINTER_EVENTS) != 0; });

	BView* target = NULL;
	uint32 transit = B_INSIDE_VIEW;
	switch (message->what) {
		case B_MOUSE_DOWN:
			fMouseTarget = under;
			target = under;
			break;
		case B_MOUSE_UP:
			target = fMouseTarget != NULL ? fMouseTarget : under;
			break;
		case B_MOUSE_MOVED:
			if (fMouseTarget != NULL
				&& (fMouseTarget->fMouseEventMask & B_POINTER_EVENTS) != 0) {
				target = fMouseTarget;
				transit = under == target ? B_INSIDE_VIEW : B_OUTSIDE_VIEW;
			} else {
				if (under != fLastMouseMoved) {
					BView* last = fLastMouseMoved;
					fLastMouseMoved = under;
					if (last != NULL)
						deliver(last, B_EXITED_VIEW);
					transit = B_ENTERED_VIEW;
				}
				target = under;
			}
			break;
	}
	if (target != NULL && !exited)
		deliver(target, transit);
	for (BView* view : listeners) {
		if (view != target && view->Window() == this)
			deliver(view, view == under ? B_INSIDE_VIEW : B_OUTSIDE_VIEW);
	}

	if (message->what == B_MOUSE_UP) {
		if (fMouseTarget != NULL && fMouseTarget->Window() == this)
			fMouseTarget->fMouseEventMask = 0;
		fMouseTarget = NULL;
	}
}

void BWindow::_HandleKey(BMessage* message)
{
	if (message->what == B_KEY_DOWN && _HandleShortcut(message))
		return;
	BView* target = fFocus != NULL ? fFocus : fTopView;
	const char* bytes = string_field(message, "bytes", "");
	int32 length = (int32)strlen(bytes);
	switch (message->what) {
		case B_KEY_DOWN:
			target->KeyDown(bytes, length);
			break;
		case B_KEY_UP:
			target->KeyUp(bytes, length);
			break;
		default:
			if (target != fTopView)
				BLooper::DispatchMessage(message, target);
			break;
	}
}

bool BWindow::_HandleShortcut(BMessage* message)
{
	uint32 mods = (uint32)int32_field(message, "modifiers", 0);
	if ((mods & B_COMMAND_KEY) == 0)
		return false;
	int32 raw = int32_field(message, "raw_char", 0);
	uint32 key = (uint32)tolower(raw);
	const uint32 kRelevant = B_SHIFT_KEY | B_CONTROL_KEY | B_OPTION_KEY;
	for (Shortcut& shortcut : fShortcuts) {
		if (shortcut.key != key || (shortcut.modifiers & kRelevant) != (mods & kRelevant))
			continue;
		BMessage copy(*shortcut.message);
		copy.AddInt64("when", int64_field(message, "when", system_time()));
		PostMessage(&copy, shortcut.target != NULL ? shortcut.target : this);
		return true;
	}
	if (fKeyMenuBar != NULL && fKeyMenuBar->Window() == this)
		return fKeyMenuBar->_InvokeShortcut(key, mods);
	return false;
}

void BWindow::SetKeyMenuBar(BMenuBar* bar)
{
	fKeyMenuBar = bar;
}

BMenuBar* BWindow::KeyMenuBar() const
{
	return fKeyMenuBar;
}

void BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message)
{
	AddShortcut(key, modifiers, message, NULL);
}

void BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message,
	BHandler* target)
{
	if (message == NULL)
		return;
	RemoveShortcut(key, modifiers);
	fShortcuts.push_back(Shortcut{(uint32)tolower((int)key),
		modifiers | B_COMMAND_KEY, message, target});
}

void BWindow::RemoveShortcut(uint32 key, uint32 modifiers)
{
	key = (uint32)tolower((int)key);
	modifiers |= B_COMMAND_KEY;
	for (auto it = fShortcuts.begin(); it != fShortcuts.end(); ++it) {
		if (it->key == key && it->modifiers == modifiers) {
			delete it->message;
			fShortcuts.erase(it);
			return;
		}
	}
}

// ---- Hooks

void BWindow::FrameMoved(BPoint) {}
void BWindow::FrameResized(float, float) {}
void BWindow::WindowActivated(bool) {}
void BWindow::WorkspacesChanged(uint32, uint32) {}
void BWindow::WorkspaceActivated(int32, bool) {}
void BWindow::Zoom(BPoint, float, float) {}
void BWindow::ScreenChanged(BRect, color_space) {}
void BWindow::MenusBeginning() {}
void BWindow::MenusEnded() {}

bool BWindow::QuitRequested()
{
	return true;
}

void BWindow::Minimize(bool minimize)
{
	if (fWindowPort != nullptr)
		fWindowPort->Server().MinimizeWindow(fWindowPort->Id(), minimize);
}

status_t BWindow::Perform(perform_code code, void* arg)
{
	return BLooper::Perform(code, arg);
}

// ---- Showing

void BWindow::Show()
{
	if (fOffscreen)
		return;
	if (fShowLevel > 0)
		fShowLevel--;
	if (fShowLevel == 0) {
		display::DisplayServer& server = fWindowPort->Server();
		server.ShowWindow(fWindowPort->Id());
		if ((fFlags & B_AVOID_FOCUS) == 0)
			server.ActivateWindow(fWindowPort->Id());
		_Damaged(Bounds());
	}
	if (Thread() < 0)
		Run();
}

void BWindow::Hide()
{
	if (fOffscreen)
		return;
	if (fShowLevel++ == 0)
		fWindowPort->Server().HideWindow(fWindowPort->Id());
}

bool BWindow::IsHidden() const
{
	return fShowLevel > 0;
}

bool BWindow::IsMinimized() const
{
	if (fWindowPort == nullptr)
		return false;
	display::WindowState state;
	if (fWindowPort->Server().GetWindowState(fWindowPort->Id(), &state) != B_OK)
		return fMinimized;
	return state.minimized;
}

void BWindow::Activate(bool active)
{
	if (fWindowPort == nullptr || IsHidden())
		return;
	if (active)
		fWindowPort->Server().ActivateWindow(fWindowPort->Id());
}

bool BWindow::IsActive() const
{
	return fActive;
}

bool BWindow::IsFront() const
{
	if (fWindowPort == nullptr)
		return false;
	std::vector<display::window_id> order = fWindowPort->Server().WindowOrder();
	for (display::window_id id : order) {
		display::WindowState state;
		if (fWindowPort->Server().GetWindowState(id, &state) == B_OK && !state.hidden)
			return id == fWindowPort->Id();
	}
	return false;
}

// ---- Geometry

BRect BWindow::Frame() const
{
	return fFrame;
}

BRect BWindow::Bounds() const
{
	return BRect(0, 0, fFrame.Width(), fFrame.Height());
}

void BWindow::MoveBy(float dx, float dy)
{
	MoveTo(fFrame.left + dx, fFrame.top + dy);
}

void BWindow::MoveTo(BPoint point)
{
	MoveTo(point.x, point.y);
}

void BWindow::MoveTo(float x, float y)
{
	x = roundf(x);
	y = roundf(y);
	fFrame.OffsetTo(x, y);
	if (fWindowPort != nullptr) {
		if (++fMoveSerial == 0)
			fMoveSerial = 1;
		fWindowPort->Server().MoveWindow(fWindowPort->Id(), (int32)x, (int32)y, fMoveSerial);
	}
}

void BWindow::ResizeBy(float dx, float dy)
{
	ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
}

void BWindow::ResizeTo(float width, float height)
{
	width = roundf(std::min(std::max(width, fMinWidth), fMaxWidth));
	height = roundf(std::min(std::max(height, fMinHeight), fMaxHeight));
	if (width == fFrame.Width() && height == fFrame.Height())
		return;
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	_HandleResized();
	if (fWindowPort != nullptr)
		fWindowPort->Server().ResizeWindow(fWindowPort->Id(), fSurface->Width(),
			fSurface->Height());
}

void BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight,
	float maxHeight)
{
	fMinWidth = minWidth;
	fMaxWidth = std::max(minWidth, maxWidth);
	fMinHeight = minHeight;
	fMaxHeight = std::max(minHeight, maxHeight);
}

void BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight,
	float* maxHeight)
{
	if (minWidth != NULL) *minWidth = fMinWidth;
	if (maxWidth != NULL) *maxWidth = fMaxWidth;
	if (minHeight != NULL) *minHeight = fMinHeight;
	if (maxHeight != NULL) *maxHeight = fMaxHeight;
}

void BWindow::ConvertToScreen(BPoint* point) const
{
	point->x += fFrame.left;
	point->y += fFrame.top;
}

BPoint BWindow::ConvertToScreen(BPoint point) const
{
	ConvertToScreen(&point);
	return point;
}

void BWindow::ConvertToScreen(BRect* rect) const
{
	rect->OffsetBy(fFrame.left, fFrame.top);
}

BRect BWindow::ConvertToScreen(BRect rect) const
{
	ConvertToScreen(&rect);
	return rect;
}

void BWindow::ConvertFromScreen(BPoint* point) const
{
	point->x -= fFrame.left;
	point->y -= fFrame.top;
}

BPoint BWindow::ConvertFromScreen(BPoint point) const
{
	ConvertFromScreen(&point);
	return point;
}

void BWindow::ConvertFromScreen(BRect* rect) const
{
	rect->OffsetBy(-fFrame.left, -fFrame.top);
}

BRect BWindow::ConvertFromScreen(BRect rect) const
{
	ConvertFromScreen(&rect);
	return rect;
}

// ---- Appearance

const char* BWindow::Title() const
{
	return fTitle;
}

void BWindow::SetTitle(const char* title)
{
	free(fTitle);
	fTitle = strdup(title != NULL ? title : "");
	SetName(fTitle);
	if (fWindowPort != nullptr)
		fWindowPort->Server().SetTitle(fWindowPort->Id(), fTitle);
}

window_type BWindow::Type() const
{
	if (fLook == B_MODAL_WINDOW_LOOK && fFeel == B_MODAL_APP_WINDOW_FEEL)
		return B_MODAL_WINDOW;
	if (fLook == B_FLOATING_WINDOW_LOOK && fFeel == B_FLOATING_APP_WINDOW_FEEL)
		return B_FLOATING_WINDOW;
	if (fFeel != B_NORMAL_WINDOW_FEEL)
		return B_UNTYPED_WINDOW;
	switch (fLook) {
		case B_TITLED_WINDOW_LOOK: return B_TITLED_WINDOW;
		case B_DOCUMENT_WINDOW_LOOK: return B_DOCUMENT_WINDOW;
		case B_BORDERED_WINDOW_LOOK: return B_BORDERED_WINDOW;
		default: return B_UNTYPED_WINDOW;
	}
}

status_t BWindow::SetType(window_type type)
{
	SetLook(look_for_type(type));
	return SetFeel(feel_for_type(type));
}

window_look BWindow::Look() const
{
	return fLook;
}

status_t BWindow::SetLook(window_look look)
{
	fLook = look;
	if (fWindowPort != nullptr)
		return fWindowPort->Server().SetDecoration(fWindowPort->Id(),
			decoration_for_look(look));
	return B_OK;
}

window_feel BWindow::Feel() const
{
	return fFeel;
}

status_t BWindow::SetFeel(window_feel feel)
{
	switch (feel) {
		case B_NORMAL_WINDOW_FEEL:
		case B_MODAL_SUBSET_WINDOW_FEEL:
		case B_MODAL_APP_WINDOW_FEEL:
		case B_MODAL_ALL_WINDOW_FEEL:
		case B_FLOATING_SUBSET_WINDOW_FEEL:
		case B_FLOATING_APP_WINDOW_FEEL:
		case B_FLOATING_ALL_WINDOW_FEEL:
			break;
		default:
			return B_BAD_VALUE;
	}
	fFeel = feel;
	if (fWindowPort != nullptr)
		return fWindowPort->Server().SetAlwaysOnTop(fWindowPort->Id(),
			feel_stays_on_top(feel));
	return B_OK;
}

uint32 BWindow::Flags() const
{
	return fFlags;
}

status_t BWindow::SetFlags(uint32 flags)
{
	fFlags = flags;
	return B_OK;
}

uint32 BWindow::Workspaces() const
{
	return fWorkspaces;
}

// Linux gives us one workspace: the mask is kept, and the window stays where
// it is.
void BWindow::SetWorkspaces(uint32 workspaces)
{
	if (workspaces == B_CURRENT_WORKSPACE)
		workspaces = 1;
	if (workspaces == fWorkspaces)
		return;
	uint32 old = fWorkspaces;
	fWorkspaces = workspaces;
	BMessage changed(B_WORKSPACES_CHANGED);
	changed.AddInt64("when", system_time());
	changed.AddInt32("old", (int32)old);
	changed.AddInt32("new", (int32)workspaces);
	PostMessage(&changed);
}

bool BWindow::IsModal() const
{
	return fFeel == B_MODAL_SUBSET_WINDOW_FEEL || fFeel == B_MODAL_APP_WINDOW_FEEL
		|| fFeel == B_MODAL_ALL_WINDOW_FEEL;
}

bool BWindow::IsFloating() const
{
	return fFeel == B_FLOATING_SUBSET_WINDOW_FEEL || fFeel == B_FLOATING_APP_WINDOW_FEEL
		|| fFeel == B_FLOATING_ALL_WINDOW_FEEL;
}

// ---- Drawing

// The frame's size changed: a new buffer, the views follow, all is drawn
// again.
void BWindow::_HandleResized()
{
	if (fOffscreen)
		return;
	fSurface->Resize(fFrame.IntegerWidth() + 1, fFrame.IntegerHeight() + 1);
	fTopView->_SetFrame(Bounds());
	_Invalidate(Bounds());
}

void BWindow::_Invalidate(BRect windowRect)
{
	if (fOffscreen)
		return;
	fSurface->Invalidate(windowRect & Bounds());
	if (fUpdatePending || fUpdatesDisabled > 0 || !fSurface->NeedsUpdate())
		return;
	fUpdatePending = true;
	BPrivate::LooperAccess::Port(this)->Push(new BMessage(_UPDATE_), 0, true);
}

void BWindow::_HandleUpdate()
{
	fUpdatePending = false;
	if (!fSurface->BeginUpdate())
		return;
	fTopView->_DrawTree(fSurface->UpdateRegion());
	fSurface->EndUpdate();
}

void BWindow::_Damaged(BRect windowRect)
{
	if (fOffscreen)
		return;
	windowRect = windowRect & Bounds();
	if (!windowRect.IsValid())
		return;
	fSurface->AddDamage(windowRect);
	// Drawing by another thread that holds the lock reaches the screen when
	// that thread lets the window go (or flushes it), without waking the
	// window's thread for it.
	if (Thread() >= 0 && find_thread(NULL) != Thread())
		fUnlockHook = true;
}

void BWindow::_Unlocking()
{
	fUnlockHook = false;
	_Present();
}

[[gnu::hot]] void BWindow::_Present() const
{
	if (!fSurface->HasDamage() || fWindowPort == nullptr)
		return;
	std::vector<display::PixelRect> rects = fSurface->TakeDamage();
	fWindowPort->Server().Present(fWindowPort->Id(), fSurface->Pixels(), rects.data(),
		(int32)rects.size());
}

void BWindow::_MessageDispatched()
{
	_Present();
}

void BWindow::UpdateIfNeeded()
{
	if (find_thread(NULL) != Thread())
		return;
	if (fSurface->NeedsUpdate())
		_HandleUpdate();
	_Present();
}

void BWindow::Flush() const
{
	_Present();
}

void BWindow::Sync() const
{
	_Present();
	if (fWindowPort != nullptr)
		fWindowPort->Server().Sync();
}

void BWindow::DisableUpdates()
{
	fUpdatesDisabled++;
}

void BWindow::EnableUpdates()
{
	if (fUpdatesDisabled > 0 && --fUpdatesDisabled == 0 && fSurface->NeedsUpdate()) {
		fUpdatePending = true;
		BPrivate::LooperAccess::Port(this)->Push(new BMessage(_UPDATE_), 0, true);
	}
}

bool BWindow::NeedsUpdate() const
{
	return fSurface->NeedsUpdate();
}

void BWindow::SetPulseRate(bigtime_t rate)
{
	fPulseRate = rate;
	delete fPulseRunner;
	fPulseRunner = NULL;
	if (rate > 0) {
		BMessage pulse(B_PULSE);
		fPulseRunner = new BMessageRunner(BMessenger(this), &pulse, rate);
	}
}

bigtime_t BWindow::PulseRate() const
{
	return fPulseRate;
}

// ---- For tests and tools

display::window_id BPrivate::WindowAccess::NativeWindow(const BWindow* window)
{
	return window->fWindowPort != nullptr ? window->fWindowPort->Id() : 0;
}

void BPrivate::WindowAccess::ReadBackbuffer(const BWindow* window,
	std::vector<uint32>* pixels, int32* width, int32* height)
{
	window->fSurface->ReadPixels(pixels, width, height);
}

status_t BPrivate::WindowAccess::WritePng(BWindow* window, const char* path)
{
	if (window->fWindowPort == nullptr)
		return B_BAD_VALUE;
	if (window->Lock()) {
		window->Sync();
		window->Unlock();
	}
	return window->fWindowPort->Server().WriteContentsToPng(window->fWindowPort->Id(), path);
}

status_t BPrivate::WindowAccess::Settle(BWindow* window)
{
	BMessenger messenger(window);
	BMessage reply;
	status_t status = messenger.SendMessage(BPrivate::kMsgPresent, &reply);
	if (status == B_OK && window->fWindowPort != nullptr)
		status = window->fWindowPort->Server().Sync();
	return status;
}
