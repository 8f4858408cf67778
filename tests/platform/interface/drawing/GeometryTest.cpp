#include <Point.h>
#include <Rect.h>

#include <gtest/gtest.h>

TEST(Rect, InclusiveEdgesGiveWidthOneLessThanPixelCount)
{
	BRect rect(0, 0, 3, 3);
	EXPECT_EQ(rect.Width(), 3.0f);
	EXPECT_EQ(rect.IntegerWidth(), 3);
	EXPECT_EQ(rect.Height(), 3.0f);
	EXPECT_TRUE(rect.IsValid());
	// A single pixel is a valid rectangle of width 0.
	EXPECT_TRUE(BRect(5, 5, 5, 5).IsValid());
	EXPECT_EQ(BRect(5, 5, 5, 5).Width(), 0.0f);
	EXPECT_EQ(BRect(0, 0, 2.5f, 1).IntegerWidth(), 3);
	// The default rectangle stands for nothing.
	EXPECT_FALSE(BRect().IsValid());
}

TEST(Rect, ContainsAndIntersectsIncludeTheEdges)
{
	BRect rect(10, 10, 20, 20);
	EXPECT_TRUE(rect.Contains(BPoint(10, 10)));
	EXPECT_TRUE(rect.Contains(BPoint(20, 20)));
	EXPECT_FALSE(rect.Contains(BPoint(20.5f, 15)));
	EXPECT_TRUE(rect.Contains(BRect(10, 10, 20, 20)));
	EXPECT_FALSE(rect.Contains(BRect(10, 10, 21, 20)));
	// Sharing one edge is intersecting.
	EXPECT_TRUE(rect.Intersects(BRect(20, 20, 30, 30)));
	EXPECT_FALSE(rect.Intersects(BRect(21, 10, 30, 20)));
	// Invalid rectangles meet and contain nothing.
	EXPECT_FALSE(rect.Intersects(BRect()));
	EXPECT_FALSE(rect.Contains(BRect(15, 15, 14, 14)));
	EXPECT_FALSE(BRect().Contains(BRect()));
}

TEST(Rect, IntersectionAndUnion)
{
	BRect a(0, 0, 10, 10), b(5, 5, 20, 20);
	EXPECT_EQ(a & b, BRect(5, 5, 10, 10));
	EXPECT_EQ(a | b, BRect(0, 0, 20, 20));
	EXPECT_FALSE((a & BRect(11, 0, 12, 10)).IsValid());
	// An invalid operand adds nothing to a union (no pull to the origin).
	EXPECT_EQ(BRect() | b, b);
	EXPECT_EQ(b | BRect(), b);
}

TEST(Rect, InsetAndOffsetForms)
{
	BRect rect(10, 20, 30, 40);
	EXPECT_EQ(rect.InsetByCopy(2, 3), BRect(12, 23, 28, 37));
	EXPECT_EQ(rect.InsetByCopy(BPoint(-1, -1)), BRect(9, 19, 31, 41));
	EXPECT_EQ(rect, BRect(10, 20, 30, 40)) << "the Copy forms leave the original";
	EXPECT_EQ(rect.OffsetByCopy(5, -5), BRect(15, 15, 35, 35));
	EXPECT_EQ(rect.OffsetToCopy(0, 0), BRect(0, 0, 20, 20));

	BRect changed = rect;
	changed.InsetBySelf(1, 1).OffsetBySelf(1, 1);
	EXPECT_EQ(changed, BRect(12, 22, 30, 40));
	changed.OffsetTo(BPoint(100, 200));
	EXPECT_EQ(changed, BRect(100, 200, 118, 218));
	// Insetting past the middle makes the rectangle invalid.
	EXPECT_FALSE(BRect(0, 0, 3, 3).InsetByCopy(2, 2).IsValid());
}

TEST(Rect, Corners)
{
	BRect rect(1, 2, 3, 4);
	EXPECT_EQ(rect.LeftTop(), BPoint(1, 2));
	EXPECT_EQ(rect.RightBottom(), BPoint(3, 4));
	EXPECT_EQ(rect.LeftBottom(), BPoint(1, 4));
	EXPECT_EQ(rect.RightTop(), BPoint(3, 2));
	rect.SetLeftTop(BPoint(0, 0));
	rect.SetRightBottom(BPoint(9, 9));
	EXPECT_EQ(rect, BRect(0, 0, 9, 9));
	EXPECT_NE(rect, BRect(0, 0, 9, 8));
}

TEST(Point, ArithmeticAndConstrain)
{
	BPoint p(3, 4);
	EXPECT_EQ(p + BPoint(1, 1), BPoint(4, 5));
	EXPECT_EQ(p - BPoint(1, 1), BPoint(2, 3));
	p += BPoint(10, 10);
	p -= BPoint(1, 2);
	EXPECT_EQ(p, BPoint(12, 12));
	p.ConstrainTo(BRect(0, 0, 10, 20));
	EXPECT_EQ(p, BPoint(10, 12));
	p.Set(-5, 30);
	p.ConstrainTo(BRect(0, 0, 10, 20));
	EXPECT_EQ(p, BPoint(0, 20));
	EXPECT_EQ(B_ORIGIN, BPoint(0, 0));
}
