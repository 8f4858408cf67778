// make_app_icon: draws the player's application icon, a deck with a note
// and the lines of a song's lyrics (the current one bright), at a given
// size, and writes it as a PNG file with a transparent surround.
//
//   make_app_icon <size in pixels> <output.png>
#include <Application.h>
#include <Bitmap.h>
#include <BitmapStream.h>
#include <File.h>
#include <TranslatorFormats.h>
#include <TranslatorRoster.h>
#include <View.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

// The drawing is laid out on a 128-unit grid and scaled to the size asked.
// Views draw opaque pixels, so the icon is drawn twice on black: in colour,
// and as its silhouette in white, whose grey gives each pixel's alpha.
void draw_icon(BView* view, float size, bool silhouette)
{
	const float s = size / 128.0f;
	auto r = [s](float left, float top, float right, float bottom) {
		return BRect(left * s, top * s, right * s, bottom * s);
	};

	// The deck: a rounded body, darker towards the bottom, with a light rim.
	if (silhouette) {
		view->SetHighColor(255, 255, 255);
		view->FillRoundRect(r(6, 6, 121, 121), 20 * s, 20 * s);
		view->SetPenSize(s < 0.5f ? 1.0f : 2.0f * s);
		view->StrokeRoundRect(r(6, 6, 121, 121), 20 * s, 20 * s);
		return;
	}
	view->SetHighColor(29, 39, 64);
	view->FillRoundRect(r(6, 6, 121, 121), 20 * s, 20 * s);
	for (int band = 0; band < 8; band++) {
		view->SetHighColor(59 - band * 3, 79 - band * 4, 122 - band * 6);
		const float top = 8 + band * 12;
		view->FillRoundRect(r(8, top, 119, top + 24), 18 * s, 18 * s);
	}
	view->SetHighColor(127, 149, 196);
	view->SetPenSize(s < 0.5f ? 1.0f : 2.0f * s);
	view->StrokeRoundRect(r(6, 6, 121, 121), 20 * s, 20 * s);
	view->SetPenSize(1.0f);

	// The note: head, stem and flag.
	const rgb_color gold = {255, 209, 102, 255};
	view->SetHighColor(gold);
	view->FillEllipse(r(20, 62, 46, 82));
	view->FillRect(r(41, 24, 46, 72));
	view->FillTriangle(BPoint(46 * s, 24 * s), BPoint(68 * s, 40 * s),
		BPoint(46 * s, 40 * s));

	// Lines of lyrics beside the note and below it; the current line is
	// the bright, wide one.
	view->SetHighColor(143, 163, 204);
	view->FillRoundRect(r(60, 50, 104, 56), 3 * s, 3 * s);
	view->FillRoundRect(r(60, 64, 96, 70), 3 * s, 3 * s);
	view->FillRoundRect(r(24, 104, 84, 110), 3 * s, 3 * s);
	view->SetHighColor(255, 255, 255);
	view->FillRoundRect(r(20, 88, 108, 97), 4.5f * s, 4.5f * s);
}

// The icon drawn on black into a new bitmap, or NULL.
BBitmap* render(int size, bool silhouette)
{
	BBitmap* bitmap = new BBitmap(BRect(0, 0, size - 1, size - 1), B_RGBA32, true);
	if (bitmap->InitCheck() != B_OK || !bitmap->Lock()) {
		delete bitmap;
		return NULL;
	}
	memset(bitmap->Bits(), 0, bitmap->BitsLength());
	BView* view = new BView(bitmap->Bounds(), "icon", B_FOLLOW_NONE, 0);
	bitmap->AddChild(view);
	draw_icon(view, (float)size, silhouette);
	view->Sync();
	bitmap->Unlock();
	return bitmap;
}

}

int main(int argc, char** argv)
{
	const int size = argc == 3 ? atoi(argv[1]) : 0;
	if (size < 16 || size > 1024) {
		fprintf(stderr, "usage: make_app_icon <size 16 to 1024> <output.png>\n");
		return 2;
	}
	BApplication app("application/x-vnd.verso-make-app-icon");

	BBitmap* bitmap = render(size, false);
	BBitmap* mask = render(size, true);
	if (bitmap == NULL || mask == NULL) {
		fprintf(stderr, "make_app_icon: cannot draw a %d-pixel icon\n", size);
		delete bitmap;
		delete mask;
		return 1;
	}
	// Colour drawn over black, divided by its coverage, with that coverage
	// as alpha: the edges blend with whatever the icon is shown on.
	for (int y = 0; y < size; y++) {
		uint8* colour = (uint8*)bitmap->Bits() + y * bitmap->BytesPerRow();
		const uint8* cover = (const uint8*)mask->Bits() + y * mask->BytesPerRow();
		for (int x = 0; x < size; x++, colour += 4, cover += 4) {
			const int alpha = cover[1];
			for (int c = 0; c < 3; c++)
				colour[c] = alpha == 0 ? 0 : (uint8)std::min(255, colour[c] * 255 / alpha);
			colour[3] = (uint8)alpha;
		}
	}
	delete mask;

	// The stream owns the bitmap from here on.
	BBitmapStream stream(bitmap);
	BFile file(argv[2], B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	status_t status = file.InitCheck();
	if (status == B_OK) {
		status = BTranslatorRoster::Default()->Translate(&stream, NULL, NULL, &file,
			B_PNG_FORMAT);
	}
	if (status != B_OK) {
		fprintf(stderr, "make_app_icon: cannot write %s: %s\n", argv[2], strerror(status));
		return 1;
	}
	return 0;
}
