// BTabView and BTab: pages of views, one shown at a time, chosen by the
// row of tabs along the top.
//
// Each tab holds one view. The selected tab's view is the only child of the
// container view (ContainerView(), the area under the tabs); the views of
// the other tabs are out of the window until their tab is selected. A
// click on an enabled tab selects it; with the keyboard focus, the left and
// right arrows move the focus among the tabs and space or Enter selects.
// The first tab added to a view in a window is selected.
//
// Ownership. The tab view owns its tabs (RemoveTab() gives one back), and a
// tab owns its view whether it is shown or not; deleting a tab deletes its
// view. Archive: BView's fields (without children), "_but_width" (int32),
// "_high" (float: the tab height), "_sel" (int32), then for every tab its
// archive in "_l_items" and, when deep, its view's in "_view_list".
#ifndef _TAB_VIEW_H
#define _TAB_VIEW_H

#include <Alert.h>     // button_width
#include <Archivable.h>
#include <View.h>

#include <vector>

class BTabView;

enum tab_position {
	B_TAB_FIRST = 999,
	B_TAB_FRONT,
	B_TAB_ANY
};

class BTab : public BArchivable {
public:
	BTab(BView* tabView = NULL);
	BTab(BMessage* archive);
	virtual ~BTab();

	static BArchivable* Instantiate(BMessage* archive);
	// "_label" and "_disable"; the view is archived by the tab view.
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	// The view's name doubles as the label, as on BeOS.
	const char* Label() const;
	virtual void SetLabel(const char* label);

	bool IsSelected() const;
	// Puts the tab's view into `owner` (the container view) / takes it out.
	virtual void Select(BView* owner);
	virtual void Deselect();

	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	void MakeFocus(bool inFocus = true);
	bool IsFocus() const;

	// Replaces (and deletes) the tab's view.
	virtual void SetView(BView* view);
	BView* View() const;

	virtual void DrawFocusMark(BView* owner, BRect tabFrame);
	virtual void DrawLabel(BView* owner, BRect tabFrame);
	virtual void DrawTab(BView* owner, BRect tabFrame, tab_position position,
		bool full = true);

	BTab(const BTab&) = delete;
	BTab& operator=(const BTab&) = delete;

private:
	BView* fView;      // owned
	char* fLabel;      // owned; used when there is no view to name
	bool fSelected;
	bool fEnabled;
	bool fFocus;
};

class BTabView : public BView {
public:
	BTabView(BRect frame, const char* name, button_width width = B_WIDTH_AS_USUAL,
		uint32 resizingMode = B_FOLLOW_ALL,
		uint32 flags = B_FULL_UPDATE_ON_RESIZE | B_WILL_DRAW | B_NAVIGABLE_JUMP
			| B_FRAME_EVENTS | B_NAVIGABLE);
	BTabView(BMessage* archive);
	virtual ~BTabView();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void AttachedToWindow();
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void MouseDown(BPoint where);
	virtual void FrameResized(float width, float height);

	// Shows the tab's view; out-of-range indexes are ignored.
	virtual void Select(int32 index);
	int32 Selection() const;

	virtual void MakeFocus(bool focus = true);
	virtual void SetFocusTab(int32 index, bool focused);
	int32 FocusTab() const;

	virtual void Draw(BRect updateRect);
	// Draws every tab and returns the selected tab's frame.
	virtual BRect DrawTabs();
	// The frame around the container, open under `selectedTabFrame`.
	virtual void DrawBox(BRect selectedTabFrame);
	virtual BRect TabFrame(int32 index) const;

	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	// Adds a tab for `target` (a new BTab when `tab` is NULL); the view
	// takes the tab's place until the tab is selected.
	virtual void AddTab(BView* target, BTab* tab = NULL);
	// The caller owns the tab (and through it its view); NULL when out of
	// range. A removed selected tab hands the selection to a neighbour.
	virtual BTab* RemoveTab(int32 index);
	virtual BTab* TabAt(int32 index) const;

	virtual void SetTabWidth(button_width width);
	button_width TabWidth() const;
	virtual void SetTabHeight(float height);
	float TabHeight() const;

	BView* ContainerView() const;
	int32 CountTabs() const;
	BView* ViewForTab(int32 index) const;

private:
	void _Init(button_width width);
	void _LayoutContainer();
	float _TabWidth(int32 index) const;

	std::vector<BTab*> fTabs;   // owned
	BView* fContainer;          // a child
	int32 fSelection;
	int32 fFocus;
	button_width fTabWidthSetting;
	float fTabHeight;
};

#endif
