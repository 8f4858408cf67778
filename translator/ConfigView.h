// TConfigView: the translator's configuration view. It has nothing to set;
// it shows the kind of data handled, the version and the notice line.
#ifndef PACKSCOPE_CONFIG_VIEW_H
#define PACKSCOPE_CONFIG_VIEW_H

#include <View.h>

class TConfigView : public BView {
public:
	// The view "PackscopeConfigView" with its three string views
	// "StrViewKind", "StrViewVer" and "StrViewCright", which it owns.
	explicit TConfigView(BRect frame);

	// Gives the string views their fonts and texts and fits them to the
	// texts.
	void AttachedToWindow() override;
};

#endif
