// BAppFileInfo: what an application or add-on file says about itself. Only
// the signature is kept: the "BEOS:APP_SIG" attribute, or else the
// resource of type 'MIMS' named "BEOS:APP_SIG" appended to the file.
#ifndef _APP_FILE_INFO_H
#define _APP_FILE_INFO_H

#include <NodeInfo.h>

class BFile;

class BAppFileInfo : public BNodeInfo {
public:
	BAppFileInfo();
	// The file stays the caller's and must outlive this object.
	BAppFileInfo(BFile* file);
	virtual ~BAppFileInfo();

	status_t SetTo(BFile* file);

	// `signature` must hold B_MIME_TYPE_LENGTH bytes; B_ENTRY_NOT_FOUND when
	// the file has none.
	status_t GetSignature(char* signature) const;
	// Writes the attribute (the file must be writable).
	status_t SetSignature(const char* signature);

private:
	BFile* fFile;
};

#endif
