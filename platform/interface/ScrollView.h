// BScrollView: a frame around a target view, with optional horizontal and
// vertical scroll bars that scroll it.
//
// The scroll view is made around the target's frame: it takes the target's
// place in its coordinates, grows by the border (2 pixels for
// B_FANCY_BORDER, 1 for B_PLAIN_BORDER, none for B_NO_BORDER) and by the
// bars (B_V_SCROLL_BAR_WIDTH to the right, B_H_SCROLL_BAR_HEIGHT below), and
// moves the target inside. When the scroll view is resized, the target and
// the bars follow so that they keep filling it. A target that is a text
// view keeps the bars' ranges itself; for other targets the program sets
// them (BScrollBar::SetRange and SetProportion). The wheel scrolls the
// vertical bar (or the horizontal one when there is no vertical bar).
//
// The border is drawn in the navigation colour while highlighted
// (SetBorderHighlighted; a text view inside highlights it while it has the
// focus).
//
// Ownership. The scroll view owns the target and the bars as its children.
// Archive fields: "_style" (the border, int32), plus those of BView; the
// target and the bars are its archived children.
#ifndef _SCROLL_VIEW_H
#define _SCROLL_VIEW_H

#include <ScrollBar.h>
#include <View.h>

class BScrollView : public BView {
public:
	BScrollView(const char* name, BView* target,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = 0,
		bool horizontal = false, bool vertical = false,
		border_style border = B_FANCY_BORDER);
	BScrollView(BMessage* archive);
	virtual ~BScrollView();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void Draw(BRect updateRect);
	virtual void AttachedToWindow();
	virtual void FrameResized(float width, float height);
	virtual void MessageReceived(BMessage* message);
	virtual void WindowActivated(bool active);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	BScrollBar* ScrollBar(orientation which) const;
	virtual void SetBorder(border_style border);
	border_style Border() const;
	virtual status_t SetBorderHighlighted(bool highlighted);
	bool IsBorderHighlighted() const;
	// Replaces the target (the old one stays a child until removed by the
	// caller); NULL leaves the bars without a target.
	void SetTarget(BView* target);
	BView* Target() const;

private:
	static float _BorderSize(border_style border);
	static BRect _FrameAround(BRect targetFrame, bool horizontal, bool vertical,
		border_style border);
	void _Layout();

	BView* fTarget;           // a child, owned as such
	BScrollBar* fHorizontal;  // a child or NULL
	BScrollBar* fVertical;    // a child or NULL
	border_style fBorder;
	bool fHighlighted;
};

#endif
