// BStringView: a line of text that the user reads but does not change.
//
// The text is drawn in the high colour on the view colour, vertically
// centred, aligned left, right or centred in the bounds. The view keeps a
// copy of its text. Archive: BView's fields, "_text" and "_align" (int32).
#ifndef _STRING_VIEW_H
#define _STRING_VIEW_H

#include <View.h>

class BStringView : public BView {
public:
	BStringView(BRect frame, const char* name, const char* text,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
	BStringView(BMessage* archive);
	virtual ~BStringView();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	void SetText(const char* text);
	const char* Text() const;
	void SetAlignment(alignment flag);
	alignment Alignment() const;

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

private:
	char* fText;     // owned; NULL for no text
	alignment fAlign;
};

#endif
