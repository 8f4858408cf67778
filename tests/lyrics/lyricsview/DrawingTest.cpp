// What the view draws, checked by pixels: the highlighted band and its
// frame, centring, the lines around the current one, background images,
// and the off-screen bitmap.
#include "ViewHarness.h"

#include "lyrics/VersoDMessages.h"

#include <cmath>
#include <fstream>

using lyricsview::LyricsViewTest;
using windowtest::Pixels;
using windowtest::rgb;

namespace {

const char* const kFiveLines =
	"[00:00.00]zero\n"
	"[00:01.00]one\n"
	"[00:02.00]two two two\n"
	"[00:03.00]three\n"
	"[00:04.00]four\n";

const rgb_color kTileA = {10, 200, 10, 255};
const rgb_color kTileB = {250, 250, 0, 255};

// A 24-bit BMP of 20 × 20 pixels: the top-left quarter in `a`, the rest in
// `b`.
void write_quarter_bmp(const std::string& path, rgb_color a, rgb_color b)
{
	const int32 size = 20;
	const int32 rowBytes = size * 3 + ((4 - size * 3 % 4) % 4);
	const int32 dataSize = rowBytes * size;
	std::string file;
	auto put16 = [&file](uint32 v) { file += char(v & 0xff); file += char(v >> 8 & 0xff); };
	auto put32 = [&put16](uint32 v) { put16(v & 0xffff); put16(v >> 16); };
	file += "BM";
	put32(54 + dataSize);
	put32(0);
	put32(54);
	put32(40);
	put32(size);
	put32(size);   // positive height: rows from the bottom up
	put16(1);
	put16(24);
	put32(0);
	put32(dataSize);
	put32(2835);
	put32(2835);
	put32(0);
	put32(0);
	for (int32 row = size - 1; row >= 0; row--) {
		for (int32 x = 0; x < size; x++) {
			const rgb_color c = (x < size / 2 && row < size / 2) ? a : b;
			file += char(c.blue);
			file += char(c.green);
			file += char(c.red);
		}
		file.append(rowBytes - size * 3, '\0');
	}
	std::ofstream(path, std::ios::binary) << file;
}

struct Band {
	float top;
	float bottom;
	int32 middle;
};

}

class LyricsViewDrawingTest : public LyricsViewTest {
protected:
	// The band of the current line in a view `height` pixels high.
	Band BandFor(int32 height)
	{
		const float th = Locked([&] { return fView->TextHeight(); });
		const float y = ((height - 1) - th) * 0.5f;
		return {y - th / 6, y + th + th / 6, static_cast<int32>(std::lround(y + th / 2))};
	}

	void OpenAtLine(int32 line, int32 width = 400, int32 height = 120)
	{
		WriteLyrics(0, kFiveLines);
		StartPlayer({"Song"});
		OpenView(width, height);
		ASSERT_EQ(fPlayer->SetPosition(1000 * line), B_OK);
		ASSERT_TRUE(WaitFor([&](TVersoDView* v) {
			return v->DisplayLine(0) == "zero" && v->CurrentLine() == line;
		}));
	}

	// Pixels that differ between two pictures of the window.
	static int32 Differences(const Pixels& a, const Pixels& b)
	{
		if (a.Width() != b.Width() || a.Height() != b.Height())
			return -1;
		int32 count = 0;
		for (int32 y = 0; y < a.Height(); y++)
			for (int32 x = 0; x < a.Width(); x++)
				count += a.At(x, y) != b.At(x, y);
		return count;
	}

	void SetDoubleBuffering(bool on)
	{
		ChangePrefs([on](TPref& p) { p.doubleBuffering = on; }, kMsgDoubleBufferingChanged);
		ASSERT_TRUE(WaitFor([on](TVersoDView* v) { return v->IsDoubleBuffered() == on; }));
	}
};

TEST_F(LyricsViewDrawingTest, CurrentLineIsCentredInItsBandWithTheOthersAboveAndBelow)
{
	OpenAtLine(2);
	const Band band = BandFor(120);
	const float pitch = Locked([&] { return fView->LinePitch(); });
	Pixels pixels(fWindow);

	// the band spans the width, and only the band's rows
	EXPECT_EQ(pixels.At(1, band.middle), rgb(lyricsview::kActiveBack));
	EXPECT_EQ(pixels.At(398, band.middle), rgb(lyricsview::kActiveBack));
	EXPECT_EQ(pixels.At(1, static_cast<int32>(band.top) - 2), rgb(lyricsview::kBack));
	EXPECT_EQ(pixels.At(1, static_cast<int32>(band.bottom) + 2), rgb(lyricsview::kBack));
	// no frame unless asked for
	EXPECT_EQ(pixels.At(0, band.middle), rgb(lyricsview::kActiveBack));

	// the current line's text in its colour, centred
	int32 left = 400, right = -1;
	for (int32 y = static_cast<int32>(band.top); y <= static_cast<int32>(band.bottom); y++) {
		for (int32 x = 0; x < 400; x++) {
			if (pixels.At(x, y) == rgb(lyricsview::kActiveText)) {
				left = std::min(left, x);
				right = std::max(right, x);
			}
		}
	}
	ASSERT_GE(right, left) << "no text in the band";
	EXPECT_NEAR((left + right) * 0.5, 199.5, 3.0);
	EXPECT_GT(right - left, 30);

	// the neighbours one pitch above and below, in the text colour
	const int32 above = static_cast<int32>(std::lround(band.middle - pitch));
	const int32 below = static_cast<int32>(std::lround(band.middle + pitch));
	EXPECT_GT(pixels.Count(rgb(lyricsview::kText), 0, above - 3, 399, above + 3), 0);
	EXPECT_GT(pixels.Count(rgb(lyricsview::kText), 0, below - 3, 399, below + 3), 0);
}

TEST_F(LyricsViewDrawingTest, FirstLineHasNothingAboveIt)
{
	OpenAtLine(0);
	const Band band = BandFor(120);
	Pixels pixels(fWindow);
	EXPECT_EQ(pixels.At(1, band.middle), rgb(lyricsview::kActiveBack));
	for (int32 y = 0; y < static_cast<int32>(band.top) - 1; y++)
		EXPECT_FALSE(pixels.RowHasInk(y, rgb(lyricsview::kBack))) << "row " << y;
	EXPECT_GT(pixels.Count(rgb(lyricsview::kText), 0, static_cast<int32>(band.bottom) + 1,
		399, 119), 0);
}

TEST_F(LyricsViewDrawingTest, ActiveFrameIsStrokedAroundTheBand)
{
	OpenAtLine(1);
	ChangePrefs([](TPref& p) { p.useActiveFrame = true; }, kMsgAppearanceChanged);
	const Band band = BandFor(120);
	Pixels pixels(fWindow);
	EXPECT_EQ(pixels.At(0, band.middle), rgb(lyricsview::kActiveFrame));
	EXPECT_EQ(pixels.At(399, band.middle), rgb(lyricsview::kActiveFrame));
	EXPECT_EQ(pixels.At(1, band.middle), rgb(lyricsview::kActiveBack));
	// the top and bottom edges, away from the text
	EXPECT_GT(pixels.Count(rgb(lyricsview::kActiveFrame), 5,
		static_cast<int32>(band.top) - 1, 5, static_cast<int32>(band.top) + 1), 0);
	EXPECT_GT(pixels.Count(rgb(lyricsview::kActiveFrame), 5,
		static_cast<int32>(band.bottom) - 1, 5, static_cast<int32>(band.bottom) + 1), 0);
}

TEST_F(LyricsViewDrawingTest, BackgroundImageIsTiledOrScaledAndAnUnreadableOneIsIgnored)
{
	const std::string image = fDir.File("back.bmp");
	write_quarter_bmp(image, kTileA, kTileB);
	OpenAtLine(0);
	const Band band = BandFor(120);

	ChangePrefs([&](TPref& p) {
		p.useBackgroundImage = true;
		p.backgroundImage = image;
		p.imageAlignment = 0;
		p.useActiveFrame = true;
	}, kMsgAppearanceChanged);
	{
		Pixels tiled(fWindow);
		EXPECT_EQ(tiled.At(5, 5), rgb(kTileA));
		EXPECT_EQ(tiled.At(15, 5), rgb(kTileB));
		EXPECT_EQ(tiled.At(25, 5), rgb(kTileA));
		EXPECT_EQ(tiled.At(385, 25), rgb(kTileA));   // tiles reach the far corner
		EXPECT_EQ(tiled.At(395, 115), rgb(kTileB));
		// over an image the band is not filled, but the frame is drawn
		EXPECT_NE(tiled.At(3, band.middle), rgb(lyricsview::kActiveBack));
		EXPECT_EQ(tiled.At(0, band.middle), rgb(lyricsview::kActiveFrame));
	}

	ChangePrefs([](TPref& p) { p.imageAlignment = 1; }, kMsgAppearanceChanged);
	{
		Pixels scaled(fWindow);
		EXPECT_EQ(scaled.At(15, 5), rgb(kTileA));
		EXPECT_EQ(scaled.At(150, 30), rgb(kTileA));
		EXPECT_EQ(scaled.At(250, 30), rgb(kTileB));
		EXPECT_EQ(scaled.At(150, 100), rgb(kTileB));
	}

	const std::string notAnImage = fDir.Write("notes.txt", "not an image\n");
	ChangePrefs([&](TPref& p) { p.backgroundImage = notAnImage; }, kMsgAppearanceChanged);
	{
		Pixels plain(fWindow);
		EXPECT_EQ(plain.At(5, 5), rgb(lyricsview::kBack));
		EXPECT_EQ(plain.At(3, band.middle), rgb(lyricsview::kActiveBack));
	}
}

TEST_F(LyricsViewDrawingTest, DoubleBufferedLineChangeShowsThePreparedScreen)
{
	ChangePrefs([](TPref& p) { p.doubleBuffering = true; }, 0);
	OpenAtLine(0);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) {
		return v->IsDoubleBuffered() && v->PreparedLine() == 1;
	}));

	// the next line appears by a copy, and the one after it is prepared
	ASSERT_EQ(fPlayer->SetPosition(1000), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) {
		return v->CurrentLine() == 1 && v->PreparedLine() == 2;
	}));
	Pixels copied(fWindow);

	// the copy shows exactly what drawing directly shows
	SetDoubleBuffering(false);
	Pixels direct(fWindow);
	EXPECT_EQ(Differences(copied, direct), 0);
	EXPECT_EQ(copied.At(1, BandFor(120).middle), rgb(lyricsview::kActiveBack));

	// a jump back to a line that is not the prepared one draws directly
	SetDoubleBuffering(true);
	ASSERT_EQ(fPlayer->SetPosition(3000), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) {
		return v->CurrentLine() == 3 && v->PreparedLine() == 4;
	}));
	Pixels jumped(fWindow);
	SetDoubleBuffering(false);
	EXPECT_EQ(Differences(jumped, Pixels(fWindow)), 0);
}

TEST_F(LyricsViewDrawingTest, ResizingWithDoubleBufferingRedrawsAtTheNewSize)
{
	ChangePrefs([](TPref& p) { p.doubleBuffering = true; }, 0);
	OpenAtLine(2);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->PreparedLine() == 3; }));

	Locked([&] { fWindow->ResizeTo(299, 79); return 0; });
	ASSERT_TRUE(WaitFor([](TVersoDView* v) {
		return v->Bounds() == BRect(0, 0, 299, 79) && v->IsDoubleBuffered()
			&& v->PreparedLine() == 3;
	}));
	const Band band = BandFor(80);
	Pixels resized(fWindow);
	EXPECT_EQ(resized.At(1, band.middle), rgb(lyricsview::kActiveBack));
	EXPECT_EQ(resized.At(298, band.middle), rgb(lyricsview::kActiveBack));

	// and the prepared screen has the new size: the next line by a copy
	// looks as drawn directly
	ASSERT_EQ(fPlayer->SetPosition(3000), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) {
		return v->CurrentLine() == 3 && v->PreparedLine() == 4;
	}));
	Pixels copied(fWindow);
	SetDoubleBuffering(false);
	EXPECT_EQ(Differences(copied, Pixels(fWindow)), 0);
}
