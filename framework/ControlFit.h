// Fitting controls to their labels, pressing a button from code, and
// keeping a window on the screen.
#ifndef FRAMEWORK_CONTROL_FIT_H
#define FRAMEWORK_CONTROL_FIT_H

#include <Rect.h>

class BButton;
class BCheckBox;
class BMenuField;
class BRadioButton;
class BStringView;
class BTextControl;
class BWindow;

namespace orvik {

// Shows the button pressed for 50 ms, then invokes it with its own
// message. Nothing for NULL. Blocks the calling thread meanwhile.
void click_button(BButton* button);

// Each fits the control to the width of its label (or text) in its own
// font, rounded up: the divider of a text control or menu field becomes
// width + 2; a string view becomes width + 2 wide; a radio button or check
// box width + 22 (room for its mark); a button its preferred width. Heights
// stay. Nothing for NULL.
void adjust_txtctrl_width(BTextControl* control);
void adjust_mfield_width(BMenuField* field);
void adjust_strview_width(BStringView* view);
void adjust_rbutton_width(BRadioButton* button);
void adjust_cbox_width(BCheckBox* box);
void adjust_button_width(BButton* button);

// Moves the window so that it lies at least 5 pixels inside the right and
// bottom edges of the main screen, its left edge at least 5 and its top at
// least 24 from the screen's left and top; returns the new frame.
BRect move_window_into_screen(BWindow* window);

}

#endif
