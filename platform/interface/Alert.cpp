#include <Alert.h>

#include <Button.h>
#include <Font.h>
#include <Invoker.h>
#include <Message.h>
#include <OS.h>
#include <Screen.h>

#include "interface/AlertTextWrap.h"
#include "interface/AlertView.h"
#include "support/Misuse.h"

#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

using BPrivate::AlertMetrics;

// A button's message: which button it is.
static const uint32 kMsgButton = '_ALB';

// Room beside a button's label.
static const float kLabelRoom = 24;

// How often a window blocked in Go() is redrawn.
static const bigtime_t kCallerUpdateInterval = 50000;

static const uint32 kAlertFlags = B_NOT_CLOSABLE | B_NOT_RESIZABLE
	| B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_ASYNCHRONOUS_CONTROLS;

BAlert::BAlert(const char* title, const char* text, const char* button0,
	const char* button1, const char* button2, button_width width, alert_type type)
	:
	BWindow(BRect(0, 0, AlertMetrics::kMinWidth, 100), title, B_MODAL_WINDOW_LOOK,
		B_MODAL_APP_WINDOW_FEEL, kAlertFlags)
{
	_Init(text, button0, button1, button2, width, B_EVEN_SPACING, type);
}

BAlert::BAlert(const char* title, const char* text, const char* button0,
	const char* button1, const char* button2, button_width width,
	button_spacing spacing, alert_type type)
	:
	BWindow(BRect(0, 0, AlertMetrics::kMinWidth, 100), title, B_MODAL_WINDOW_LOOK,
		B_MODAL_APP_WINDOW_FEEL, kAlertFlags)
{
	_Init(text, button0, button1, button2, width, spacing, type);
}

BAlert::~BAlert()
{
	delete fInvoker;
	free(fText);
}

void BAlert::_Init(const char* text, const char* button0, const char* button1,
	const char* button2, button_width width, button_spacing spacing,
	alert_type type)
{
	fView = NULL;
	fButtonCount = 0;
	fWidthMode = width;
	fSpacing = spacing;
	fType = type;
	fText = strdup(text != NULL ? text : "");
	fWaitSem = -1;
	fResult = NULL;
	fInvoker = NULL;
	fDone = false;
	for (int32 i = 0; i < 3; i++) {
		fButtons[i] = NULL;
		fKeys[i] = 0;
	}

	fView = new BPrivate::AlertView(Bounds(), type);
	AddChild(fView);

	// Buttons come in order; a missing label ends the row, and an alert
	// always has at least one button to leave it by.
	const char* labels[3] = {button0, button1, button2};
	if (labels[0] == NULL)
		labels[0] = "OK";
	for (int32 i = 0; i < 3 && labels[i] != NULL; i++) {
		char name[8];
		snprintf(name, sizeof(name), "_b%d_", (int)i);
		BMessage* message = new BMessage(kMsgButton);
		message->AddInt32("index", i);
		fButtons[i] = new BButton(BRect(0, 0, AlertMetrics::kUsualButtonWidth, 24),
			name, labels[i], message, B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
		fView->AddChild(fButtons[i]);
		fButtonCount++;
	}
	_Layout();
	// After the layout: the default button grows its heavier frame around
	// the face that was placed.
	fButtons[fButtonCount - 1]->MakeDefault(true);
}

// Sizes the buttons, wraps the text to the width they leave, sizes the
// window to both and centres it.
void BAlert::_Layout()
{
	// A button's own width is its label's and some room either side; the
	// usual width is a minimum on top of that.
	BFont font(be_plain_font);
	float widths[3] = {0, 0, 0};
	float buttonHeight = 0;
	float widest = 0;
	for (int32 i = 0; i < fButtonCount; i++) {
		float width, height;
		fButtons[i]->GetPreferredSize(&width, &height);
		const char* label = fButtons[i]->Label();
		widths[i] = ceilf(font.StringWidth(label != NULL ? label : "")) + kLabelRoom;
		buttonHeight = std::max(buttonHeight, ceilf(height));
		widest = std::max(widest, widths[i]);
	}
	float rowWidth = 0;
	for (int32 i = 0; i < fButtonCount; i++) {
		switch (fWidthMode) {
			case B_WIDTH_FROM_WIDEST:
				widths[i] = std::max(widest, AlertMetrics::kUsualButtonWidth);
				break;
			case B_WIDTH_FROM_LABEL:
				break;
			default:
				widths[i] = std::max(widths[i], AlertMetrics::kUsualButtonWidth);
				break;
		}
		rowWidth += widths[i] + (i > 0 ? AlertMetrics::kButtonGap : 0);
	}
	bool offset = fSpacing == B_OFFSET_SPACING && fButtonCount > 1;
	float textLeft = AlertMetrics::TextLeft(fType);
	float left = offset ? textLeft : AlertMetrics::kMargin;
	float needed = left + rowWidth + AlertMetrics::kMargin
		+ (offset ? AlertMetrics::kOffsetGap : 0);
	float width = std::max(AlertMetrics::kMinWidth, needed);

	// The text wraps to the width the buttons gave; an alert with a long
	// text grows up to the widest alert before it grows in height only.
	BPrivate::text_measure measure = [&font](const char* text, int32 length) {
		return font.StringWidth(text, length);
	};
	float textRight = AlertMetrics::kMargin;
	std::vector<std::string> lines = BPrivate::wrap_text(fText,
		width - textLeft - textRight, measure);
	if (lines.size() > 8 && width < AlertMetrics::kMaxWidth) {
		width = AlertMetrics::kMaxWidth;
		lines = BPrivate::wrap_text(fText, width - textLeft - textRight, measure);
	}
	fView->SetLines(lines);

	float textBottom = AlertMetrics::kMargin + fView->TextHeight();
	if (fType != B_EMPTY_ALERT)
		textBottom = std::max(textBottom, AlertMetrics::kIconTop + AlertMetrics::kIconSize);
	float buttonTop = textBottom + 12;
	float height = buttonTop + buttonHeight + AlertMetrics::kMargin;
	width = ceilf(width);
	height = ceilf(height);

	// The window first, so that the buttons, which follow the bottom right
	// corner, are placed in the final frame.
	ResizeTo(width - 1, height - 1);
	fView->ResizeTo(width - 1, height - 1);
	float x = width - AlertMetrics::kMargin;
	for (int32 i = fButtonCount - 1; i >= 0; i--) {
		if (offset && i == 0)
			x = left + widths[0];
		fButtons[i]->ResizeTo(widths[i] - 1, buttonHeight - 1);
		fButtons[i]->MoveTo(x - widths[i], buttonTop);
		x -= widths[i] + AlertMetrics::kButtonGap;
	}
	MoveTo(AlertPosition(width, height));
}

BPoint BAlert::AlertPosition(float width, float height)
{
	BScreen screen;
	BRect frame = screen.Frame();
	float x = frame.left + (frame.Width() + 1 - width) / 2;
	float y = frame.top + (frame.Height() + 1 - height) / 2;
	return BPoint(std::max(frame.left, floorf(x)), std::max(frame.top, floorf(y)));
}

void BAlert::SetShortcut(int32 index, char key)
{
	if (index >= 0 && index < fButtonCount)
		fKeys[index] = key;
}

char BAlert::Shortcut(int32 index) const
{
	if (index >= 0 && index < fButtonCount)
		return fKeys[index];
	return 0;
}

BButton* BAlert::ButtonAt(int32 index) const
{
	if (index >= 0 && index < fButtonCount)
		return fButtons[index];
	return NULL;
}

BTextView* BAlert::TextView() const
{
	return NULL;
}

const char* BAlert::Text() const
{
	return fText;
}

int32 BAlert::Go()
{
	if (Thread() >= 0 || LockingThread() != find_thread(NULL)) {
		BPrivate::report_misuse("BAlert::Go", "only the thread that made the alert may run it, once");
		return -1;
	}
	sem_id sem = create_sem(0, "alert answer");
	if (sem < B_OK) {
		Quit();
		return -1;
	}
	int32 result = -1;
	fWaitSem = sem;
	fResult = &result;

	// A window that waits here still redraws, though it handles no
	// messages until the alert is answered.
	BWindow* caller = dynamic_cast<BWindow*>(BLooper::LooperForThread(find_thread(NULL)));

	Show();
	// From here on the alert may be gone at any moment: it deletes itself
	// once it has answered.
	status_t status;
	do {
		if (caller != NULL) {
			status = acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, kCallerUpdateInterval);
			if (status == B_TIMED_OUT && caller->IsLocked())
				caller->UpdateIfNeeded();
		} else {
			status = acquire_sem(sem);
		}
	} while (status == B_TIMED_OUT || status == B_INTERRUPTED);
	delete_sem(sem);
	return result;
}

status_t BAlert::Go(BInvoker* invoker)
{
	if (Thread() >= 0 || LockingThread() != find_thread(NULL)) {
		BPrivate::report_misuse("BAlert::Go", "only the thread that made the alert may run it, once");
		delete invoker;
		return B_BAD_THREAD_ID;
	}
	fInvoker = invoker;
	Show();
	return B_OK;
}

int32 BAlert::_ButtonForKey(const char* bytes) const
{
	if (bytes == NULL || bytes[0] == '\0' || bytes[1] != '\0')
		return -1;
	int key = tolower((unsigned char)bytes[0]);
	for (int32 i = 0; i < fButtonCount; i++) {
		if (fKeys[i] != 0 && tolower((unsigned char)fKeys[i]) == key)
			return i;
	}
	if (bytes[0] == B_ENTER) {
		// Enter presses the button that has the focus, else the default one.
		for (int32 i = 0; i < fButtonCount; i++) {
			if (fButtons[i] == CurrentFocus())
				return i;
		}
		return fButtonCount - 1;
	}
	return -1;
}

void BAlert::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message != NULL && message->what == B_KEY_DOWN) {
		int32 modifierKeys = 0;
		message->FindInt32("modifiers", &modifierKeys);
		const char* bytes = NULL;
		message->FindString("bytes", &bytes);
		int32 index = (modifierKeys & (B_COMMAND_KEY | B_CONTROL_KEY)) == 0
			? _ButtonForKey(bytes) : -1;
		if (index >= 0) {
			// Through the button, so that it is pressed as a click would.
			fButtons[index]->Invoke();
			return;
		}
	}
	BWindow::DispatchMessage(message, handler);
}

void BAlert::MessageReceived(BMessage* message)
{
	if (message->what == kMsgButton) {
		int32 index;
		if (message->FindInt32("index", &index) == B_OK)
			_Pressed(index);
		return;
	}
	BWindow::MessageReceived(message);
}

void BAlert::_Pressed(int32 index)
{
	if (fDone)
		return;
	fDone = true;
	if (fResult != NULL) {
		*fResult = index;
		fResult = NULL;
		sem_id sem = fWaitSem;
		fWaitSem = -1;
		release_sem(sem);
	} else if (fInvoker != NULL && fInvoker->Message() != NULL) {
		BMessage copy(*fInvoker->Message());
		if (copy.ReplaceInt32("which", index) != B_OK)
			copy.AddInt32("which", index);
		fInvoker->Invoke(&copy);
	}
	Quit();
}

void BAlert::FrameResized(float newWidth, float newHeight)
{
	BWindow::FrameResized(newWidth, newHeight);
}

bool BAlert::QuitRequested()
{
	return true;
}

void BAlert::Quit()
{
	// Quit without an answer: a waiting Go() returns -1.
	if (IsLocked() && fResult != NULL) {
		fDone = true;
		fResult = NULL;
		sem_id sem = fWaitSem;
		fWaitSem = -1;
		release_sem(sem);
	}
	BWindow::Quit();
}
