// A message stored in the application's resources, or, for trying out new
// ones, in a file.
#ifndef FRAMEWORK_TRSRC_MSG_H
#define FRAMEWORK_TRSRC_MSG_H

#include <Entry.h>

class BMessage;
class BResources;

namespace orvik {

class TRsrcMsg {
public:
	TRsrcMsg();

	// Read from this file from now on: one flattened message whose
	// sub-messages are looked up by name.
	void SetTo(const BEntry& file);
	// Back to the resources.
	void Unset();

	// From resources: the B_RAW_TYPE resource `name` of `res` (the
	// application's own when NULL), unflattened. From the file: its message
	// field `name`. False when there is nothing to read or it does not
	// unflatten.
	bool GetMessage(const char* name, BMessage* out, BResources* res = nullptr);

private:
	bool fUseFile;
	BEntry fFile;
};

}

#endif
