// controls_demo: one window with every control of the Interface Kit —
// buttons, check boxes, radio buttons, a text control, a menu field, string
// views, boxes, tabs, a colour control and a read-only scrolled text — on
// the screen, or headless with a PNG of it.
//
//   controls_demo [--seconds N] [--png FILE] [--tab N]
//
// What the controls send is printed. Without --seconds the window stays
// until it is closed or its Close button is pressed.
#include <Application.h>
#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <ColorControl.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <MessageRunner.h>
#include <PopUpMenu.h>
#include <RadioButton.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TabView.h>
#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

#include "interface/WindowAccess.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const uint32 kMsgTimeUp = 'tmup';
const uint32 kMsgClose = 'clos';
const uint32 kMsgColor = 'colr';

class Swatch : public BView {
public:
	explicit Swatch(BRect frame) : BView(frame, "swatch", B_FOLLOW_NONE, B_WILL_DRAW) {}
	void Draw(BRect) override
	{
		SetHighColor(0, 0, 0);
		StrokeRect(Bounds());
	}
};

class DemoWindow : public BWindow {
public:
	DemoWindow(const char* png, int32 tab)
		: BWindow(BRect(80, 80, 80 + 539, 80 + 419), "Controls", B_TITLED_WINDOW,
			B_NOT_RESIZABLE | B_NOT_ZOOMABLE),
		  fPng(png)
	{
		BView* panel = new BView(Bounds(), "panel", B_FOLLOW_ALL, B_WILL_DRAW);
		panel->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		AddChild(panel);

		BTabView* tabs = new BTabView(BRect(10, 10, 529, 365), "tabs");
		tabs->AddTab(_GeneralPage());
		tabs->AddTab(_AppearancePage());
		tabs->AddTab(_TextPage());
		panel->AddChild(tabs);
		tabs->Select(tab);

		BButton* help = new BButton(BRect(10, 380, 89, 404), "help", "Help", new BMessage('help'));
		help->SetEnabled(false);
		panel->AddChild(help);
		panel->AddChild(new BButton(BRect(350, 380, 429, 404), "cancel", "Cancel",
			new BMessage(kMsgClose)));
		BButton* ok = new BButton(BRect(450, 380, 529, 404), "ok", "OK", new BMessage(kMsgClose));
		panel->AddChild(ok);
		ok->MakeDefault(true);
	}

	bool QuitRequested() override
	{
		if (fPng != NULL) {
			UpdateIfNeeded();
			Sync();
			if (BPrivate::WindowAccess::WritePng(this, fPng) != B_OK)
				fprintf(stderr, "controls_demo: cannot write %s\n", fPng);
		}
		be_app->PostMessage(B_QUIT_REQUESTED);
		return true;
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kMsgTimeUp:
			case kMsgClose:
				PostMessage(B_QUIT_REQUESTED);
				return;
			case kMsgColor: {
				BColorControl* color = dynamic_cast<BColorControl*>(FindView("color"));
				BView* swatch = FindView("swatch");
				if (color != NULL && swatch != NULL) {
					swatch->SetViewColor(color->ValueAsColor());
					swatch->Invalidate();
				}
				break;
			}
		}
		if (message->what >= 0x20202020) {
			char code[5] = {(char)(message->what >> 24), (char)(message->what >> 16),
				(char)(message->what >> 8), (char)message->what, 0};
			int32 value = 0;
			message->FindInt32("be:value", &value);
			printf("'%s' value %d\n", code, (int)value);
			fflush(stdout);
			return;
		}
		BWindow::MessageReceived(message);
	}

private:
	BView* _Page(const char* name)
	{
		BView* page = new BView(BRect(0, 0, 505, 310), name, B_FOLLOW_NONE, B_WILL_DRAW);
		page->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		return page;
	}

	BView* _GeneralPage()
	{
		BView* page = _Page("General");
		BCheckBox* top = new BCheckBox(BRect(10, 10, 200, 28), "top", "Stay on top",
			new BMessage('ctop'));
		top->SetValue(B_CONTROL_ON);
		page->AddChild(top);
		page->AddChild(new BCheckBox(BRect(10, 34, 200, 52), "smooth", "Smooth text",
			new BMessage('csmo')));
		BCheckBox* off = new BCheckBox(BRect(10, 58, 200, 76), "off", "Unavailable",
			new BMessage('coff'));
		off->SetEnabled(false);
		page->AddChild(off);

		BPopUpMenu* menu = new BPopUpMenu("language");
		const char* languages[] = {"English", "Japanese", "French"};
		for (const char* language : languages)
			menu->AddItem(new BMenuItem(language, new BMessage('lang')));
		menu->ItemAt(0)->SetMarked(true);
		BMenuField* field = new BMenuField(BRect(230, 10, 480, 32), "language", "Language:", menu);
		field->SetDivider(field->StringWidth("Language:") + 8);
		page->AddChild(field);

		page->AddChild(new BTextControl(BRect(230, 44, 480, 64), "size", "Font size:", "12",
			new BMessage('tsiz')));

		BBox* box = new BBox(BRect(10, 100, 230, 190), "align");
		box->SetLabel("Background image");
		BRadioButton* tile = new BRadioButton(BRect(10, 24, 200, 42), "tile", "Tile",
			new BMessage('rtil'));
		tile->SetValue(B_CONTROL_ON);
		box->AddChild(tile);
		box->AddChild(new BRadioButton(BRect(10, 48, 200, 66), "scale", "Scale to fit",
			new BMessage('rsca')));
		page->AddChild(box);

		BBox* plain = new BBox(BRect(250, 100, 480, 190), "plain", B_FOLLOW_NONE,
			B_WILL_DRAW | B_FRAME_EVENTS, B_PLAIN_BORDER);
		plain->SetLabel("Plain border");
		BStringView* left = new BStringView(BRect(10, 24, 220, 40), "left", "Left aligned");
		BStringView* centre = new BStringView(BRect(10, 44, 220, 60), "centre", "Centred");
		centre->SetAlignment(B_ALIGN_CENTER);
		BStringView* right = new BStringView(BRect(10, 64, 220, 80), "right", "Right aligned");
		right->SetAlignment(B_ALIGN_RIGHT);
		plain->AddChild(left);
		plain->AddChild(centre);
		plain->AddChild(right);
		page->AddChild(plain);

		page->AddChild(new BStringView(BRect(10, 290, 480, 306), "status",
			"Changes take effect at once."));
		return page;
	}

	BView* _AppearancePage()
	{
		BView* page = _Page("Appearance");
		rgb_color start = make_color(64, 96, 200);
		Swatch* swatch = new Swatch(BRect(10, 10, 60, 75));
		swatch->SetViewColor(start);
		page->AddChild(swatch);
		BColorControl* color = new BColorControl(BPoint(70, 10), B_CELLS_32x8, 8, "color",
			new BMessage(kMsgColor));
		color->SetValue(start);
		page->AddChild(color);
		BBox* none = new BBox(BRect(10, 100, 480, 160), "none", B_FOLLOW_NONE,
			B_WILL_DRAW | B_FRAME_EVENTS, B_NO_BORDER);
		none->SetLabel("A box without a border");
		page->AddChild(none);
		return page;
	}

	BView* _TextPage()
	{
		BView* page = _Page("Text");
		BRect frame(10, 10, 480, 200);
		BTextView* text = new BTextView(frame, "notes", BRect(4, 4, frame.Width() - 4, 1000),
			B_FOLLOW_NONE, B_WILL_DRAW);
		text->SetText("A read-only text in a scroll view.\n\nLyrics are shown line by line "
			"in time with the music; this page shows how longer texts look.");
		text->MakeEditable(false);
		page->AddChild(new BScrollView("scroll", text, B_FOLLOW_NONE, 0, false, true));
		return page;
	}

	const char* fPng;
};

}

int main(int argc, char** argv)
{
	double seconds = 0;
	const char* png = NULL;
	int32 tab = 0;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
			seconds = atof(argv[++i]);
		} else if (strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
			png = argv[++i];
		} else if (strcmp(argv[i], "--tab") == 0 && i + 1 < argc) {
			tab = atoi(argv[++i]);
		} else {
			fprintf(stderr, "usage: controls_demo [--seconds N] [--png FILE] [--tab N]\n");
			return 2;
		}
	}

	BApplication app("application/x-vnd.verso-controls-demo");
	DemoWindow* window = new DemoWindow(png, tab);
	window->Show();
	BMessageRunner* timer = NULL;
	if (seconds > 0) {
		BMessage timeUp(kMsgTimeUp);
		timer = new BMessageRunner(BMessenger(window), &timeUp,
			(bigtime_t)(seconds * 1000000), 1);
	}
	app.Run();
	delete timer;
	return 0;
}
