#include "DrawingTestUtil.h"

#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include <functional>
#include <utility>
#include <vector>

TEST(PainterShapes, FillRectCoversInclusiveEdgesExactly)
{
	Canvas canvas(10, 10);
	canvas.painter.FillRect(BRect(0, 0, 3, 3));
	EXPECT_EQ(canvas.CountExactly(BRect(0, 0, 3, 3), kBlack), 16);
	EXPECT_EQ(canvas.CountNot(canvas.All(), kWhite), 16);
	// A zero-width rectangle is one column of pixels.
	Canvas line(10, 10);
	line.painter.FillRect(BRect(5, 2, 5, 6));
	EXPECT_EQ(line.InkBounds(), BRect(5, 2, 5, 6));
	EXPECT_EQ(line.CountNot(line.All(), kWhite), 5);
	// Invalid rectangles draw nothing.
	Canvas none(10, 10);
	none.painter.FillRect(BRect());
	none.painter.FillRect(BRect(5, 5, 4, 9));
	EXPECT_EQ(none.CountNot(none.All(), kWhite), 0);
}

TEST(PainterShapes, OnePixelStrokesCoverExactlyOneRowOrColumn)
{
	Canvas canvas(20, 20);
	canvas.painter.StrokeLine(BPoint(2, 5), BPoint(12, 5));
	// Exactly row 5, from column 2 to 12 inclusive, fully black.
	EXPECT_EQ(canvas.CountExactly(BRect(2, 5, 12, 5), kBlack), 11);
	EXPECT_EQ(canvas.CountNot(canvas.All(), kWhite), 11);

	Canvas vertical(20, 20);
	vertical.painter.StrokeLine(BPoint(7, 15), BPoint(7, 3));
	EXPECT_EQ(vertical.CountExactly(BRect(7, 3, 7, 15), kBlack), 13);
	EXPECT_EQ(vertical.CountNot(vertical.All(), kWhite), 13);

	// A frame: the border pixels of the rectangle and nothing else.
	Canvas frame(20, 20);
	frame.painter.StrokeRect(BRect(2, 2, 9, 6));
	EXPECT_EQ(frame.InkBounds(), BRect(2, 2, 9, 6));
	EXPECT_EQ(frame.CountExactly(frame.All(), kBlack), 2 * 8 + 2 * 3);
	EXPECT_EQ(frame.CountNot(BRect(3, 3, 8, 5), kWhite), 0);
}

TEST(PainterShapes, ThickStrokesAndSlantedLines)
{
	Canvas canvas(30, 30);
	canvas.painter.SetPenSize(3);
	canvas.painter.StrokeLine(BPoint(5, 10), BPoint(20, 10));
	EXPECT_EQ(canvas.InkBounds(), BRect(5, 9, 20, 11));
	EXPECT_EQ(canvas.CountExactly(canvas.All(), kBlack), 16 * 3);

	// A frame in B_OP_INVERT: corners must not be drawn twice (a twice
	// inverted pixel would show white again).
	Canvas frame(30, 30);
	frame.painter.SetPenSize(2);
	frame.painter.SetDrawingMode(B_OP_INVERT);
	frame.painter.StrokeRect(BRect(5, 5, 15, 15));
	EXPECT_EQ(frame.CountExactly(frame.All(), kBlack),
		frame.CountNot(frame.All(), kWhite));
	EXPECT_TRUE(same_rgb(frame.Pixel(5, 5), kBlack));
	EXPECT_TRUE(same_rgb(frame.Pixel(4, 4), kBlack));
	EXPECT_TRUE(same_rgb(frame.Pixel(10, 10), kWhite));

	// A diagonal line reaches both of its end pixels.
	Canvas diagonal(30, 30);
	diagonal.painter.StrokeLine(BPoint(2, 2), BPoint(20, 20));
	EXPECT_LT(diagonal.Pixel(2, 2).red, 128);
	EXPECT_LT(diagonal.Pixel(20, 20).red, 128);
	EXPECT_LT(diagonal.Pixel(11, 11).red, 128);
	EXPECT_TRUE(same_rgb(diagonal.Pixel(20, 2), kWhite));
}

TEST(PainterShapes, EllipsesStayInsideTheirRectangle)
{
	Canvas canvas(40, 40);
	canvas.painter.FillEllipse(BRect(5, 10, 34, 29));
	BRect ink = canvas.InkBounds();
	EXPECT_EQ(ink, BRect(5, 10, 34, 29));
	EXPECT_TRUE(same_rgb(canvas.Pixel(20, 20), kBlack));
	// Corners of the rectangle stay empty.
	EXPECT_TRUE(same_rgb(canvas.Pixel(5, 10), kWhite));
	EXPECT_TRUE(same_rgb(canvas.Pixel(34, 29), kWhite));
	// About pi/4 of the rectangle (30 x 20 pixels).
	int32 dark = canvas.Count(canvas.All(), [](rgb_color c) { return c.red < 128; });
	EXPECT_NEAR(dark, 3.14159 * 15 * 10, 20);

	Canvas outline(40, 40);
	outline.painter.StrokeEllipse(BRect(5, 5, 34, 34));
	EXPECT_TRUE(same_rgb(outline.Pixel(20, 20), kWhite)) << "the inside stays empty";
	EXPECT_LT(outline.Pixel(5, 20).red, 128) << "the outline passes the left edge";
	EXPECT_LT(outline.Pixel(20, 34).red, 128) << "and the bottom edge";
	EXPECT_EQ(outline.CountNot(BRect(0, 0, 3, 39), kWhite), 0);
}

TEST(PainterShapes, RoundRectsTrianglesAndPolygons)
{
	Canvas canvas(40, 40);
	canvas.painter.FillRoundRect(BRect(5, 5, 34, 24), 6, 6);
	EXPECT_EQ(canvas.InkBounds(), BRect(5, 5, 34, 24));
	EXPECT_TRUE(same_rgb(canvas.Pixel(5, 5), kWhite)) << "rounded corner";
	EXPECT_TRUE(same_rgb(canvas.Pixel(20, 5), kBlack)) << "straight edge";

	// A filled triangle includes the pixels on its edges, as FillRect does.
	Canvas triangle(20, 20);
	triangle.painter.FillTriangle(BPoint(2, 2), BPoint(12, 2), BPoint(2, 12));
	EXPECT_EQ(triangle.InkBounds(), BRect(2, 2, 12, 12));
	EXPECT_TRUE(same_rgb(triangle.Pixel(2, 2), kBlack));
	EXPECT_TRUE(same_rgb(triangle.Pixel(7, 2), kBlack)) << "edge pixels are in";
	EXPECT_TRUE(same_rgb(triangle.Pixel(2, 7), kBlack));
	// The sharp corners are anti-aliased but clearly marked.
	EXPECT_LT(triangle.Pixel(12, 2).red, 200);
	EXPECT_LT(triangle.Pixel(2, 12).red, 200);
	EXPECT_TRUE(same_rgb(triangle.Pixel(11, 11), kWhite));

	// A rectangle given as a polygon fills the same pixels as FillRect.
	Canvas polygon(20, 20);
	BPoint corners[4] = {BPoint(3, 3), BPoint(8, 3), BPoint(8, 6), BPoint(3, 6)};
	polygon.painter.FillPolygon(corners, 4);
	EXPECT_EQ(polygon.InkBounds(), BRect(3, 3, 8, 6));
	EXPECT_EQ(polygon.CountExactly(polygon.All(), kBlack), 6 * 4);
}

TEST(PainterShapes, PatternsAndColours)
{
	Canvas canvas(8, 8);
	canvas.painter.SetHighColor(kRed);
	canvas.painter.SetLowColor(kBlue);
	canvas.painter.FillRect(BRect(0, 0, 7, 7), B_MIXED_COLORS);
	EXPECT_EQ(canvas.CountExactly(canvas.All(), kRed), 32);
	EXPECT_EQ(canvas.CountExactly(canvas.All(), kBlue), 32);
	EXPECT_FALSE(same_rgb(canvas.Pixel(0, 0), canvas.Pixel(1, 0)));
	EXPECT_FALSE(same_rgb(canvas.Pixel(0, 0), canvas.Pixel(0, 1)));

	// In B_OP_OVER the pattern's low colour is a hole.
	Canvas over(8, 8);
	over.painter.SetDrawingMode(B_OP_OVER);
	over.painter.SetHighColor(kRed);
	over.painter.SetLowColor(kBlue);
	over.painter.FillRect(BRect(0, 0, 7, 7), B_MIXED_COLORS);
	EXPECT_EQ(over.CountExactly(over.All(), kRed), 32);
	EXPECT_EQ(over.CountExactly(over.All(), kWhite), 32);
	over.painter.FillRect(BRect(0, 0, 7, 7), B_SOLID_LOW);
	EXPECT_EQ(over.CountExactly(over.All(), kBlue), 0);
}

TEST(PainterShapes, DrawingModes)
{
	Canvas canvas(10, 1);
	rgb_color grey = make_color(100, 100, 100);
	canvas.painter.SetHighColor(grey);
	canvas.painter.FillRect(canvas.All());
	BPrivate::Painter& p = canvas.painter;
	auto paint = [&](int32 x, drawing_mode mode, rgb_color color) {
		p.SetDrawingMode(mode);
		p.SetHighColor(color);
		p.FillRect(BRect(x, 0, x, 0));
	};
	rgb_color source = make_color(200, 50, 100, 128);
	paint(0, B_OP_COPY, source);
	paint(1, B_OP_ADD, source);
	paint(2, B_OP_SUBTRACT, source);
	paint(3, B_OP_BLEND, source);
	paint(4, B_OP_MIN, source);
	paint(5, B_OP_MAX, source);
	paint(6, B_OP_INVERT, source);
	p.SetLowColor(make_color(1, 2, 3));
	paint(7, B_OP_ERASE, source);
	p.SetBlendingMode(B_CONSTANT_ALPHA, B_ALPHA_OVERLAY);
	paint(8, B_OP_ALPHA, source);

	// B_OP_COPY ignores alpha.
	EXPECT_TRUE(same_rgb(canvas.Pixel(0, 0), make_color(200, 50, 100)));
	EXPECT_EQ(canvas.Pixel(0, 0).alpha, 255) << "a B_RGB32 target stays opaque";
	EXPECT_TRUE(same_rgb(canvas.Pixel(1, 0), make_color(255, 150, 200)));
	EXPECT_TRUE(same_rgb(canvas.Pixel(2, 0), make_color(0, 50, 0)));
	EXPECT_TRUE(same_rgb(canvas.Pixel(3, 0), make_color(150, 75, 100)));
	EXPECT_TRUE(same_rgb(canvas.Pixel(4, 0), make_color(100, 50, 100)));
	EXPECT_TRUE(same_rgb(canvas.Pixel(5, 0), make_color(200, 100, 100)));
	EXPECT_TRUE(same_rgb(canvas.Pixel(6, 0), make_color(155, 155, 155)));
	EXPECT_TRUE(same_rgb(canvas.Pixel(7, 0), make_color(1, 2, 3)));
	// Half of the high colour's alpha: half way from grey to the colour.
	EXPECT_TRUE(near_rgb(canvas.Pixel(8, 0), make_color(150, 75, 100), 1))
		<< canvas.Pixel(8, 0);
	EXPECT_TRUE(same_rgb(canvas.Pixel(9, 0), grey));
}

// A shape's fully covered pixels take the same colour, alpha included, as
// a rectangle of whole pixels in the same mode: the two are stored by
// different paths.
TEST(PainterShapes, CoveredPixelsOfShapesMatchWholePixelFills)
{
	const rgb_color colour = make_color(200, 50, 100, 128);
	for (color_space space : {B_RGB32, B_RGBA32}) {
		for (drawing_mode mode : {B_OP_COPY, B_OP_OVER}) {
			Canvas canvas(40, 20, space);
			canvas.painter.SetDrawingMode(mode);
			canvas.painter.SetHighColor(colour);
			canvas.painter.FillRect(BRect(0, 0, 3, 3));
			canvas.painter.FillEllipse(BRect(5, 2, 18, 15));
			canvas.painter.FillRoundRect(BRect(22, 2, 38, 15), 3, 3);
			const rgb_color whole = canvas.Pixel(1, 1);
			EXPECT_EQ(whole.alpha, space == B_RGBA32 ? 128 : 255);
			for (BPoint inside : {BPoint(11, 8), BPoint(30, 8), BPoint(23, 8)}) {
				const rgb_color pixel = canvas.Pixel(inside.x, inside.y);
				EXPECT_TRUE(same_rgb(pixel, whole) && pixel.alpha == whole.alpha)
					<< "mode " << mode << ", space " << space << ": " << pixel;
			}
			// a pixel at the ellipse's edge is not covered whole
			const rgb_color edge = canvas.Pixel(5, 3);
			EXPECT_FALSE(same_rgb(edge, whole)) << edge;
		}
	}
}

TEST(PainterShapes, AlphaCompositeIntoATransparentBitmap)
{
	Canvas canvas(2, 1, B_RGBA32);
	// B_OP_COPY stores the colour's alpha in an RGBA bitmap.
	canvas.painter.SetHighColor(make_color(0, 0, 0, 0));
	canvas.painter.FillRect(canvas.All());
	EXPECT_EQ(canvas.Pixel(0, 0).alpha, 0);

	canvas.painter.SetDrawingMode(B_OP_ALPHA);
	canvas.painter.SetBlendingMode(B_PIXEL_ALPHA, B_ALPHA_COMPOSITE);
	canvas.painter.SetHighColor(make_color(255, 0, 0, 128));
	canvas.painter.FillRect(BRect(0, 0, 0, 0));
	// Over nothing, the colour keeps its own value and alpha.
	EXPECT_TRUE(same_rgb(canvas.Pixel(0, 0), kRed)) << canvas.Pixel(0, 0);
	EXPECT_EQ(canvas.Pixel(0, 0).alpha, 128);
	canvas.painter.FillRect(BRect(0, 0, 0, 0));
	EXPECT_NEAR(canvas.Pixel(0, 0).alpha, 192, 1);
	EXPECT_EQ(canvas.Pixel(1, 0).alpha, 0);
}

TEST(PainterShapes, ClippingAndOrigin)
{
	Canvas canvas(20, 20);
	BRect clips[2] = {BRect(0, 0, 4, 19), BRect(10, 0, 14, 19)};
	canvas.painter.SetClipping(clips, 2);
	canvas.painter.FillRect(BRect(0, 5, 19, 5));
	EXPECT_EQ(canvas.CountNot(canvas.All(), kWhite), 10);
	EXPECT_TRUE(same_rgb(canvas.Pixel(4, 5), kBlack));
	EXPECT_TRUE(same_rgb(canvas.Pixel(5, 5), kWhite));
	EXPECT_TRUE(same_rgb(canvas.Pixel(14, 5), kBlack));
	EXPECT_TRUE(same_rgb(canvas.Pixel(15, 5), kWhite));

	// Shapes drawn through the coverage mask honour the clipping as well.
	canvas.painter.FillEllipse(BRect(0, 8, 19, 19));
	EXPECT_EQ(canvas.CountNot(BRect(5, 8, 9, 19), kWhite), 0);
	EXPECT_EQ(canvas.CountNot(BRect(15, 8, 19, 19), kWhite), 0);
	EXPECT_GT(canvas.CountNot(BRect(10, 8, 14, 19), kWhite), 0);

	// No rectangles: nothing at all may be drawn.
	canvas.painter.SetClipping(NULL, 0);
	canvas.painter.FillRect(canvas.All(), B_SOLID_LOW);
	EXPECT_TRUE(same_rgb(canvas.Pixel(0, 5), kBlack));

	// The origin moves view coordinates into the buffer.
	canvas.painter.ClearClipping();
	canvas.painter.FillRect(canvas.All(), B_SOLID_LOW);
	canvas.painter.SetOrigin(BPoint(10, 10));
	canvas.painter.FillRect(BRect(0, 0, 1, 1));
	EXPECT_EQ(canvas.InkBounds(), BRect(10, 10, 11, 11));
	// Drawing far outside the buffer is harmless.
	canvas.painter.FillRect(BRect(-1e7f, -1e7f, 1e7f, -100));
	canvas.painter.FillEllipse(BRect(1000, 1000, 2000, 2000));
	EXPECT_EQ(canvas.InkBounds(), BRect(10, 10, 11, 11));
	canvas.painter.StrokeLine(BPoint(-1e7f, -5e6f), BPoint(1e7f, 5e6f));
	canvas.painter.StrokeLine(BPoint(-1e20f, 3), BPoint(1e20f, 3));
	canvas.painter.FillRect(BRect(NAN, 0, 5, 5));
	canvas.painter.DrawString("far", -1, BPoint(3e9f, -3e9f));
}

TEST(PainterShapes, RefusesUnusableTargets)
{
	BPrivate::Painter painter;
	uint32 pixels[4] = {};
	EXPECT_EQ(painter.Attach(pixels, 2, 2, 4, B_RGB32), B_BAD_VALUE) << "row too short";
	EXPECT_EQ(painter.Attach(pixels, 2, 2, 8, B_CMAP8), B_BAD_VALUE);
	EXPECT_EQ(painter.Attach(NULL, 2, 2, 8, B_RGB32), B_BAD_VALUE);
	// Without a target, drawing does nothing and does not crash.
	painter.FillRect(BRect(0, 0, 10, 10));
	painter.FillEllipse(BRect(0, 0, 10, 10));
	EXPECT_GT(painter.DrawString("Hi", -1, BPoint(0, 10)), 0.0f);
	EXPECT_EQ(painter.Attach(pixels, 2, 2, 8, B_RGB32), B_OK);
	painter.FillRect(BRect(1, 1, 1, 1));
	EXPECT_EQ(pixels[3], 0xff000000u);
	EXPECT_EQ(pixels[0], 0u);
}

// What a drawing touched is what reaches the screen at the next present:
// it must hold every pixel the drawing changed, and not much more, or a
// small change outside an update would send the whole view.
TEST(PainterShapes, WhatIsTouchedHoldsEveryChangedPixelAndLittleMore)
{
	BBitmap picture(BRect(0, 0, 5, 3), B_RGB32);
	memset(picture.Bits(), 0x40, picture.BitsLength());
	const BPoint triangle[3] = {BPoint(10, 40), BPoint(30, 12), BPoint(44, 50)};
	const BRect clip(0, 0, 40, 30);
	const std::vector<std::pair<const char*, std::function<void(BPrivate::Painter&)>>> drawings = {
		{"a rectangle", [](BPrivate::Painter& p) { p.FillRect(BRect(12, 7, 30, 9)); }},
		{"a thick line", [](BPrivate::Painter& p) {
			p.SetPenSize(5);
			p.StrokeLine(BPoint(10, 50), BPoint(60, 20));
		}},
		{"an ellipse", [](BPrivate::Painter& p) { p.FillEllipse(BRect(20, 20, 60, 40)); }},
		{"a polygon", [&](BPrivate::Painter& p) { p.FillPolygon(triangle, 3); }},
		{"a string", [](BPrivate::Painter& p) { p.DrawString("Touch 9:59", -1, BPoint(8, 40)); }},
		{"a bitmap, scaled", [&](BPrivate::Painter& p) {
			p.DrawBitmap(&picture, picture.Bounds(), BRect(30, 30, 41, 37));
		}},
		{"a clipped shape", [&](BPrivate::Painter& p) {
			p.SetClipping(&clip, 1);
			p.FillEllipse(BRect(20, 20, 60, 40));
		}},
		{"a shape beside the origin", [](BPrivate::Painter& p) {
			p.SetOrigin(BPoint(15, 10));
			p.FillRoundRect(BRect(0, 0, 20, 12), 4, 4);
		}},
	};
	for (const auto& [what, draw] : drawings) {
		Canvas canvas(80, 64);
		canvas.painter.TakeTouched();
		draw(canvas.painter);
		const BPrivate::PixelBox box = canvas.painter.TakeTouched();
		const BRect touched(box.left, box.top, box.right, box.bottom);
		const BRect ink = canvas.InkBounds();
		ASSERT_TRUE(ink.IsValid()) << what;
		EXPECT_TRUE(touched.Contains(ink)) << what << ": drawn " << ink.left << ","
			<< ink.top << "-" << ink.right << "," << ink.bottom << ", touched " << box.left
			<< "," << box.top << "-" << box.right << "," << box.bottom;
		EXPECT_TRUE(ink.InsetByCopy(-8, -8).Contains(touched)) << what << ": touched "
			<< box.left << "," << box.top << "-" << box.right << "," << box.bottom;
		EXPECT_TRUE(canvas.painter.TakeTouched().IsEmpty()) << what << ": not forgotten";
	}

	// Nothing drawn, nothing touched.
	Canvas canvas(20, 20);
	canvas.painter.TakeTouched();
	canvas.painter.FillRect(BRect(40, 40, 50, 50));
	canvas.painter.SetDrawingMode(B_OP_OVER);
	canvas.painter.FillRect(BRect(2, 2, 5, 5), B_SOLID_LOW);
	EXPECT_TRUE(canvas.painter.TakeTouched().IsEmpty());
}
