#include <InterfaceDefs.h>

#include <atomic>

#include "interface/Modifiers.h"

namespace {

std::atomic<uint32> sModifiers{0};

}

void
BPrivate::set_modifiers(uint32 modifiers)
{
	sModifiers.store(modifiers, std::memory_order_relaxed);
}

uint32
modifiers()
{
	return sModifiers.load(std::memory_order_relaxed);
}

const float B_LIGHTEN_MAX_TINT = 0.0f;
const float B_LIGHTEN_2_TINT = 0.385f;
const float B_LIGHTEN_1_TINT = 0.590f;
const float B_NO_TINT = 1.0f;
const float B_DARKEN_1_TINT = 1.147f;
const float B_DARKEN_2_TINT = 1.295f;
const float B_DARKEN_3_TINT = 1.407f;
const float B_DARKEN_4_TINT = 1.555f;
const float B_DARKEN_MAX_TINT = 2.0f;
const float B_DISABLED_LABEL_TINT = B_DARKEN_3_TINT;
const float B_HIGHLIGHT_BACKGROUND_TINT = B_DARKEN_2_TINT;
const float B_DISABLED_MARK_TINT = B_LIGHTEN_2_TINT;

rgb_color
ui_color(color_which which)
{
	// A light desktop: grey panels, white documents, blue selection and
	// keyboard focus, and the yellow tab of the active window.
	switch (which) {
		case B_PANEL_BACKGROUND_COLOR:          return make_color(216, 216, 216);
		case B_PANEL_TEXT_COLOR:                return make_color(0, 0, 0);
		case B_MENU_BACKGROUND_COLOR:           return make_color(232, 232, 232);
		case B_MENU_SELECTION_BACKGROUND_COLOR: return make_color(66, 133, 230);
		case B_MENU_ITEM_TEXT_COLOR:            return make_color(0, 0, 0);
		case B_MENU_SELECTED_ITEM_TEXT_COLOR:   return make_color(255, 255, 255);
		case B_MENU_SELECTED_BORDER_COLOR:      return make_color(40, 96, 184);
		case B_WINDOW_TAB_COLOR:                return make_color(255, 203, 0);
		case B_WINDOW_TEXT_COLOR:               return make_color(0, 0, 0);
		case B_WINDOW_INACTIVE_TAB_COLOR:       return make_color(232, 232, 232);
		case B_WINDOW_INACTIVE_TEXT_COLOR:      return make_color(80, 80, 80);
		case B_KEYBOARD_NAVIGATION_COLOR:       return make_color(0, 0, 229);
		case B_NAVIGATION_PULSE_COLOR:          return make_color(0, 0, 0);
		case B_DESKTOP_COLOR:                   return make_color(51, 102, 152);
		case B_DOCUMENT_BACKGROUND_COLOR:       return make_color(255, 255, 255);
		case B_DOCUMENT_TEXT_COLOR:             return make_color(0, 0, 0);
		case B_CONTROL_BACKGROUND_COLOR:        return make_color(245, 245, 245);
		case B_CONTROL_TEXT_COLOR:              return make_color(0, 0, 0);
		case B_CONTROL_BORDER_COLOR:            return make_color(152, 152, 152);
		case B_CONTROL_HIGHLIGHT_COLOR:         return make_color(66, 133, 230);
		case B_SHINE_COLOR:                     return make_color(255, 255, 255);
		case B_SHADOW_COLOR:                    return make_color(0, 0, 0);
		case B_TOOLTIP_BACKGROUND_COLOR:        return make_color(255, 255, 220);
		case B_TOOLTIP_TEXT_COLOR:              return make_color(0, 0, 0);
		case B_SUCCESS_COLOR:                   return make_color(0, 150, 0);
		case B_FAILURE_COLOR:                   return make_color(200, 0, 0);
	}
	return make_color(216, 216, 216);
}

rgb_color
tint_color(rgb_color color, float tint)
{
	// Below 1 the colour moves towards white (all the way at 0), above 1
	// towards black (all the way at 2).
	if (tint < 0.0f)
		tint = 0.0f;
	if (tint > 2.0f)
		tint = 2.0f;
	auto tintComponent = [tint](uint8 value) -> uint8 {
		float result;
		if (tint <= 1.0f)
			result = 255.0f - (255.0f - value) * tint;
		else
			result = value * (2.0f - tint);
		return (uint8)(result + 0.5f);
	};
	return make_color(tintComponent(color.red), tintComponent(color.green),
		tintComponent(color.blue), color.alpha);
}
