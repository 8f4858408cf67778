// window_demo: one window drawn with the Interface Kit — Latin and Japanese
// text and a bitmap — on the screen, or headless with a PNG of it.
//
//   window_demo [--at X Y] [--seconds N] [--png FILE]
//
// Without --seconds the window stays until it is closed.
#include <Application.h>
#include <Bitmap.h>
#include <MessageRunner.h>
#include <View.h>
#include <Window.h>

#include "interface/WindowAccess.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const uint32 kMsgTimeUp = 'tmup';

// A 64 x 48 bitmap with four coloured quarters, so that a reader of the
// screen can tell it is there and the right way round.
BBitmap* make_quarters()
{
	BBitmap* bitmap = new BBitmap(BRect(0, 0, 63, 47), B_RGB32);
	uint32* bits = static_cast<uint32*>(bitmap->Bits());
	int32 stride = bitmap->BytesPerRow() / 4;
	for (int32 y = 0; y < 48; y++) {
		for (int32 x = 0; x < 64; x++) {
			uint32 color = y < 24 ? (x < 32 ? 0xffff0000 : 0xff00c000)
				: (x < 32 ? 0xff0000ff : 0xffffc000);
			bits[y * stride + x] = color;
		}
	}
	return bitmap;
}

class DemoView : public BView {
public:
	DemoView(BRect frame)
		: BView(frame, "demo", B_FOLLOW_ALL, B_WILL_DRAW | B_FULL_UPDATE_ON_RESIZE),
		  fBitmap(make_quarters())
	{
		SetViewColor(255, 255, 255);
	}
	~DemoView() override { delete fBitmap; }

	void Draw(BRect) override
	{
		BFont font(be_plain_font);
		font.SetSize(18);
		SetFont(&font);
		SetHighColor(0, 0, 0);
		DrawString("Lyrics, line by line", BPoint(12, 30));
		SetHighColor(0, 0, 160);
		DrawString("\xe6\xad\x8c\xe8\xa9\x9e\xe3\x82\x92\xe8\xa1\xa8\xe7\xa4\xba\xe3\x81\x99\xe3\x82\x8b",
			BPoint(12, 60));   // "show the lyrics" in Japanese
		DrawBitmap(fBitmap, BPoint(12, 80));
		// The same bitmap scaled to twice its size.
		DrawBitmap(fBitmap, BRect(100, 80, 227, 175));
	}

private:
	BBitmap* fBitmap;
};

class DemoWindow : public BWindow {
public:
	DemoWindow(BPoint where, const char* png)
		: BWindow(BRect(where.x, where.y, where.x + 259, where.y + 199),
			"Window demo", B_TITLED_WINDOW, B_NOT_ZOOMABLE),
		  fPng(png)
	{
		AddChild(new DemoView(Bounds()));
	}

	bool QuitRequested() override
	{
		if (fPng != NULL) {
			UpdateIfNeeded();
			Sync();
			status_t status = BPrivate::WindowAccess::WritePng(this, fPng);
			if (status != B_OK)
				fprintf(stderr, "window_demo: cannot write %s\n", fPng);
		}
		be_app->PostMessage(B_QUIT_REQUESTED);
		return true;
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kMsgTimeUp)
			PostMessage(B_QUIT_REQUESTED);
		else
			BWindow::MessageReceived(message);
	}

private:
	const char* fPng;
};

}

int main(int argc, char** argv)
{
	BPoint where(60, 60);
	double seconds = 0;
	const char* png = NULL;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--at") == 0 && i + 2 < argc) {
			where.x = atoi(argv[i + 1]);
			where.y = atoi(argv[i + 2]);
			i += 2;
		} else if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
			seconds = atof(argv[++i]);
		} else if (strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
			png = argv[++i];
		} else {
			fprintf(stderr, "usage: window_demo [--at X Y] [--seconds N] [--png FILE]\n");
			return 2;
		}
	}

	BApplication app("application/x-vnd.verso-window-demo");
	DemoWindow* window = new DemoWindow(where, png);
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
