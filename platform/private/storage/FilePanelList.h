// The file panel's list of entries: one row per entry with a small folder,
// file or link symbol, a scroll bar of its own on the right, mouse and
// keyboard selection. It shows the model of its window and tells the
// window when the user selects, opens or leaves.
#ifndef _PRIVATE_FILE_PANEL_LIST_H
#define _PRIVATE_FILE_PANEL_LIST_H

#include <View.h>

#include <string>

namespace BPrivate {

class FilePanelModel;
class FilePanelWindow;

class FilePanelList : public BView {
public:
	FilePanelList(BRect frame, FilePanelWindow* window, FilePanelModel* model);

	// The model changed (a new folder, a reload): draw it again and keep
	// the anchor in sight.
	void Reset();
	void ScrollToItem(int32 index);
	// The row at a point of the view; -1 below the last row or on the
	// scroll bar.
	int32 IndexAt(BPoint point) const;
	BRect ItemFrame(int32 index) const;
	float RowHeight() const { return fRowHeight; }
	int32 TopIndex() const { return fTop; }

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void MouseUp(BPoint where);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void MakeFocus(bool focus = true);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void MessageReceived(BMessage* message);

private:
	int32 _VisibleRows() const;
	int32 _MaxTop() const;
	void _SetTop(int32 top);
	BRect _ScrollBarFrame() const;
	BRect _ThumbFrame() const;
	void _MoveAnchor(int32 index, bool extend);
	void _TypeAhead(const char* bytes);
	void _DrawItem(int32 index, BRect frame);

	FilePanelWindow* fPanel;    // the window; not owned
	FilePanelModel* fModel;     // the window's; not owned
	float fRowHeight;
	float fAscent;
	int32 fTop;                 // first row shown
	bool fDraggingThumb;
	float fThumbGrab;           // where the thumb was taken, from its top
	std::string fTyped;         // type-ahead so far
	bigtime_t fLastTyped;
};

}

#endif
