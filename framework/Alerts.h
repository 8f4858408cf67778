// Alerts of the framework: a message with one button, and a question with
// up to three.
//
// Both run synchronously and return the index of the pressed button (0 to
// 2, left to right). The alert shows the title, an empty line and the text;
// its window is titled "Title".
#ifndef FRAMEWORK_ALERTS_H
#define FRAMEWORK_ALERTS_H

#include <SupportDefs.h>

#include <Alert.h>

#include <functional>
#include <string>
#include <vector>

namespace orvik {

// One button, labelled `button` or, when that is NULL, with the full-width
// "ＯＫ".
int32 show_msg(const char* title, const char* text, const char* button, alert_type type);

// Up to three buttons (`button1` and `button2` may be NULL). The button at
// `escapeIndex` answers the Escape key (-1: none does); every other button
// answers the first letter of its label, in lower case.
int32 show_alert(const char* title, const char* text, const char* button0,
                 const char* button1, const char* button2, int32 escapeIndex,
                 alert_type type);

// An alert as it would be shown.
struct TAlertRequest {
	std::string windowTitle;
	std::string text;                  // title, "\n\n", text
	std::vector<std::string> buttons;  // one to three labels
	std::vector<char> shortcuts;       // per button; 0 for none
	button_spacing spacing = B_EVEN_SPACING;
	alert_type type = B_INFO_ALERT;
	int32 escapeIndex = -1;
};

// Where nothing may be shown (tests, headless runs), a responder answers
// the alerts instead: it gets each request and returns the button index.
// An empty responder shows alerts again. Returns the previous one.
typedef std::function<int32(const TAlertRequest&)> alert_responder;
alert_responder set_alert_responder(alert_responder responder);

}

#endif
