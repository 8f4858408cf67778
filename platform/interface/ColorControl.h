// BColorControl: picks a colour with red, green and blue ramps.
//
// The ramps fill an area of `layout` columns by (256 / layout) rows of
// square cells of `cellSize` pixels (B_CELLS_32x8 with cells of 8 pixels:
// 256 x 64), one band per component, with a mark at the component's value.
// Pressing the mouse on a band sets that component from the position, and
// dragging keeps setting it; with the focus, up and down choose a band and
// left and right step its component (by 16 with Shift). Every change of the
// value invokes. When the view is wider than the ramps, the components are
// shown as numbers beside them.
//
// The value is the colour packed into an int32 as 0xRRGGBBAA (red in the
// high byte); Value() and ValueAsColor() give the same colour.
// Archive: BControl's fields, "_layout" (int32 columns), "_csize" (float),
// "_use_off" (bool).
#ifndef _COLOR_CONTROL_H
#define _COLOR_CONTROL_H

#include <Control.h>

enum color_control_layout {
	B_CELLS_4x64 = 4,
	B_CELLS_8x32 = 8,
	B_CELLS_16x16 = 16,
	B_CELLS_32x8 = 32,
	B_CELLS_64x4 = 64
};

class BColorControl : public BControl {
public:
	BColorControl(BPoint leftTop, color_control_layout layout, float cellSize,
		const char* name, BMessage* message = NULL, bool useOffscreen = false);
	BColorControl(BMessage* archive);
	virtual ~BColorControl();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void SetValue(int32 colorValue);
	void SetValue(rgb_color color);
	rgb_color ValueAsColor();

	virtual void SetEnabled(bool enabled);
	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	virtual void SetCellSize(float size);
	float CellSize() const;
	virtual void SetLayout(color_control_layout layout);
	color_control_layout Layout() const;

private:
	// The ramps' area (with its frame) and one band in it.
	BRect _RampArea() const;
	BRect _Band(int32 component) const;
	bool _Horizontal() const;
	int32 _ComponentAt(BPoint where) const;
	uint8 _LevelAt(int32 component, BPoint where) const;
	// Changes one component; invokes when the value changed.
	void _SetComponent(int32 component, int32 level);
	float _ReadoutWidth() const;

	color_control_layout fLayout;
	float fCellSize;
	bool fUseOffscreen;
	int32 fDragged;    // the band being dragged, or -1
	int32 fFocusBand;  // the band the arrow keys change
};

#endif
