// The player window's position bar: how far the playing entry has got.
//
// A press on the bar takes hold of the position: while the button is held
// the bar follows the pointer, and the release sends kMelodeckSeek with
// "position" (ms) to the target. A plain click therefore seeks to where it
// landed. Without a length (nothing to play) the bar ignores the mouse.
//
// SetPosition() redraws only when the filled part changes by a pixel or
// more, and then only the strip the knob left and entered; while the user
// holds the bar, the playback's position is kept but not shown.
//
// The knob is drawn once into a bitmap of its own and copied from there on
// every move; the two anti-aliased ellipses are most of a move's cost.
//
// Ownership: an ordinary view; its window (or parent) owns it. The view
// owns its knob's bitmap.
#ifndef HOST_POSITION_BAR_H
#define HOST_POSITION_BAR_H

#include <Messenger.h>
#include <View.h>

class BBitmap;

class PositionBar : public BView {
public:
	PositionBar(BRect frame, const char* name, uint32 resizingMode);
	virtual ~PositionBar() override;

	virtual void Draw(BRect updateRect) override;
	virtual void MouseDown(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit,
		const BMessage* dragMessage) override;
	virtual void MouseUp(BPoint where) override;
	virtual void FrameResized(float width, float height) override;

	// Where seek requests go (the player).
	void SetTarget(const BMessenger& target) { fTarget = target; }

	void SetPosition(int32 position, int32 length);
	// SetPosition for a thread other than the window's, holding its lock:
	// a bar that changed is drawn again at once, whole (it is small), and
	// reaches the screen at the window's next Flush().
	void DrawPositionNow(int32 position, int32 length);
	// The playback's position and length as last given (ms).
	int32 Position() const { return fPosition; }
	int32 Length() const { return fLength; }
	// The position the bar shows: the held one while the user holds it.
	int32 ShownPosition() const { return fTracking ? fHeld : fPosition; }
	bool IsTracking() const { return fTracking; }

	// The position (ms) that a point of the view stands for, and back.
	int32 PositionAt(float x) const;
	float XFor(int32 position) const;

private:
	BRect _Track() const;
	float _FillRight(int32 position) const;
	void _Take(int32 position, int32 length);
	bool _Plain(BRect area) const;
	BRect _MoveStrip(float before, float after) const;
	void _InvalidateMove(float before, float after);
	void _Hold(BPoint where);
	const BBitmap* _Knob(float radius, rgb_color color);

	BMessenger fTarget;
	int32 fPosition;
	int32 fLength;
	int32 fHeld;
	bool fTracking;
	BBitmap* fKnob;
	float fKnobRadius;
	rgb_color fKnobColor;
};

#endif
