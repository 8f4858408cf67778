// The file panel's backdrop: the panel colour, the folder's path along the
// top and a status line (an error, or how many entries are chosen) along
// the bottom.
#ifndef _PRIVATE_FILE_PANEL_BACKGROUND_H
#define _PRIVATE_FILE_PANEL_BACKGROUND_H

#include <View.h>

#include <string>

namespace BPrivate {

class FilePanelBackground : public BView {
public:
	FilePanelBackground(BRect frame);

	// The path is drawn from `left` on the first row (beside the parent
	// button), the status from `left` on the last row, up to `right` pixels
	// from the right edge.
	void SetPath(const std::string& path, float left);
	void SetStatus(const std::string& status, float left, float right);

	virtual void Draw(BRect updateRect);
	virtual void FrameResized(float newWidth, float newHeight);

	static constexpr float kBarHeight = 40;   // the rows of buttons

private:
	std::string fPath;
	std::string fStatus;
	float fPathLeft;
	float fStatusLeft;
	float fStatusRight;
};

}

#endif
