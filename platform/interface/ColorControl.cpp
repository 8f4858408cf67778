// BColorControl: three ramps, one per component.
#include <ColorControl.h>

#include <Window.h>

#include "interface/ControlLook.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

static BPrivate::InstantiationRegistrar sColorControlRegistrar("BColorControl",
	BColorControl::Instantiate);

static const int32 kBands = 3;
static const char* const kComponentNames[kBands] = {"R", "G", "B"};
// Between the ramps and the numbers beside them.
static const float kReadoutGap = 8;

static int32 pack(rgb_color color)
{
	return (int32)(((uint32)color.red << 24) | ((uint32)color.green << 16)
		| ((uint32)color.blue << 8) | color.alpha);
}

static rgb_color unpack(int32 value)
{
	uint32 v = (uint32)value;
	rgb_color color = {(uint8)(v >> 24), (uint8)(v >> 16), (uint8)(v >> 8), (uint8)v};
	return color;
}

static uint8 component_of(rgb_color color, int32 component)
{
	return component == 0 ? color.red : component == 1 ? color.green : color.blue;
}

// Halfway between a ramp colour and the background, for the disabled look.
static rgb_color faded(rgb_color color, rgb_color background)
{
	return make_color((color.red + background.red) / 2, (color.green + background.green) / 2,
		(color.blue + background.blue) / 2);
}

static color_control_layout valid_layout(int32 columns)
{
	switch (columns) {
		case B_CELLS_4x64:
		case B_CELLS_8x32:
		case B_CELLS_16x16:
		case B_CELLS_32x8:
		case B_CELLS_64x4:
			return (color_control_layout)columns;
		default:
			return B_CELLS_32x8;
	}
}

static float valid_cell_size(float size)
{
	if (!(size >= 1))   // NaN too
		return 1;
	return std::min(std::floor(size), 64.0f);
}

BColorControl::BColorControl(BPoint leftTop, color_control_layout layout, float cellSize,
	const char* name, BMessage* message, bool useOffscreen)
	: BControl(BRect(leftTop, leftTop), name, NULL, message, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW | B_NAVIGABLE),
	  fLayout(valid_layout(layout)),
	  fCellSize(valid_cell_size(cellSize)),
	  fUseOffscreen(useOffscreen),
	  fDragged(-1),
	  fFocusBand(0)
{
	SetValueNoUpdate(pack(make_color(0, 0, 0)));
	ResizeToPreferred();
}

BColorControl::BColorControl(BMessage* archive)
	: BControl(archive),
	  fLayout(B_CELLS_32x8),
	  fCellSize(8),
	  fUseOffscreen(false),
	  fDragged(-1),
	  fFocusBand(0)
{
	if (archive == NULL)
		return;
	int32 layout;
	if (archive->FindInt32("_layout", &layout) == B_OK)
		fLayout = valid_layout(layout);
	float cellSize;
	if (archive->FindFloat("_csize", &cellSize) == B_OK)
		fCellSize = valid_cell_size(cellSize);
	bool useOffscreen;
	if (archive->FindBool("_use_off", &useOffscreen) == B_OK)
		fUseOffscreen = useOffscreen;
}

BColorControl::~BColorControl()
{
}

BArchivable* BColorControl::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BColorControl"))
		return NULL;
	return new BColorControl(archive);
}

status_t BColorControl::Archive(BMessage* archive, bool deep) const
{
	status_t status = BControl::Archive(archive, deep);
	if (status != B_OK)
		return status;
	archive->AddInt32("_layout", fLayout);
	archive->AddFloat("_csize", fCellSize);
	archive->AddBool("_use_off", fUseOffscreen);
	return B_OK;
}

// ---- Value

void BColorControl::SetValue(int32 colorValue)
{
	BControl::SetValue(colorValue);
}

void BColorControl::SetValue(rgb_color color)
{
	SetValue(pack(color));
}

rgb_color BColorControl::ValueAsColor()
{
	return unpack(Value());
}

void BColorControl::_SetComponent(int32 component, int32 level)
{
	level = std::clamp<int32>(level, 0, 255);
	rgb_color color = ValueAsColor();
	if (component_of(color, component) == level)
		return;
	if (component == 0)
		color.red = (uint8)level;
	else if (component == 1)
		color.green = (uint8)level;
	else
		color.blue = (uint8)level;
	SetValue(color);
	Invoke();
}

// ---- Geometry

bool BColorControl::_Horizontal() const
{
	// Ramps run along the longer side of the cell area.
	return fLayout >= B_CELLS_16x16;
}

BRect BColorControl::_RampArea() const
{
	float columns = fLayout;
	float rows = 256 / fLayout;
	return BRect(0, 0, columns * fCellSize + 1, rows * fCellSize + 1);
}

BRect BColorControl::_Band(int32 component) const
{
	BRect inside = _RampArea().InsetByCopy(1, 1);
	if (_Horizontal()) {
		float height = (inside.Height() + 1) / kBands;
		float top = std::floor(inside.top + component * height);
		float bottom = std::floor(inside.top + (component + 1) * height) - 1;
		return BRect(inside.left, top, inside.right, bottom);
	}
	float width = (inside.Width() + 1) / kBands;
	float left = std::floor(inside.left + component * width);
	float right = std::floor(inside.left + (component + 1) * width) - 1;
	return BRect(left, inside.top, right, inside.bottom);
}

int32 BColorControl::_ComponentAt(BPoint where) const
{
	for (int32 i = 0; i < kBands; i++) {
		if (_Band(i).Contains(where))
			return i;
	}
	return -1;
}

uint8 BColorControl::_LevelAt(int32 component, BPoint where) const
{
	BRect band = _Band(component);
	// Horizontal ramps grow to the right, vertical ones upwards.
	float fraction = _Horizontal() ? (where.x - band.left) / std::max(1.0f, band.Width())
		: (band.bottom - where.y) / std::max(1.0f, band.Height());
	fraction = std::clamp(fraction, 0.0f, 1.0f);
	return (uint8)std::lround(fraction * 255);
}

float BColorControl::_ReadoutWidth() const
{
	return std::ceil(const_cast<BColorControl*>(this)->StringWidth("G 000"));
}

void BColorControl::GetPreferredSize(float* width, float* height)
{
	BRect area = _RampArea();
	float w = area.Width();
	if (_Horizontal())
		w += kReadoutGap + _ReadoutWidth();
	if (width != NULL)
		*width = w;
	if (height != NULL)
		*height = area.Height();
}

void BColorControl::ResizeToPreferred()
{
	BControl::ResizeToPreferred();
}

void BColorControl::SetCellSize(float size)
{
	fCellSize = valid_cell_size(size);
	ResizeToPreferred();
	Invalidate();
}

float BColorControl::CellSize() const
{
	return fCellSize;
}

void BColorControl::SetLayout(color_control_layout layout)
{
	fLayout = valid_layout(layout);
	ResizeToPreferred();
	Invalidate();
}

color_control_layout BColorControl::Layout() const
{
	return fLayout;
}

// ---- Drawing

void BColorControl::AttachedToWindow()
{
	BControl::AttachedToWindow();
}

void BColorControl::SetEnabled(bool enabled)
{
	BControl::SetEnabled(enabled);
}

void BColorControl::Draw(BRect)
{
	rgb_color background = LowColor();
	BPrivate::ControlColors colors = BPrivate::control_colors(background, IsEnabled());
	BRect area = _RampArea();
	SetHighColor(colors.frame);
	StrokeRect(area);

	rgb_color value = ValueAsColor();
	bool horizontal = _Horizontal();
	for (int32 i = 0; i < kBands; i++) {
		BRect band = _Band(i);
		float length = horizontal ? band.Width() : band.Height();
		float steps = length + 1;
		for (float p = 0; p < steps; p++) {
			uint8 level = (uint8)std::lround(p / std::max(1.0f, length) * 255);
			rgb_color c = {0, 0, 0, 255};
			if (i == 0)
				c.red = level;
			else if (i == 1)
				c.green = level;
			else
				c.blue = level;
			if (!IsEnabled())
				c = faded(c, background);
			SetHighColor(c);
			if (horizontal)
				StrokeLine(BPoint(band.left + p, band.top), BPoint(band.left + p, band.bottom));
			else
				StrokeLine(BPoint(band.left, band.bottom - p), BPoint(band.right, band.bottom - p));
		}

		// The mark: a white line with dark edges at the component's level.
		float at = std::lround(component_of(value, i) / 255.0f * length);
		BRect mark = horizontal
			? BRect(band.left + at - 1, band.top, band.left + at + 1, band.bottom)
			: BRect(band.left, band.bottom - at - 1, band.right, band.bottom - at + 1);
		mark = mark & band;
		SetHighColor(0, 0, 0);
		StrokeRect(mark);
		SetHighColor(255, 255, 255);
		if (horizontal)
			StrokeLine(BPoint(band.left + at, band.top + 1), BPoint(band.left + at, band.bottom - 1));
		else
			StrokeLine(BPoint(band.left + 1, band.bottom - at), BPoint(band.right - 1, band.bottom - at));

		if (IsFocus() && IsEnabled() && i == fFocusBand) {
			SetHighColor(colors.focus);
			StrokeRect(band);
		}
	}

	// The numbers, when there is room for them.
	if (horizontal && Bounds().right >= area.right + kReadoutGap + _ReadoutWidth() - 1) {
		SetHighColor(colors.text);
		SetLowColor(background);
		for (int32 i = 0; i < kBands; i++) {
			char text[16];
			snprintf(text, sizeof(text), "%s %3d", kComponentNames[i], component_of(value, i));
			DrawString(text, BPoint(area.right + kReadoutGap,
				BPrivate::centred_baseline(this, _Band(i))));
		}
	}
}

// ---- Input

void BColorControl::MouseDown(BPoint where)
{
	if (!IsEnabled())
		return;
	int32 component = _ComponentAt(where);
	if (component < 0)
		return;
	fDragged = component;
	fFocusBand = component;
	SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
	_SetComponent(component, _LevelAt(component, where));
}

void BColorControl::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	if (fDragged >= 0 && IsEnabled()) {
		_SetComponent(fDragged, _LevelAt(fDragged, where));
		return;
	}
	BControl::MouseMoved(where, transit, dragMessage);
}

void BColorControl::MouseUp(BPoint where)
{
	if (fDragged >= 0 && IsEnabled())
		_SetComponent(fDragged, _LevelAt(fDragged, where));
	fDragged = -1;
	SetTracking(false);
}

void BColorControl::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes != 1 || !IsEnabled()) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	int32 step = (modifiers() & B_SHIFT_KEY) != 0 ? 16 : 1;
	int32 level = component_of(ValueAsColor(), fFocusBand);
	bool horizontal = _Horizontal();
	switch (bytes[0]) {
		case B_UP_ARROW:
		case B_DOWN_ARROW:
		case B_LEFT_ARROW:
		case B_RIGHT_ARROW: {
			// Along the ramps the arrows step the level, across them they
			// choose the band.
			bool along = horizontal ? (bytes[0] == B_LEFT_ARROW || bytes[0] == B_RIGHT_ARROW)
				: (bytes[0] == B_UP_ARROW || bytes[0] == B_DOWN_ARROW);
			bool forward = bytes[0] == B_RIGHT_ARROW || bytes[0] == B_DOWN_ARROW;
			if (along) {
				bool up = horizontal ? bytes[0] == B_RIGHT_ARROW : bytes[0] == B_UP_ARROW;
				_SetComponent(fFocusBand, level + (up ? step : -step));
			} else {
				fFocusBand = std::clamp<int32>(fFocusBand + (forward ? 1 : -1), 0, kBands - 1);
				Invalidate();
			}
			break;
		}
		default:
			// Not BControl's toggle: space and Enter mean nothing here.
			BView::KeyDown(bytes, numBytes);
			break;
	}
}
