#include "Alerts.h"

#include <mutex>

namespace orvik {

namespace {

const char* const kAlertWindowTitle = "Title";
const char* const kFullWidthOK = "\xEF\xBC\xAF\xEF\xBC\xAB";   // ＯＫ
const char kEscapeKey = 0x1B;

std::mutex sResponderLock;
alert_responder sResponder;

// Shows the alert and waits for the user.
int32 run_alert(const TAlertRequest& request)
{
	// The Interface Kit's BAlert is not there yet: answer as if the first
	// button had been pressed.
	(void)request;
	return 0;
}

int32 present(const TAlertRequest& request)
{
	alert_responder responder;
	{
		std::lock_guard<std::mutex> lock(sResponderLock);
		responder = sResponder;
	}
	return responder ? responder(request) : run_alert(request);
}

std::string alert_text(const char* title, const char* text)
{
	return std::string(title ? title : "") + "\n\n" + (text ? text : "");
}

}

alert_responder set_alert_responder(alert_responder responder)
{
	std::lock_guard<std::mutex> lock(sResponderLock);
	std::swap(responder, sResponder);
	return responder;
}

int32 show_msg(const char* title, const char* text, const char* button, alert_type type)
{
	TAlertRequest request;
	request.windowTitle = kAlertWindowTitle;
	request.text = alert_text(title, text);
	request.buttons.push_back(button ? button : kFullWidthOK);
	request.shortcuts.push_back(0);
	request.type = type;
	return present(request);
}

int32 show_alert(const char* title, const char* text, const char* button0,
                 const char* button1, const char* button2, int32 escapeIndex,
                 alert_type type)
{
	TAlertRequest request;
	request.windowTitle = kAlertWindowTitle;
	request.text = alert_text(title, text);
	request.type = type;
	const char* labels[3] = {button0 ? button0 : "", button1, button2};
	for (int32 i = 0; i < 3 && labels[i] != nullptr; i++) {
		request.buttons.push_back(labels[i]);
		char key = labels[i][0];
		if (i == escapeIndex)
			key = kEscapeKey;
		else if (key >= 'A' && key <= 'Z')
			key = static_cast<char>(key - 'A' + 'a');
		else if (static_cast<unsigned char>(key) >= 0x80)
			key = 0;   // no single key types a character beyond ASCII
		request.shortcuts.push_back(key);
	}
	return present(request);
}

}
