#include "prefs/tools/PrefViewLayout.h"

#include "prefs/PrefWinDefs.h"

#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <ColorControl.h>
#include <InterfaceDefs.h>
#include <MenuField.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <RadioButton.h>
#include <StringView.h>
#include <TabView.h>
#include <TextControl.h>
#include <View.h>

namespace {

const uint32 kControlFlags = B_WILL_DRAW | B_NAVIGABLE;

BView* page(float height)
{
	BView* view = new BView(BRect(0, 0, 515, height), "", B_FOLLOW_NONE, B_WILL_DRAW);
	view->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	return view;
}

void check_box(BView* parent, BRect frame, const char* name)
{
	parent->AddChild(new BCheckBox(frame, name, "", NULL, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		kControlFlags));
}

void radio_button(BView* parent, BRect frame, const char* name)
{
	parent->AddChild(new BRadioButton(frame, name, "", NULL, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		kControlFlags));
}

void menu_field(BView* parent, BRect frame, const char* name)
{
	// Radio mode, the button showing the marked item.
	BPopUpMenu* menu = new BPopUpMenu("", true, true);
	BMenuField* field = new BMenuField(frame, name, "", menu, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		kControlFlags);
	field->SetDivider(8);
	parent->AddChild(field);
}

void text_control(BView* parent, BRect frame, const char* name)
{
	BTextControl* control = new BTextControl(frame, name, "", "", NULL,
		B_FOLLOW_LEFT | B_FOLLOW_TOP, kControlFlags);
	control->SetDivider(3);
	parent->AddChild(control);
}

void string_view(BView* parent, BRect frame, const char* name)
{
	parent->AddChild(new BStringView(frame, name, "", B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW));
}

void button(BView* parent, BRect frame, const char* name)
{
	parent->AddChild(new BButton(frame, name, "", NULL, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		kControlFlags));
}

BBox* box(BView* parent, BRect frame, const char* name)
{
	BBox* view = new BBox(frame, name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
	parent->AddChild(view);
	return view;
}

// Stay on top, language, read encoding.
BView* shared_general_page()
{
	BView* view = page(235);
	check_box(view, BRect(10, 10, 32, 28), "CBoxStayOnTop");
	menu_field(view, BRect(10, 35, 300, 57), "MFieldLanguage");
	menu_field(view, BRect(10, 65, 300, 87), "MFieldReadEncoding");
	string_view(view, BRect(10, 200, 14, 214), "StrViewSharedGeneralStat");
	return view;
}

// Font, size, anti-aliasing, the five colours, the active frame, options.
BView* shared_appearance_page()
{
	BView* view = page(240);
	menu_field(view, BRect(10, 10, 205, 32), "MFieldFontFamily");
	text_control(view, BRect(220, 10, 330, 31), "TxtCtrlFontSize");
	check_box(view, BRect(350, 10, 372, 28), "CBoxAntiAliasing");
	menu_field(view, BRect(10, 40, 205, 62), "MFieldColor");
	box(view, BRect(10, 70, 60, 138), "BoxDispColor");
	BColorControl* colors = new BColorControl(BPoint(70, 70), B_CELLS_32x8, 8,
		"ColCtrlAppearance");
	colors->ResizeTo(330, 68);
	view->AddChild(colors);
	check_box(view, BRect(10, 150, 32, 168), "CBoxUseActiveFrame");
	string_view(view, BRect(10, 200, 14, 214), "StrViewSharedAppearanceStat");
	menu_field(view, BRect(400, 195, 505, 217), "MFieldOption");
	return view;
}

// Background image: use, file, browse, placement.
BView* displayer_image_page()
{
	BView* view = page(235);
	check_box(view, BRect(10, 10, 32, 28), "CBoxUseBGImage");
	text_control(view, BRect(10, 35, 310, 56), "TxtCtrlBGImageFName");
	button(view, BRect(320, 35, 400, 59), "ButtonBrowseBGImg");
	BBox* align = box(view, BRect(10, 70, 310, 145), "BoxBGImageAlign");
	radio_button(align, BRect(10, 20, 32, 37), "RButtonTile");
	radio_button(align, BRect(10, 45, 32, 62), "RButtonScaleToFit");
	string_view(view, BRect(10, 200, 14, 214), "StrViewDisplayerBGImageStat");
	return view;
}

// Double buffering, extended tags.
BView* displayer_other_page()
{
	BView* view = page(235);
	check_box(view, BRect(10, 10, 32, 28), "CBoxDoubleBuffering");
	check_box(view, BRect(10, 35, 32, 53), "CBoxReadExtendedTags");
	string_view(view, BRect(10, 200, 14, 214), "StrViewDisplayerOtherStat");
	return view;
}

// What the editor writes into new lyrics files, time difference, tool bar.
BView* editor_page()
{
	BView* view = page(225);
	BBox* fresh = box(view, BRect(10, 10, 280, 95), "BoxNew");
	menu_field(fresh, BRect(10, 20, 260, 42), "MFieldWriteCRType");
	menu_field(fresh, BRect(10, 50, 260, 72), "MFieldWriteEncoding");
	text_control(view, BRect(10, 110, 280, 129), "TxtCtrlTimeDifference");
	check_box(view, BRect(10, 140, 32, 158), "CBoxShowToolButton");
	string_view(view, BRect(10, 200, 14, 214), "StrViewEditorNewStat");
	return view;
}

}

BView* build_pref_view_tree()
{
	BView* top = new BView(BRect(0, 0, 515, 310), "PrefView", B_FOLLOW_NONE, B_WILL_DRAW);
	top->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	BTabView* tabs = new BTabView(BRect(0, 5, 640, 255), "TabViewCategory", B_WIDTH_AS_USUAL,
		B_FOLLOW_LEFT | B_FOLLOW_TOP);
	tabs->SetTabHeight(20);
	tabs->AddTab(shared_general_page());
	tabs->AddTab(shared_appearance_page());
	tabs->AddTab(displayer_image_page());
	tabs->AddTab(displayer_other_page());
	tabs->AddTab(editor_page());
	top->AddChild(tabs);

	button(top, BRect(50, 270, 130, 294), "ButtonHelp");
	button(top, BRect(150, 270, 230, 294), "ButtonDefault");
	button(top, BRect(285, 270, 365, 294), "ButtonCancel");
	button(top, BRect(385, 270, 465, 294), "ButtonOK");
	return top;
}

status_t archive_pref_view_tree(BMessage* archive)
{
	if (archive == NULL)
		return B_BAD_VALUE;
	BView* top = build_pref_view_tree();
	status_t status = top->Archive(archive, true);
	delete top;
	if (status != B_OK)
		return status;
	archive->AddInt32("ID", 0);
	archive->AddFloat("designfsize", kPrefViewDesignFontSize);
	return B_OK;
}
