// BBox: a frame that groups views, with a label (text or a view) set into
// its top edge.
//
// Borders: B_FANCY_BORDER (an etched line), B_PLAIN_BORDER (a single line)
// or B_NO_BORDER. The label is drawn in the bold font. A label view (a
// check box, say) becomes a child of the box, placed over the top edge;
// the box owns it like any child and deletes a replaced one.
// Archive: BView's fields (the children in "_views"), "_label", "_style"
// (int32 border) and "_lview" (bool: the first child is the label view).
#ifndef _BOX_H
#define _BOX_H

#include <View.h>

class BBox : public BView {
public:
	BBox(BRect frame, const char* name = NULL,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
		border_style border = B_FANCY_BORDER);
	BBox(BMessage* archive);
	virtual ~BBox();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void SetBorder(border_style border);
	border_style Border() const;

	void SetLabel(const char* label);
	status_t SetLabel(BView* viewLabel);
	const char* Label() const;
	BView* LabelView() const;

	virtual void Draw(BRect updateRect);
	virtual void AttachedToWindow();
	virtual void FrameResized(float width, float height);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

private:
	// The top of the frame line: below the middle of the label.
	float _TopLine() const;
	void _PlaceLabelView();

	char* fLabel;          // owned
	BView* fLabelView;     // a child, owned as such
	border_style fStyle;
};

#endif
