// The window's surface (pixels, update and damage bookkeeping) and the walk
// over a tree of views, each on its own, without a window.
#include <View.h>

#include "interface/ViewTree.h"
#include "interface/WindowSurface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using BPrivate::ViewWalk;
using BPrivate::WindowSurface;

namespace {

// root
//   a
//     a1
//     a2
//   b
//     b1
struct Tree {
	BView* root = new BView(BRect(0, 0, 99, 99), "root", B_FOLLOW_NONE, 0);
	BView* a = new BView(BRect(0, 0, 9, 9), "a", B_FOLLOW_NONE, 0);
	BView* a1 = new BView(BRect(0, 0, 4, 4), "a1", B_FOLLOW_NONE, 0);
	BView* a2 = new BView(BRect(0, 0, 4, 4), "a2", B_FOLLOW_NONE, 0);
	BView* b = new BView(BRect(20, 0, 29, 9), "b", B_FOLLOW_NONE, 0);
	BView* b1 = new BView(BRect(0, 0, 4, 4), "b1", B_FOLLOW_NONE, 0);

	Tree()
	{
		root->AddChild(a);
		a->AddChild(a1);
		a->AddChild(a2);
		root->AddChild(b);
		b->AddChild(b1);
	}
	~Tree() { delete root; }
};

std::string names(const std::vector<BView*>& views)
{
	std::string out;
	for (BView* view : views)
		out += std::string(out.empty() ? "" : " ") + view->Name();
	return out;
}

}

TEST(ViewTree, WalksParentsFirstAndChildrenFirstAndPrunes)
{
	Tree tree;
	std::vector<BView*> before;
	std::vector<BView*> after;
	auto enter = [&](BView* view) {
		before.push_back(view);
		return view == tree.a ? ViewWalk::kSkipChildren : ViewWalk::kDescend;
	};
	auto leave = [&](BView* view) { after.push_back(view); };
	EXPECT_TRUE(BPrivate::walk_views(tree.root, enter, leave));
	EXPECT_EQ("root a b b1", names(before));
	// A skipped view gets no `after` either.
	EXPECT_EQ("b1 b root", names(after));

	std::vector<BView*> post;
	BPrivate::for_each_view_after(tree.root, [&](BView* view) { post.push_back(view); });
	EXPECT_EQ("a1 a2 a b1 b root", names(post));
}

TEST(ViewTree, StopsAtTheFirstMatchAndCollectsBelowTheRoot)
{
	Tree tree;
	std::vector<BView*> seen;
	BView* found = BPrivate::find_view(tree.root, [&](BView* view) {
		seen.push_back(view);
		return strncmp(view->Name(), "a", 1) == 0 && view != tree.a;
	});
	EXPECT_EQ(tree.a1, found);
	EXPECT_EQ("root a a1", names(seen));
	EXPECT_EQ(NULL, BPrivate::find_view(tree.root, [](BView*) { return false; }));

	// The root is never collected; `enter` only stops the descent.
	EXPECT_EQ("a a1 a2 b b1",
		names(BPrivate::collect_views(tree.root, [](BView*) { return true; })));
	EXPECT_EQ("a b",
		names(BPrivate::collect_views(tree.root, [](BView*) { return true; },
			[](BView*) { return false; })));
}

TEST(ViewTree, VisitsChildrenAddedDuringTheWalk)
{
	Tree tree;
	std::vector<BView*> seen;
	BPrivate::for_each_view(tree.root, [&](BView* view) {
		seen.push_back(view);
		if (view == tree.b1)
			tree.b->AddChild(new BView(BRect(0, 0, 1, 1), "b2", B_FOLLOW_NONE, 0));
	});
	EXPECT_EQ("root a a1 a2 b b1 b2", names(seen));
}

TEST(WindowSurface, ResizeKeepsWhatOverlapsAndForgetsDamage)
{
	WindowSurface surface(4, 3);
	EXPECT_EQ(BRect(0, 0, 3, 2), surface.Bounds());
	std::vector<uint32> pixels;
	int32 width, height;
	surface.ReadPixels(&pixels, &width, &height);
	ASSERT_EQ(12u, pixels.size());
	EXPECT_EQ(0xffffffffu, pixels[11]);

	surface.GetPainter()->SetHighColor(make_color(255, 0, 0));
	surface.GetPainter()->FillRect(BRect(0, 0, 3, 2), B_SOLID_HIGH);
	surface.AddDamage(BRect(0, 0, 3, 2));
	surface.Resize(6, 2);
	EXPECT_FALSE(surface.HasDamage());
	surface.ReadPixels(&pixels, &width, &height);
	ASSERT_EQ(6, width);
	ASSERT_EQ(2, height);
	EXPECT_EQ(0xffff0000u, pixels[3]);       // kept
	EXPECT_EQ(0xffffffffu, pixels[4]);       // new: white
	EXPECT_EQ(0xffff0000u, pixels[6 + 3]);

	// The painter draws into the new buffer, not the old one.
	surface.GetPainter()->SetHighColor(make_color(0, 0, 255));
	surface.GetPainter()->FillRect(BRect(5, 1, 5, 1), B_SOLID_HIGH);
	surface.ReadPixels(&pixels, &width, &height);
	EXPECT_EQ(0xff0000ffu, pixels[11]);
	display::PixelSource source = surface.Pixels();
	EXPECT_EQ(24, source.bytesPerRow);
	EXPECT_EQ(0xff0000ffu, static_cast<const uint32*>(source.bits)[11]);
}

// Damage is what the next present sends, so it stays close to what was
// drawn: small changes far apart stay apart, however many there are.
TEST(WindowSurface, DamageStaysAFewRectanglesCoveringWhatWasDrawn)
{
	WindowSurface surface(100, 100);
	surface.AddDamage(BRect(1, 2, 3, 4));
	std::vector<display::PixelRect> rects = surface.TakeDamage();
	ASSERT_EQ(1u, rects.size());
	EXPECT_EQ(1, rects[0].x);
	EXPECT_EQ(2, rects[0].y);
	EXPECT_EQ(3, rects[0].width);
	EXPECT_EQ(3, rects[0].height);
	EXPECT_FALSE(surface.HasDamage());

	// Drawn over again, or covered by a later drawing: counted once.
	surface.AddDamage(BRect(10, 10, 19, 19));
	surface.AddDamage(BRect(12, 12, 15, 15));
	surface.AddDamage(BRect(40, 40, 41, 41));
	surface.AddDamage(BRect(30, 30, 50, 50));
	rects = surface.TakeDamage();
	ASSERT_EQ(2u, rects.size());
	EXPECT_EQ(10, rects[0].x);
	EXPECT_EQ(10, rects[0].width);
	EXPECT_EQ(30, rects[1].x);
	EXPECT_EQ(21, rects[1].width);

	// Twelve two-by-two squares along the diagonal: each is still covered,
	// and the few rectangles kept are far from one around them all.
	const int32 squares = 12;
	for (int32 i = 0; i < squares; i++)
		surface.AddDamage(BRect(i * 8, i * 8, i * 8 + 1, i * 8 + 1));
	rects = surface.TakeDamage();
	EXPECT_LE(rects.size(), 8u);
	int32 area = 0;
	for (const display::PixelRect& rect : rects)
		area += rect.width * rect.height;
	EXPECT_LT(area, 50 * 50);
	for (int32 i = 0; i < squares; i++) {
		bool covered = false;
		for (const display::PixelRect& rect : rects) {
			covered = covered || (rect.x <= i * 8 && rect.y <= i * 8
				&& rect.x + rect.width >= i * 8 + 2 && rect.y + rect.height >= i * 8 + 2);
		}
		EXPECT_TRUE(covered) << "square " << i;
	}
}

TEST(WindowSurface, AnUpdateTakesWhatWaitedAndLeavesRoomForMore)
{
	WindowSurface surface(50, 50);
	EXPECT_FALSE(surface.BeginUpdate());
	surface.Invalidate(BRect(0, 0, 9, 9));
	EXPECT_TRUE(surface.NeedsUpdate());
	ASSERT_TRUE(surface.BeginUpdate());
	EXPECT_FALSE(surface.NeedsUpdate());
	EXPECT_EQ(BRect(0, 0, 9, 9), BPrivate::rect_for_box(surface.UpdateRegion().Frame()));
	// Invalidated while drawing: waits for the next update.
	surface.Invalidate(BRect(20, 20, 29, 29));
	EXPECT_EQ(BRect(0, 0, 9, 9), BPrivate::rect_for_box(surface.UpdateRegion().Frame()));
	surface.EndUpdate();
	EXPECT_TRUE(surface.UpdateRegion().IsEmpty());
	ASSERT_TRUE(surface.BeginUpdate());
	EXPECT_EQ(BRect(20, 20, 29, 29), BPrivate::rect_for_box(surface.UpdateRegion().Frame()));
}
