// BTabView and BTab.
#include <TabView.h>

#include <Message.h>
#include <Window.h>

#include "interface/ControlLook.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

static BPrivate::InstantiationRegistrar sTabRegistrar("BTab", BTab::Instantiate);
static BPrivate::InstantiationRegistrar sTabViewRegistrar("BTabView", BTabView::Instantiate);

// Where the first tab starts, the room around a label, the usual width.
static const float kTabsIndent = 6;
static const float kLabelPadding = 20;
static const float kUsualTabWidth = 80;
// Unselected tabs stand this much lower than the selected one.
static const float kTabDrop = 2;
// The border between the tab view's edge and its container.
static const float kBorder = 3;

// ---- BTab

BTab::BTab(BView* tabView)
	: fView(tabView), fLabel(NULL), fSelected(false), fEnabled(true), fFocus(false)
{
}

BTab::BTab(BMessage* archive)
	: BArchivable(archive), fView(NULL), fLabel(NULL), fSelected(false), fEnabled(true),
	  fFocus(false)
{
	if (archive == NULL)
		return;
	const char* label;
	if (archive->FindString("_label", &label) == B_OK)
		fLabel = strdup(label);
	bool disabled;
	if (archive->FindBool("_disable", &disabled) == B_OK && disabled)
		fEnabled = false;
}

BTab::~BTab()
{
	if (fView != NULL) {
		if (fView->Parent() != NULL || fView->Window() != NULL)
			fView->RemoveSelf();
		delete fView;
	}
	free(fLabel);
}

BArchivable* BTab::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BTab"))
		return NULL;
	return new BTab(archive);
}

status_t BTab::Archive(BMessage* archive, bool deep) const
{
	status_t status = BArchivable::Archive(archive, deep);
	if (status != B_OK)
		return status;
	if (Label() != NULL)
		archive->AddString("_label", Label());
	if (!fEnabled)
		archive->AddBool("_disable", true);
	return B_OK;
}

const char* BTab::Label() const
{
	if (fView != NULL && fView->Name() != NULL)
		return fView->Name();
	return fLabel;
}

void BTab::SetLabel(const char* label)
{
	free(fLabel);
	fLabel = label != NULL ? strdup(label) : NULL;
	if (fView != NULL)
		fView->SetName(label);
}

bool BTab::IsSelected() const
{
	return fSelected;
}

void BTab::Select(BView* owner)
{
	fSelected = true;
	if (owner != NULL && fView != NULL && fView->Parent() != owner) {
		if (fView->Parent() != NULL || fView->Window() != NULL)
			fView->RemoveSelf();
		owner->AddChild(fView);
	}
}

void BTab::Deselect()
{
	fSelected = false;
	if (fView != NULL && (fView->Parent() != NULL || fView->Window() != NULL))
		fView->RemoveSelf();
}

void BTab::SetEnabled(bool enabled)
{
	fEnabled = enabled;
}

bool BTab::IsEnabled() const
{
	return fEnabled;
}

void BTab::MakeFocus(bool inFocus)
{
	fFocus = inFocus;
}

bool BTab::IsFocus() const
{
	return fFocus;
}

void BTab::SetView(BView* view)
{
	if (view == fView)
		return;
	BView* owner = NULL;
	if (fView != NULL) {
		owner = fView->Parent();
		if (fView->Parent() != NULL || fView->Window() != NULL)
			fView->RemoveSelf();
		delete fView;
	}
	fView = view;
	if (fView != NULL && fLabel != NULL && fView->Name() == NULL)
		fView->SetName(fLabel);
	if (fSelected && owner != NULL && fView != NULL)
		owner->AddChild(fView);
}

BView* BTab::View() const
{
	return fView;
}

void BTab::DrawFocusMark(BView* owner, BRect tabFrame)
{
	const char* label = Label();
	if (label == NULL)
		return;
	float width = std::ceil(owner->StringWidth(label));
	float left = std::floor(tabFrame.left + (tabFrame.Width() + 1 - width) / 2);
	float baseline = BPrivate::centred_baseline(owner, tabFrame);
	BPrivate::ControlColors colors = BPrivate::control_colors(owner->ViewColor(), true);
	BPrivate::draw_focus_line(owner, left, left + width - 1, baseline + 2, colors);
}

void BTab::DrawLabel(BView* owner, BRect tabFrame)
{
	const char* label = Label();
	if (label == NULL)
		return;
	rgb_color background = owner->ViewColor();
	BPrivate::ControlColors colors = BPrivate::control_colors(background, fEnabled);
	float width = owner->StringWidth(label);
	float left = std::floor(tabFrame.left + (tabFrame.Width() + 1 - width) / 2);
	owner->SetHighColor(colors.text);
	owner->DrawString(label, BPoint(left, BPrivate::centred_baseline(owner, tabFrame)));
}

void BTab::DrawTab(BView* owner, BRect tabFrame, tab_position position, bool full)
{
	rgb_color background = owner->ViewColor();
	BPrivate::ControlColors colors = BPrivate::control_colors(background, true);
	bool front = position == B_TAB_FRONT;
	BRect frame = tabFrame;
	if (!front)
		frame.top += kTabDrop;

	// Face, then the outline: lit left and top, shaded right; the bottom is
	// left open for the selected tab, which merges with the page.
	owner->SetHighColor(front ? background : tint_color(background, B_DARKEN_1_TINT));
	owner->FillRect(BRect(frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom));
	owner->SetHighColor(colors.frame);
	owner->StrokeLine(BPoint(frame.left, frame.bottom), BPoint(frame.left, frame.top + 2));
	owner->StrokeLine(BPoint(frame.left + 2, frame.top), BPoint(frame.right - 2, frame.top));
	owner->StrokeLine(BPoint(frame.right, frame.top + 2), BPoint(frame.right, frame.bottom));
	owner->StrokeLine(BPoint(frame.left + 1, frame.top + 1), BPoint(frame.left + 1, frame.top + 1));
	owner->StrokeLine(BPoint(frame.right - 1, frame.top + 1), BPoint(frame.right - 1, frame.top + 1));
	owner->SetHighColor(colors.light);
	owner->StrokeLine(BPoint(frame.left + 1, frame.bottom), BPoint(frame.left + 1, frame.top + 2));
	owner->StrokeLine(BPoint(frame.left + 2, frame.top + 1), BPoint(frame.right - 2, frame.top + 1));
	owner->SetHighColor(colors.shadow);
	owner->StrokeLine(BPoint(frame.right - 1, frame.top + 2), BPoint(frame.right - 1, frame.bottom));
	if (!front) {
		owner->SetHighColor(colors.frame);
		owner->StrokeLine(BPoint(frame.left, frame.bottom), BPoint(frame.right, frame.bottom));
	}
	if (full) {
		owner->SetLowColor(front ? background : tint_color(background, B_DARKEN_1_TINT));
		DrawLabel(owner, frame);
		owner->SetLowColor(background);
		if (fFocus && owner->IsFocus())
			DrawFocusMark(owner, frame);
	}
}

// ---- BTabView

BTabView::BTabView(BRect frame, const char* name, button_width width, uint32 resizingMode,
	uint32 flags)
	: BView(frame, name, resizingMode, flags)
{
	_Init(width);
}

BTabView::BTabView(BMessage* archive)
	: BView(archive)
{
	_Init(B_WIDTH_AS_USUAL);
	if (archive == NULL)
		return;
	int32 width;
	if (archive->FindInt32("_but_width", &width) == B_OK && width >= B_WIDTH_AS_USUAL
		&& width <= B_WIDTH_FROM_LABEL)
		fTabWidthSetting = (button_width)width;
	float height;
	if (archive->FindFloat("_high", &height) == B_OK && height > 0)
		SetTabHeight(height);

	BMessage tabArchive;
	for (int32 i = 0; archive->FindMessage("_l_items", i, &tabArchive) == B_OK; i++) {
		BTab* tab = dynamic_cast<BTab*>(instantiate_object(&tabArchive));
		if (tab == NULL)
			continue;
		BMessage viewArchive;
		BView* view = NULL;
		if (archive->FindMessage("_view_list", i, &viewArchive) == B_OK) {
			BArchivable* object = instantiate_object(&viewArchive);
			view = dynamic_cast<BView*>(object);
			if (view == NULL)
				delete object;
		}
		AddTab(view, tab);
	}
	int32 selection;
	if (archive->FindInt32("_sel", &selection) == B_OK)
		Select(selection);
}

void BTabView::_Init(button_width width)
{
	fSelection = -1;
	fFocus = -1;
	fTabWidthSetting = width;
	font_height fh;
	GetFontHeight(&fh);
	fTabHeight = std::ceil(fh.ascent) + std::ceil(fh.descent) + std::ceil(fh.leading) + 10;
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
	fContainer = new BView(BRect(0, 0, 0, 0), "view container", B_FOLLOW_ALL, B_WILL_DRAW);
	fContainer->SetViewColor(ViewColor());
	fContainer->SetLowColor(ViewColor());
	AddChild(fContainer);
	_LayoutContainer();
}

BTabView::~BTabView()
{
	// The tabs take their views out of the container and delete them; the
	// container goes with the view's other children.
	for (BTab* tab : fTabs)
		delete tab;
	fTabs.clear();
}

BArchivable* BTabView::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BTabView"))
		return NULL;
	return new BTabView(archive);
}

status_t BTabView::Archive(BMessage* archive, bool deep) const
{
	// The container is rebuilt, not archived: the pages go with their tabs.
	status_t status = BView::Archive(archive, false);
	if (status != B_OK)
		return status;
	archive->AddInt32("_but_width", fTabWidthSetting);
	archive->AddFloat("_high", fTabHeight);
	archive->AddInt32("_sel", fSelection);
	for (BTab* tab : fTabs) {
		BMessage tabArchive;
		if (tab->Archive(&tabArchive, deep) != B_OK)
			continue;
		archive->AddMessage("_l_items", &tabArchive);
		if (deep) {
			BMessage viewArchive;
			if (tab->View() != NULL)
				tab->View()->Archive(&viewArchive, true);
			// An empty message keeps the pages in step with the tabs.
			archive->AddMessage("_view_list", &viewArchive);
		}
	}
	return B_OK;
}

void BTabView::_LayoutContainer()
{
	BRect bounds = Bounds();
	BRect frame(bounds.left + kBorder, bounds.top + fTabHeight + kBorder - 1,
		bounds.right - kBorder, bounds.bottom - kBorder);
	if (frame.right < frame.left)
		frame.right = frame.left;
	if (frame.bottom < frame.top)
		frame.bottom = frame.top;
	fContainer->MoveTo(frame.LeftTop());
	fContainer->ResizeTo(frame.Width(), frame.Height());
}

void BTabView::AttachedToWindow()
{
	BView::AttachedToWindow();
	if (fSelection < 0 && !fTabs.empty())
		Select(0);
}

void BTabView::FrameResized(float width, float height)
{
	Invalidate();
	BView::FrameResized(width, height);
}

void BTabView::Select(int32 index)
{
	if (index < 0 || index >= CountTabs())
		return;
	BTab* tab = fTabs[index];
	if (index == fSelection && tab->IsSelected())
		return;
	if (fSelection >= 0 && fSelection < CountTabs())
		fTabs[fSelection]->Deselect();
	fSelection = index;
	tab->Select(fContainer);
	if (fFocus >= 0)
		SetFocusTab(index, true);
	Invalidate(BRect(Bounds().left, Bounds().top, Bounds().right, fTabHeight + kBorder));
}

int32 BTabView::Selection() const
{
	return fSelection;
}

void BTabView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	if (focus && fFocus < 0 && fSelection >= 0)
		SetFocusTab(fSelection, true);
	Invalidate(BRect(Bounds().left, Bounds().top, Bounds().right, fTabHeight));
}

void BTabView::SetFocusTab(int32 index, bool focused)
{
	if (index < 0 || index >= CountTabs())
		return;
	if (focused) {
		if (fFocus >= 0 && fFocus < CountTabs())
			fTabs[fFocus]->MakeFocus(false);
		fFocus = index;
		fTabs[index]->MakeFocus(true);
	} else if (index == fFocus) {
		fTabs[index]->MakeFocus(false);
		fFocus = -1;
	}
	Invalidate(BRect(Bounds().left, Bounds().top, Bounds().right, fTabHeight));
}

int32 BTabView::FocusTab() const
{
	return fFocus;
}

void BTabView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && !fTabs.empty()) {
		int32 count = CountTabs();
		int32 focus = fFocus >= 0 ? fFocus : std::max<int32>(fSelection, 0);
		switch (bytes[0]) {
			case B_LEFT_ARROW:
				SetFocusTab((focus + count - 1) % count, true);
				return;
			case B_RIGHT_ARROW:
				SetFocusTab((focus + 1) % count, true);
				return;
			case B_SPACE:
			case B_ENTER:
				if (fTabs[focus]->IsEnabled())
					Select(focus);
				return;
		}
	}
	BView::KeyDown(bytes, numBytes);
}

void BTabView::MouseDown(BPoint where)
{
	for (int32 i = 0; i < CountTabs(); i++) {
		if (TabFrame(i).Contains(where)) {
			if (fTabs[i]->IsEnabled()) {
				Select(i);
				if (IsFocus())
					SetFocusTab(i, true);
			}
			return;
		}
	}
	BView::MouseDown(where);
}

float BTabView::_TabWidth(int32 index) const
{
	BTabView* self = const_cast<BTabView*>(this);
	auto labelWidth = [self](const BTab* tab) {
		return tab->Label() != NULL ? std::ceil(self->StringWidth(tab->Label())) : 0.0f;
	};
	switch (fTabWidthSetting) {
		case B_WIDTH_FROM_LABEL:
			return labelWidth(fTabs[index]) + kLabelPadding;
		case B_WIDTH_FROM_WIDEST: {
			float widest = 0;
			for (const BTab* tab : fTabs)
				widest = std::max(widest, labelWidth(tab));
			return widest + kLabelPadding;
		}
		case B_WIDTH_AS_USUAL:
		default:
			return std::max(labelWidth(fTabs[index]) + kLabelPadding, kUsualTabWidth);
	}
}

BRect BTabView::TabFrame(int32 index) const
{
	if (index < 0 || index >= CountTabs())
		return BRect();
	float left = Bounds().left + kTabsIndent;
	for (int32 i = 0; i < index; i++)
		left += _TabWidth(i);
	return BRect(left, Bounds().top, left + _TabWidth(index) - 1, Bounds().top + fTabHeight - 1);
}

void BTabView::Draw(BRect)
{
	DrawBox(DrawTabs());
}

BRect BTabView::DrawTabs()
{
	BRect selected;
	for (int32 i = 0; i < CountTabs(); i++) {
		if (i == fSelection) {
			selected = TabFrame(i);
			continue;
		}
		fTabs[i]->DrawTab(this, TabFrame(i), i == 0 ? B_TAB_FIRST : B_TAB_ANY, true);
	}
	// The selected tab last, over its neighbours' edges.
	if (fSelection >= 0 && fSelection < CountTabs())
		fTabs[fSelection]->DrawTab(this, selected, B_TAB_FRONT, true);
	return selected;
}

void BTabView::DrawBox(BRect selectedTabFrame)
{
	BRect bounds = Bounds();
	BRect box(bounds.left, bounds.top + fTabHeight - 1, bounds.right, bounds.bottom);
	BPrivate::ControlColors colors = BPrivate::control_colors(ViewColor(), true);
	SetHighColor(colors.frame);
	StrokeRect(box);
	BRect inner = box.InsetByCopy(1, 1);
	SetHighColor(colors.light);
	StrokeLine(BPoint(inner.left, inner.bottom), BPoint(inner.left, inner.top));
	StrokeLine(BPoint(inner.left, inner.top), BPoint(inner.right, inner.top));
	SetHighColor(colors.shadow);
	StrokeLine(BPoint(inner.right, inner.top + 1), BPoint(inner.right, inner.bottom));
	StrokeLine(BPoint(inner.right, inner.bottom), BPoint(inner.left + 1, inner.bottom));
	if (selectedTabFrame.IsValid()) {
		// Open under the selected tab, so that tab and page are one piece.
		SetHighColor(ViewColor());
		StrokeLine(BPoint(selectedTabFrame.left + 2, box.top),
			BPoint(selectedTabFrame.right - 2, box.top));
		SetHighColor(colors.light);
		StrokeLine(BPoint(selectedTabFrame.left + 1, box.top),
			BPoint(selectedTabFrame.left + 1, box.top + 1));
		SetHighColor(colors.shadow);
		StrokeLine(BPoint(selectedTabFrame.right - 1, box.top),
			BPoint(selectedTabFrame.right - 1, box.top));
	}
}

void BTabView::GetPreferredSize(float* width, float* height)
{
	float w = kTabsIndent * 2;
	for (int32 i = 0; i < CountTabs(); i++)
		w += _TabWidth(i);
	float h = fTabHeight + 2 * kBorder;
	// Room for the largest page as it stands.
	for (BTab* tab : fTabs) {
		if (tab->View() == NULL)
			continue;
		BRect frame = tab->View()->Frame();
		w = std::max(w, frame.right + 1 + 2 * kBorder);
		h = std::max(h, fTabHeight + frame.bottom + 1 + 2 * kBorder);
	}
	if (width != NULL)
		*width = w - 1;
	if (height != NULL)
		*height = h - 1;
}

void BTabView::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

void BTabView::AddTab(BView* target, BTab* tab)
{
	if (tab == NULL)
		tab = new BTab(target);
	else if (target != NULL)
		tab->SetView(target);
	fTabs.push_back(tab);
	if (CountTabs() == 1 && Window() != NULL)
		Select(0);
	Invalidate(BRect(Bounds().left, Bounds().top, Bounds().right, fTabHeight));
}

BTab* BTabView::RemoveTab(int32 index)
{
	if (index < 0 || index >= CountTabs())
		return NULL;
	BTab* tab = fTabs[index];
	bool wasSelected = index == fSelection;
	tab->Deselect();
	tab->MakeFocus(false);
	fTabs.erase(fTabs.begin() + index);
	if (fFocus == index)
		fFocus = -1;
	else if (fFocus > index)
		fFocus--;
	if (wasSelected) {
		fSelection = -1;
		if (!fTabs.empty())
			Select(std::min<int32>(index, CountTabs() - 1));
	} else if (fSelection > index) {
		fSelection--;
	}
	Invalidate();
	return tab;
}

BTab* BTabView::TabAt(int32 index) const
{
	if (index < 0 || index >= CountTabs())
		return NULL;
	return fTabs[index];
}

void BTabView::SetTabWidth(button_width width)
{
	fTabWidthSetting = width;
	Invalidate();
}

button_width BTabView::TabWidth() const
{
	return fTabWidthSetting;
}

void BTabView::SetTabHeight(float height)
{
	if (height <= 0 || height == fTabHeight)
		return;
	fTabHeight = height;
	_LayoutContainer();
	Invalidate();
}

float BTabView::TabHeight() const
{
	return fTabHeight;
}

BView* BTabView::ContainerView() const
{
	return fContainer;
}

int32 BTabView::CountTabs() const
{
	return (int32)fTabs.size();
}

BView* BTabView::ViewForTab(int32 index) const
{
	BTab* tab = TabAt(index);
	return tab != NULL ? tab->View() : NULL;
}
