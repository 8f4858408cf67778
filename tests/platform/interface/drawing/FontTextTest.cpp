#include "DrawingTestUtil.h"

#include <Font.h>

#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include <thread>
#include <vector>

namespace {

std::string
family_of(const BFont& font)
{
	font_family family;
	font_style style;
	font.GetFamilyAndStyle(&family, &style);
	return family;
}

std::string
style_of(const BFont& font)
{
	font_family family;
	font_style style;
	font.GetFamilyAndStyle(&family, &style);
	return style;
}

}

TEST(Font, SystemFonts)
{
	EXPECT_EQ(family_of(*be_plain_font), "DejaVu Sans");
	EXPECT_EQ(be_plain_font->Size(), 12.0f);
	EXPECT_EQ(be_plain_font->Face(), B_REGULAR_FACE);
	EXPECT_EQ(family_of(*be_bold_font), "DejaVu Sans");
	EXPECT_EQ(be_bold_font->Face(), B_BOLD_FACE);
	EXPECT_EQ(family_of(*be_fixed_font), "DejaVu Sans Mono");
	EXPECT_TRUE(be_fixed_font->IsFixed());
	EXPECT_FALSE(be_plain_font->IsFixed());
	EXPECT_EQ(BFont(), *be_plain_font);
	EXPECT_NE(*be_bold_font, *be_plain_font);
	EXPECT_FLOAT_EQ(be_fixed_font->StringWidth("iiii"), be_fixed_font->StringWidth("MMMM"));
}

TEST(Font, FamiliesAndStylesComeFromFontconfig)
{
	int32 families = count_font_families();
	ASSERT_GT(families, 0);
	bool sawJapanese = false;
	std::string previous;
	for (int32 i = 0; i < families; i++) {
		font_family name;
		ASSERT_EQ(get_font_family(i, &name), B_OK);
		EXPECT_LE(strlen(name), (size_t)B_FONT_FAMILY_LENGTH);
		EXPECT_LE(strcasecmp(previous.c_str(), name), 0) << "alphabetical order";
		previous = name;
		sawJapanese = sawJapanese || strcmp(name, "IPAGothic") == 0;
		EXPECT_GT(count_font_styles(name), 0) << name;
	}
	EXPECT_TRUE(sawJapanese);
	font_family name;
	EXPECT_EQ(get_font_family(families, &name), B_BAD_VALUE);
	EXPECT_EQ(count_font_styles((char*)"No Such Family"), -1);

	font_family dejavu = "DejaVu Sans";
	font_style style;
	uint16 face = 0;
	uint32 flags = 0;
	ASSERT_EQ(get_font_style(dejavu, 0, &style, &face, &flags), B_OK);
	EXPECT_EQ(face, B_REGULAR_FACE) << "the regular style comes first: " << style;
	EXPECT_EQ(get_font_style(dejavu, 1000, &style), B_BAD_VALUE);
}

TEST(Font, MissingFamiliesFallBackToTheDefault)
{
	BFont font;
	font.SetSize(20);
	font_family haru = "Haru";
	EXPECT_EQ(font.SetFamilyAndStyle(haru, "Regular"), B_NAME_NOT_FOUND);
	EXPECT_EQ(family_of(font), "DejaVu Sans");
	EXPECT_EQ(font.Face(), B_REGULAR_FACE);
	EXPECT_EQ(font.Size(), 20.0f) << "the size is kept";

	EXPECT_EQ(font.SetFamilyAndFace(haru, B_BOLD_FACE), B_NAME_NOT_FOUND);
	EXPECT_EQ(family_of(font), "DejaVu Sans");
	EXPECT_EQ(font.Face(), B_BOLD_FACE);

	font_family serif = "dejavu serif";   // case does not matter
	EXPECT_EQ(font.SetFamilyAndFace(serif, B_ITALIC_FACE), B_OK);
	EXPECT_EQ(family_of(font), "DejaVu Serif");
	EXPECT_EQ(style_of(font), "Italic");
	EXPECT_EQ(font.SetFamilyAndFace(serif, B_REGULAR_FACE), B_OK);
	EXPECT_EQ(style_of(font), "Book");

	// A missing style keeps the family with its regular style.
	EXPECT_EQ(font.SetFamilyAndStyle(serif, "Ultra Wide"), B_NAME_NOT_FOUND);
	EXPECT_EQ(family_of(font), "DejaVu Serif");
	EXPECT_EQ(font.Face(), B_REGULAR_FACE);

	// The family-and-style code round-trips.
	BFont other;
	other.SetFamilyAndStyle(font.FamilyAndStyle());
	EXPECT_EQ(family_of(other), "DejaVu Serif");
	other.SetFamilyAndStyle(0xfffffff0u);   // unknown: ignored
	EXPECT_EQ(family_of(other), "DejaVu Serif");
}

TEST(Font, HeightsAndWidths)
{
	BFont font;
	font.SetSize(20);
	font_height height;
	font.GetHeight(&height);
	EXPECT_GT(height.ascent, 14.0f);
	EXPECT_LT(height.ascent, 22.0f);
	EXPECT_GT(height.descent, 2.0f);
	EXPECT_LT(height.descent, height.ascent);
	EXPECT_GE(height.leading, 0.0f);

	BFont small;
	small.SetSize(10);
	font_height smallHeight;
	small.GetHeight(&smallHeight);
	EXPECT_NEAR(smallHeight.ascent * 2, height.ascent, 2.0f);

	EXPECT_EQ(font.StringWidth(""), 0.0f);
	EXPECT_EQ(font.StringWidth(NULL), 0.0f);
	float hello = font.StringWidth("Hello");
	EXPECT_GT(hello, 30.0f);
	EXPECT_EQ(font.StringWidth("Hello, world", 5), hello) << "length counts bytes";
	EXPECT_NEAR(small.StringWidth("Hello") * 2, hello, 3.0f);
	// Invalid UTF-8 and control characters are measured, not rejected.
	EXPECT_GT(font.StringWidth("a\xff\xfe" "b\n"), font.StringWidth("ab"));
	// A cut inside a multi-byte character does not read past the cut.
	EXPECT_GT(font.StringWidth("\xe6\x97\xa5", 2), 0.0f);

	const char* strings[2] = {"Hello", "Hello, world"};
	int32 lengths[2] = {5, 12};
	float widths[2];
	font.GetStringWidths(strings, lengths, 2, widths);
	EXPECT_EQ(widths[0], hello);
	EXPECT_GT(widths[1], hello);

	float escapements[3];
	font.GetEscapements("a\xe6\x97\xa5" "b", 3, escapements);
	EXPECT_GT(escapements[0], 0.2f);
	EXPECT_GT(escapements[1], escapements[0]) << "a Japanese character is wide";
	EXPECT_LT(escapements[1], 1.5f);

	font.SetSize(-3);
	EXPECT_EQ(font.Size(), 1.0f);
	font.SetSize(NAN);
	EXPECT_EQ(font.Size(), 12.0f);
}

TEST(Text, BaselineAscentAndDescent)
{
	Canvas canvas(100, 50);
	BFont font;
	font.SetSize(20);
	font.SetFlags(B_DISABLE_ANTIALIASING);
	canvas.painter.SetFont(font);
	canvas.painter.DrawString("H", -1, BPoint(10, 30));
	BRect ink = canvas.InkBounds();
	ASSERT_TRUE(ink.IsValid());
	font_height height;
	font.GetHeight(&height);
	EXPECT_EQ(ink.bottom, 30.0f) << "letters without descenders end on the baseline row";
	EXPECT_GE(ink.top, 30.0f - height.ascent);
	EXPECT_LT(ink.top, 30.0f - height.ascent / 2) << "capital letters are tall";
	EXPECT_GE(ink.left, 10.0f);
	EXPECT_LE(ink.left, 13.0f);

	Canvas descender(100, 50);
	descender.painter.SetFont(font);
	descender.painter.DrawString("g", -1, BPoint(10, 30));
	BRect below = descender.InkBounds();
	EXPECT_GT(below.bottom, 30.0f);
	EXPECT_LE(below.bottom, 30.0f + ceilf(height.descent));
}

TEST(Text, DrawnWidthMatchesStringWidth)
{
	Canvas canvas(300, 40);
	BFont font;
	font.SetSize(16);
	canvas.painter.SetFont(font);
	const char* text = "Lyrics line HIJ";
	float advance = canvas.painter.DrawString(text, -1, BPoint(5, 25));
	EXPECT_EQ(advance, font.StringWidth(text));
	BRect ink = canvas.InkBounds();
	// The ink spans the advance, give or take the side bearings.
	EXPECT_NEAR(ink.right + 1 - 5, advance, 1.5f);
	EXPECT_NEAR(ink.left, 5.0f, 2.0f);
}

// A clock's digits and signs, drawn one by one at their own widths, look
// exactly as the string drawn whole: the system font's metrics are whole
// pixels and it kerns none of them. The player draws its time so.
TEST(Text, TimeCharactersDrawnOneByOneLookAsDrawnWhole)
{
	for (float size : {9.0f, 11.0f, 12.0f, 14.0f}) {
		BFont font;
		font.SetSize(size);
		for (const char* time : {"0:11 / 10:00", "12:34 / 59:59", "1:02:03 / 1:10:00",
				"7:47 / 0:45"}) {
			SCOPED_TRACE(std::string(time) + " at " + std::to_string(size));
			Canvas whole(200, 30), oneByOne(200, 30);
			whole.painter.SetFont(font);
			oneByOne.painter.SetFont(font);
			whole.painter.DrawString(time, -1, BPoint(10, 20));
			float x = 10;
			for (const char* c = time; *c != '\0'; c++) {
				const char one[2] = {*c, '\0'};
				oneByOne.painter.DrawString(one, -1, BPoint(x, 20));
				x += font.StringWidth(one);
			}
			EXPECT_EQ(x - 10, font.StringWidth(time));
			EXPECT_EQ(memcmp(whole.bitmap.Bits(), oneByOne.bitmap.Bits(),
				whole.bitmap.BitsLength()), 0);
		}
	}
}

// Glyphs are rasterised once for a text and kept: the same text drawn
// again, cut by the target's edges or by clipping, or in another colour,
// shows exactly the pixels that drawing it whole in a larger target shows
// there.
TEST(Text, KeptGlyphsDrawTheSameCutOrWhole)
{
	BFont font;
	font.SetSize(15);
	const char* text = "Kept glyphs, Wave & \xe6\x9c\x9d";
	const int32 kMargin = 40;
	Canvas large(300 + 2 * kMargin, 40 + 2 * kMargin);
	large.painter.SetFont(font);
	large.painter.SetHighColor(make_color(30, 60, 200));
	large.painter.SetLowColor(make_color(250, 240, 10));
	large.painter.DrawString(text, -1, BPoint(kMargin - 12, kMargin + 8));

	// the same text where the small target's edges cut it on all sides
	for (int pass = 0; pass < 2; pass++) {
		Canvas small(120, 14);
		small.painter.SetFont(font);
		small.painter.SetHighColor(make_color(30, 60, 200));
		small.painter.SetLowColor(make_color(250, 240, 10));
		if (pass == 1) {
			// and by two clipping rectangles inside it
			const BRect clip[2] = {BRect(0, 0, 40, 13), BRect(70, 3, 119, 9)};
			small.painter.SetClipping(clip, 2);
		}
		small.painter.DrawString(text, -1, BPoint(-12, 8));
		for (int32 y = 0; y < small.Height(); y++) {
			for (int32 x = 0; x < small.Width(); x++) {
				const bool clipped = pass == 1 && !(x <= 40 || (x >= 70 && y >= 3 && y <= 9));
				const rgb_color expected = clipped ? kWhite : large.Pixel(x + kMargin, y + kMargin);
				ASSERT_TRUE(same_rgb(small.Pixel(x, y), expected)) << x << "," << y;
			}
		}
	}

	// in another colour, the same coverage mixes the new colours
	Canvas red(300 + 2 * kMargin, 40 + 2 * kMargin);
	red.painter.SetFont(font);
	red.painter.SetHighColor(make_color(200, 0, 0));
	red.painter.SetLowColor(kWhite);
	red.painter.DrawString(text, -1, BPoint(kMargin - 12, kMargin + 8));
	EXPECT_EQ(red.Count(red.All(), [](rgb_color c) { return c.green != c.blue; }), 0);
	EXPECT_EQ(red.InkBounds(), large.InkBounds());
}

// Text far wider than the target (and than a Cairo image may be) still
// shows the part of it that lies in the target.
TEST(Text, AVeryLongStringShowsItsVisiblePart)
{
	BFont font;
	font.SetSize(12);
	const std::string text(8000, 'W');
	ASSERT_GT(font.StringWidth(text.c_str()), 40000.0f);
	Canvas canvas(100, 20);
	canvas.painter.SetFont(font);
	canvas.painter.DrawString(text.c_str(), -1, BPoint(-20000, 14));
	EXPECT_GT(canvas.Count(canvas.All(), [](rgb_color c) { return c.red < 128; }), 100);
}

TEST(Text, JapaneseDrawsThroughFallback)
{
	Canvas canvas(200, 40);
	BFont font;
	font.SetSize(20);
	canvas.painter.SetFont(font);
	const char* text = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e";   // three kanji
	float width = canvas.painter.DrawString(text, -1, BPoint(2, 30));
	EXPECT_NEAR(width, 60.0f, 6.0f) << "three full-width characters";
	BRect ink = canvas.InkBounds();
	ASSERT_TRUE(ink.IsValid());
	EXPECT_GT(ink.Width(), 45.0f);
	EXPECT_GT(canvas.CountNot(canvas.All(), kWhite), 100) << "not just boxes' outlines";
}

TEST(Text, AntialiasingFollowsTheFontFlags)
{
	auto greys = [](uint32 flags) {
		Canvas canvas(120, 40);
		BFont font;
		font.SetSize(18);
		font.SetFlags(flags);
		canvas.painter.SetFont(font);
		canvas.painter.DrawString("Wave &", -1, BPoint(4, 28));
		return canvas.Count(canvas.All(), [](rgb_color c) {
			return c.red > 20 && c.red < 235;
		});
	};
	EXPECT_EQ(greys(B_DISABLE_ANTIALIASING), 0);
	EXPECT_GT(greys(0), 10);
	EXPECT_GT(greys(B_FORCE_ANTIALIASING | B_DISABLE_ANTIALIASING), 10);
}

TEST(Text, CopyModeBlendsTowardsTheLowColour)
{
	// BeOS draws text in B_OP_COPY as if on the low colour: edge pixels are
	// mixtures of high and low colour, whatever was there before.
	Canvas canvas(120, 40);
	BFont font;
	font.SetSize(18);
	canvas.painter.SetFont(font);
	canvas.painter.SetHighColor(kBlack);
	canvas.painter.SetLowColor(kRed);
	canvas.painter.DrawString("Wave &", -1, BPoint(4, 28));
	EXPECT_EQ(canvas.Count(canvas.All(), [](rgb_color c) {
		return !same_rgb(c, kWhite) && (c.green != 0 || c.blue != 0);
	}), 0);

	// In B_OP_OVER the edges mix with the background instead.
	Canvas over(120, 40);
	over.painter.SetFont(font);
	over.painter.SetDrawingMode(B_OP_OVER);
	over.painter.SetLowColor(kRed);
	over.painter.DrawString("Wave &", -1, BPoint(4, 28));
	EXPECT_EQ(over.Count(over.All(), [](rgb_color c) { return c.red != c.green; }), 0);
	EXPECT_GT(over.Count(over.All(), [](rgb_color c) { return c.red > 20 && c.red < 235; }), 0);
}

TEST(Text, TwoThreadsDrawAtOnce)
{
	// Each thread draws the same lines into its own canvas many times; the
	// results must match a drawing made alone.
	auto draw = [](Canvas& canvas) {
		BFont font;
		font.SetSize(14);
		canvas.painter.SetFont(font);
		canvas.painter.FillRect(canvas.All(), B_SOLID_LOW);
		canvas.painter.DrawString("Morning light", -1, BPoint(2, 15));
		canvas.painter.DrawString("\xe6\x9c\x9d\xe3\x81\xae\xe5\x85\x89", -1, BPoint(2, 35));
		(void)font.StringWidth("Morning light");
	};
	Canvas reference(160, 40);
	draw(reference);

	Canvas first(160, 40), second(160, 40);
	bool firstSame = true, secondSame = true;
	auto run = [&](Canvas& canvas, bool& same) {
		for (int i = 0; i < 30; i++) {
			draw(canvas);
			same = same && memcmp(canvas.bitmap.Bits(), reference.bitmap.Bits(),
				reference.bitmap.BitsLength()) == 0;
		}
	};
	std::thread a(run, std::ref(first), std::ref(firstSame));
	std::thread b(run, std::ref(second), std::ref(secondSame));
	a.join();
	b.join();
	EXPECT_TRUE(firstSame);
	EXPECT_TRUE(secondSame);
}
