// Drawing speed: the lyrics view redraws seven short lines of text into a
// 400 x 120 area on every line change (target: under 1 ms), and a double-
// buffered view copies a 400 x 120 bitmap to the window (under 0.2 ms).
#include <Bitmap.h>
#include <Font.h>
#include <View.h>
#include <Window.h>

#include <stdlib.h>

#include "interface/Painter.h"

#include <benchmark/benchmark.h>

namespace {

const char* kLines[7] = {
	"The morning light is on the hill",
	"And every window glows",
	"\xe6\x9c\x9d\xe3\x81\xae\xe5\x85\x89\xe3\x81\x8c\xe4\xb8\x98\xe3\x81\xab",
	"We walk the road until",
	"The river finds the sea",
	"Sing it once again",
	"La la la, la la la"
};

void
DrawSevenLines(benchmark::State& state)
{
	BBitmap target(BRect(0, 0, 399, 119), B_RGB32);
	BPrivate::Painter painter;
	painter.Attach(&target);
	BFont font;
	font.SetSize(12);
	painter.SetFont(font);
	font_height height;
	font.GetHeight(&height);
	float pitch = height.ascent + height.descent + height.leading + 1;
	for (auto _ : state) {
		painter.SetLowColor(make_color(255, 255, 255));
		painter.FillRect(target.Bounds(), B_SOLID_LOW);
		for (int i = 0; i < 7; i++) {
			painter.SetHighColor(i == 3 ? make_color(200, 0, 0) : make_color(0, 0, 0));
			painter.DrawString(kLines[i], -1, BPoint(4, height.ascent + i * pitch));
		}
	}
}
BENCHMARK(DrawSevenLines)->Unit(benchmark::kMicrosecond);

void
CopyBitmap(benchmark::State& state)
{
	BBitmap source(BRect(0, 0, 399, 119), B_RGB32);
	BBitmap target(BRect(0, 0, 399, 119), B_RGB32);
	BPrivate::Painter painter;
	painter.Attach(&target);
	for (auto _ : state) {
		painter.DrawBitmap(&source, BPoint(0, 0));
		benchmark::DoNotOptimize(target.Bits());
	}
}
BENCHMARK(CopyBitmap)->Unit(benchmark::kMicrosecond);

void
CopyBitmapOver(benchmark::State& state)
{
	// The same copy in B_OP_OVER, which must look at every pixel.
	BBitmap source(BRect(0, 0, 399, 119), B_RGB32);
	BBitmap target(BRect(0, 0, 399, 119), B_RGB32);
	BPrivate::Painter painter;
	painter.Attach(&target);
	painter.SetDrawingMode(B_OP_OVER);
	for (auto _ : state) {
		painter.DrawBitmap(&source, BPoint(0, 0));
		benchmark::DoNotOptimize(target.Bits());
	}
}
BENCHMARK(CopyBitmapOver)->Unit(benchmark::kMicrosecond);

// The same work through the Interface Kit: a view in a (headless) window,
// drawn by a thread that holds the window's lock, as the lyrics view does.
class ViewBench {
public:
	ViewBench()
	{
		setenv("VERSO_HEADLESS", "1", 0);
		fWindow = new BWindow(BRect(0, 0, 399, 119), "bench", B_TITLED_WINDOW, 0);
		fView = new BView(fWindow->Bounds(), "lyrics", B_FOLLOW_ALL, B_WILL_DRAW);
		fWindow->AddChild(fView);
		fWindow->Show();
		fWindow->Lock();
	}
	~ViewBench()
	{
		fWindow->Quit();
	}
	BWindow* fWindow;
	BView* fView;
};

void
ViewDrawSevenLines(benchmark::State& state)
{
	ViewBench bench;
	BView* view = bench.fView;
	BFont font;
	font.SetSize(12);
	view->SetFont(&font);
	font_height height;
	font.GetHeight(&height);
	float pitch = height.ascent + height.descent + height.leading + 1;
	for (auto _ : state) {
		view->SetLowColor(255, 255, 255);
		view->FillRect(view->Bounds(), B_SOLID_LOW);
		for (int i = 0; i < 7; i++) {
			view->SetHighColor(i == 3 ? make_color(200, 0, 0) : make_color(0, 0, 0));
			view->DrawString(kLines[i], BPoint(4, height.ascent + i * pitch));
		}
	}
}
BENCHMARK(ViewDrawSevenLines)->Unit(benchmark::kMicrosecond);

void
ViewDrawBitmap(benchmark::State& state)
{
	ViewBench bench;
	BBitmap source(BRect(0, 0, 399, 119), B_RGB32);
	for (auto _ : state)
		bench.fView->DrawBitmap(&source, BPoint(0, 0));
}
BENCHMARK(ViewDrawBitmap)->Unit(benchmark::kMicrosecond);

void
ViewDrawBitmapAndFlush(benchmark::State& state)
{
	// With the copy to the display server's window that follows it.
	ViewBench bench;
	BBitmap source(BRect(0, 0, 399, 119), B_RGB32);
	for (auto _ : state) {
		bench.fView->DrawBitmap(&source, BPoint(0, 0));
		bench.fView->Flush();
	}
}
BENCHMARK(ViewDrawBitmapAndFlush)->Unit(benchmark::kMicrosecond);

}
