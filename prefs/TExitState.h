// The saved state of the lyrics window.
#ifndef PREFS_T_EXIT_STATE_H
#define PREFS_T_EXIT_STATE_H

#include "framework/TArchivable.h"

#include <Rect.h>

#include <string>

class TExitState : public orvik::TArchivable {
public:
	TExitState();
	virtual ~TExitState();

	// "_Ver" is written with the running version, not the stored text.
	virtual bool Archive(BMessage* archive) override;
	virtual bool Unarchive(const BMessage& archive) override;

	std::string version;  // "_Ver": the version that wrote the file
	BRect windowFrame;    // "_WFr": the lyrics window, screen coordinates
};

#endif
