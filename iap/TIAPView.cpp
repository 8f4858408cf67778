#include "TIAPView.h"

#include "IAPDefs.h"

#include <Archivable.h>
#include <Button.h>
#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Roster.h>
#include <Window.h>

#include <string.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const uint32 kMsgDefault = '_dfl';
const uint32 kMsgCancel = '_cnc';
const uint32 kMsgOK = '_ok';

const BRect kButtonBounds(0, 0, 80, 25);
const float kMargin = 10;

BButton* make_button(const char* name, const char* label, uint32 what, float left)
{
	BRect frame = kButtonBounds;
	frame.OffsetTo(left, kMargin);
	return new BButton(frame, name, label, new BMessage(what),
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
}

// The names of the items in the store, in the store's field order.
std::vector<std::string> item_names(const BMessage& store)
{
	std::vector<std::string> names;
	const char* name = nullptr;
	type_code type;
	for (int32 i = 0; store.GetInfo(B_MESSAGE_TYPE, i, &name, &type) == B_OK; i++)
		names.push_back(name);
	return names;
}

}

TIAPView::TIAPView(BRect frame)
	:
	TORVDlgView(frame, "IAPView", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
	fButtonDefault(nullptr),
	fButtonCancel(nullptr),
	fButtonOK(nullptr),
	fButtonContainer(nullptr),
	fLastComponent(nullptr)
{
	fButtonContainer = new BView(BRect(0, 0, 100, 50), "ButtonContainer",
		B_FOLLOW_LEFT_RIGHT, B_WILL_DRAW);

	fButtonDefault = make_button("ButtonDefault", "Default", kMsgDefault, kMargin);
	fButtonCancel = make_button("ButtonCancel", "Cancel", kMsgCancel,
		fButtonDefault->Frame().right + 30);
	fButtonOK = make_button("ButtonOK", "OK", kMsgOK, fButtonCancel->Frame().right + kMargin);
	fButtonContainer->AddChild(fButtonDefault);
	fButtonContainer->AddChild(fButtonCancel);
	fButtonContainer->AddChild(fButtonOK);

	fButtonContainer->ResizeTo(fButtonOK->Frame().right + kMargin,
		fButtonOK->Frame().bottom + kMargin);
	fButtonContainer->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(fButtonContainer);

	ResizeTo(fButtonContainer->Frame().right, fButtonContainer->Frame().bottom);
	fButtonOK->MakeDefault(true);
}

TIAPView::~TIAPView()
{
}

void TIAPView::AttachedToWindow()
{
	TORVDlgView::AttachedToWindow();
	SetTargetToThis(this);
}

void TIAPView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kIAPAddComponents:
			IAPAddComponentsRqtd(message);
			break;
		case kIAPActivateWindow:
			IAPActivateWindowRqtd();
			break;
		case B_QUIT_REQUESTED:
			// The window handles it as a close by the user.
			if (Window() != nullptr)
				Window()->PostMessage(B_QUIT_REQUESTED);
			break;
		case kIAPControlChanged:
			IAPControlChanged(message);
			break;
		case kMsgDefault:
			ButtonDefaultClicked();
			break;
		case kMsgCancel:
			ButtonCancelClicked();
			break;
		case kMsgOK:
			ButtonOKClicked();
			break;
		default:
			TORVDlgView::MessageReceived(message);
			break;
	}
}

void TIAPView::ShortCutDown(int32 rawChar, int32 key)
{
	if (rawChar == B_ESCAPE) {
		ButtonCancelClicked();
		return;
	}
	TORVDlgView::ShortCutDown(rawChar, key);
}

BView* TIAPView::ComponentView(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	for (int32 i = 0; BView* child = ChildAt(i); i++) {
		if (child != fButtonContainer && child->Name() != nullptr
			&& strcmp(child->Name(), name) == 0)
			return child;
	}
	return nullptr;
}

BView* TIAPView::AddComponent(BMessage archive, float top)
{
	BView* view = dynamic_cast<BView*>(instantiate_object(&archive));
	if (view == nullptr) {
		// Something else was rebuilt from the archive: it is not ours to keep.
		return nullptr;
	}
	view->MoveTo(kMargin, top);
	view->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(view);

	BMenuField* field = dynamic_cast<BMenuField*>(view->ChildAt(0));
	if (field != nullptr && field->Menu() != nullptr) {
		BMenu* menu = field->Menu();
		menu->SetLabelFromMarked(true);
		menu->SetRadioMode(true);
		// Marking again puts the marked format into the field's label.
		if (BMenuItem* marked = menu->FindMarked())
			marked->SetMarked(true);
		menu->SetTargetForItems(this);
	}
	return view;
}

void TIAPView::IAPAddComponentsRqtd(BMessage* message)
{
	float width = Bounds().Width();
	for (const std::string& name : item_names(*message)) {
		// An item that came earlier, from any program, keeps its control.
		if (ComponentView(name.c_str()) != nullptr)
			continue;
		BMessage current;
		BMessage dflt;
		// Without its current value the item cannot be shown, and its
		// default alone would later be taken for the confirmed value.
		if (message->FindMessage(name.c_str(), 0, &current) != B_OK)
			continue;
		const float top = fLastComponent != nullptr ? fLastComponent->Frame().bottom + kMargin
			: kMargin;
		BView* view = AddComponent(current, top);
		if (view == nullptr)
			continue;
		// Found by the item's name from now on, whatever the archive said.
		view->SetName(name.c_str());
		fLastComponent = view;
		if (view->Frame().right + kMargin > width)
			width = view->Frame().right + kMargin;

		fComponents.RemoveName(name.c_str());
		fComponents.AddMessage(name.c_str(), &current);
		fComponents.AddMessage(name.c_str(), &current);
		if (message->FindMessage(name.c_str(), 2, &dflt) == B_OK)
			fComponents.AddMessage(name.c_str(), &dflt);
	}

	SetTargetToThis(this);
	if (fLastComponent != nullptr)
		fButtonContainer->MoveTo(0, fLastComponent->Frame().bottom + kMargin);
	if (Window() != nullptr)
		Window()->ResizeTo(width, fButtonContainer->Frame().bottom);
}

void TIAPView::IAPControlChanged(BMessage* message)
{
	const char* name = nullptr;
	if (message->FindString(kIAPFieldSrcItem, &name) != B_OK)
		return;
	BView* component = ComponentView(name);
	if (component == nullptr)
		return;

	BMessage change(*message);
	// The controls' state as the user left it ("_views", each control's
	// "_val"), for items whose value is read from their control.
	component->Archive(&change, true);
	change.what = kIAPValueChanged;
	fComponents.ReplaceMessage(name, 1, &change);
	SendMessage(&change);
}

void TIAPView::IAPActivateWindowRqtd()
{
	BWindow* window = Window();
	if (window == nullptr)
		return;
	if (window->IsHidden())
		window->Show();
	else
		window->Activate(true);
}

void TIAPView::SetComponents(int32 index)
{
	for (const std::string& name : item_names(fComponents)) {
		BMessage entry;
		if (fComponents.FindMessage(name.c_str(), index, &entry) != B_OK)
			continue;
		entry.what = kIAPValueChanged;

		if (BView* old = ComponentView(name.c_str())) {
			BView* view = AddComponent(entry, old->Frame().top);
			if (view != nullptr) {
				view->SetName(name.c_str());
				if (fLastComponent == old)
					fLastComponent = view;
				old->RemoveSelf();
				delete old;
			}
		}
		fComponents.ReplaceMessage(name.c_str(), 1, &entry);
		SendMessage(&entry);
	}
	SetTargetToThis(this);
}

void TIAPView::ButtonOKClicked()
{
	if (Window() != nullptr && !Window()->IsHidden())
		Window()->Hide();
	for (const std::string& name : item_names(fComponents)) {
		BMessage working;
		if (fComponents.FindMessage(name.c_str(), 1, &working) == B_OK)
			fComponents.ReplaceMessage(name.c_str(), 0, &working);
	}
}

void TIAPView::ButtonCancelClicked()
{
	if (Window() != nullptr && !Window()->IsHidden())
		Window()->Hide();
	SetComponents(0);
}

void TIAPView::ButtonDefaultClicked()
{
	SetComponents(2);
}

status_t TIAPView::SendMessage(BMessage* message)
{
	if (be_roster == nullptr)
		return B_NO_INIT;
	return be_roster->Broadcast(message);
}
