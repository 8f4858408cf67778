// The one walk over a tree of views that the window and its views share:
// drawing, attaching and detaching, hooks, pulses, focus navigation and
// finding views all go through walk_views().
//
// Children are visited in their order (earlier siblings first) and read by
// index as the walk goes, so a hook that adds children to the view being
// walked sees them visited too. A hook must not remove views from a part of
// the tree the walk has not finished; callers that call out to user code
// for several views collect them first (collect_views) and then call.
#ifndef PRIVATE_INTERFACE_VIEW_TREE_H
#define PRIVATE_INTERFACE_VIEW_TREE_H

#include <View.h>

#include <vector>

namespace BPrivate {

// What the walk does after `before` returned for a view.
enum class ViewWalk {
	kDescend,        // go on into the view's children, then `after`
	kSkipChildren,   // neither the children nor `after` of this view
	kStop            // end the whole walk at once
};

// Calls before(view) for `root` and every view below it, parents before
// children; after(view) follows once a view's children are done. Returns
// false when a `before` stopped the walk.
template<typename Before, typename After>
bool walk_views(BView* root, Before& before, After& after)
{
	ViewWalk step = before(root);
	if (step == ViewWalk::kStop)
		return false;
	if (step == ViewWalk::kSkipChildren)
		return true;
	for (int32 i = 0; BView* child = root->ChildAt(i); i++) {
		if (!walk_views(child, before, after))
			return false;
	}
	after(root);
	return true;
}

// Parents before children.
template<typename Visit>
void for_each_view(BView* root, Visit visit)
{
	auto before = [&](BView* view) {
		visit(view);
		return ViewWalk::kDescend;
	};
	auto after = [](BView*) {};
	walk_views(root, before, after);
}

// Children before parents.
template<typename Visit>
void for_each_view_after(BView* root, Visit visit)
{
	auto before = [](BView*) { return ViewWalk::kDescend; };
	walk_views(root, before, visit);
}

// The first view, parents before children, for which `matches` holds.
template<typename Match>
BView* find_view(BView* root, Match matches)
{
	BView* found = NULL;
	auto before = [&](BView* view) {
		if (!matches(view))
			return ViewWalk::kDescend;
		found = view;
		return ViewWalk::kStop;
	};
	auto after = [](BView*) {};
	walk_views(root, before, after);
	return found;
}

// The views below `root` (not `root` itself), parents before children, for
// which `wanted` holds; `enter` decides whether a view's own children are
// looked at (the view itself is still judged by `wanted`).
template<typename Wanted, typename Enter>
std::vector<BView*> collect_views(BView* root, Wanted wanted, Enter enter)
{
	std::vector<BView*> views;
	auto before = [&](BView* view) {
		if (view == root)
			return ViewWalk::kDescend;
		if (wanted(view))
			views.push_back(view);
		return enter(view) ? ViewWalk::kDescend : ViewWalk::kSkipChildren;
	};
	auto after = [](BView*) {};
	walk_views(root, before, after);
	return views;
}

template<typename Wanted>
std::vector<BView*> collect_views(BView* root, Wanted wanted)
{
	return collect_views(root, wanted, [](BView*) { return true; });
}

}

#endif
