#include "Alerts.h"

#include <InterfaceDefs.h>

#include <mutex>

namespace orvik {

namespace {

const char* const kAlertWindowTitle = "Title";
const char* const kFullWidthOK = "\xEF\xBC\xAF\xEF\xBC\xAB";   // ＯＫ

std::mutex sResponderLock;
alert_responder sResponder;

// Shows the alert and waits for the user. The alert deletes itself.
int32 run_alert(const TAlertRequest& request)
{
	const char* labels[3] = {NULL, NULL, NULL};
	for (size_t i = 0; i < request.buttons.size() && i < 3; i++)
		labels[i] = request.buttons[i].c_str();
	BAlert* alert = new BAlert(request.windowTitle.c_str(), request.text.c_str(), labels[0],
		labels[1], labels[2], B_WIDTH_AS_USUAL, request.spacing, request.type);
	for (size_t i = 0; i < request.shortcuts.size() && i < 3; i++) {
		if (request.shortcuts[i] != 0)
			alert->SetShortcut(static_cast<int32>(i), request.shortcuts[i]);
	}
	return alert->Go();
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
	request.spacing = B_OFFSET_SPACING;
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
	request.spacing = B_EVEN_SPACING;
	request.type = type;
	request.escapeIndex = escapeIndex;
	const char* labels[3] = {button0 ? button0 : "", button1, button2};
	for (int32 i = 0; i < 3 && labels[i] != nullptr; i++) {
		request.buttons.push_back(labels[i]);
		char key = labels[i][0];
		if (i == escapeIndex)
			key = B_ESCAPE;
		else if (key >= 'A' && key <= 'Z')
			key = static_cast<char>(key - 'A' + 'a');
		else if (static_cast<unsigned char>(key) >= 0x80)
			key = 0;   // no single key types a character beyond ASCII
		request.shortcuts.push_back(key);
	}
	return present(request);
}

}
