// The body of an alert: the stripe and icon on the left and the message,
// already broken into lines, beside them. Buttons are its children.
#ifndef _PRIVATE_ALERT_VIEW_H
#define _PRIVATE_ALERT_VIEW_H

#include <Alert.h>
#include <View.h>

#include <string>
#include <vector>

namespace BPrivate {

// Metrics of the alert's layout, shared by the view and BAlert.
struct AlertMetrics {
	static constexpr float kMargin = 10;
	static constexpr float kStripeWidth = 30;
	static constexpr float kIconSize = 32;
	static constexpr float kIconLeft = 18;
	static constexpr float kIconTop = 10;
	static constexpr float kButtonGap = 10;       // between buttons
	static constexpr float kOffsetGap = 20;       // extra room of B_OFFSET_SPACING
	static constexpr float kUsualButtonWidth = 75;
	static constexpr float kMinWidth = 310;
	static constexpr float kMaxWidth = 480;       // text wraps within this

	// Where the text starts for an alert of this type.
	static float TextLeft(alert_type type);
};

class AlertView : public BView {
public:
	AlertView(BRect frame, alert_type type);

	void SetLines(const std::vector<std::string>& lines);
	const std::vector<std::string>& Lines() const { return fLines; }
	// Height of the text block, in pixels.
	float TextHeight() const;

	virtual void Draw(BRect updateRect);

private:
	alert_type fType;
	std::vector<std::string> fLines;
};

// Draws the icon of `type` with its top-left corner at `leftTop`, in a
// 32 x 32 square. Nothing for B_EMPTY_ALERT.
void draw_alert_icon(BView* view, alert_type type, BPoint leftTop);

}

#endif
