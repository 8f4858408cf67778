// BMimeType: a MIME type string and what the platform knows about it.
//
// Linux has no database of types with preferred applications by
// application signature, so the kit keeps a small one of its own under
// $XDG_CONFIG_HOME/libbe/mime/: one text file per installed type. Icons are
// not kept: GetIcon fails with B_ENTRY_NOT_FOUND.
#ifndef _MIME_H
#define _MIME_H

#include <StorageDefs.h>
#include <SupportDefs.h>
#include <TypeConstants.h>

class BBitmap;
class BMessage;

enum icon_size {
	B_LARGE_ICON = 32,
	B_MINI_ICON  = 16
};

enum app_verb {
	B_OPEN = 0
};

// B_MIME_STRING_TYPE ('MIMS'), the type of a MIME type string in
// attributes and resources, is one of the type constants.

extern const char* B_APP_MIME_TYPE;   // "application/x-vnd.Be-elfexecutable"
extern const char* B_FILE_MIME_TYPE;  // "application/octet-stream"

class BMimeType {
public:
	BMimeType();
	BMimeType(const char* mimeType);
	virtual ~BMimeType();

	// B_BAD_VALUE for a string that is not a valid type ("super/sub" or a
	// supertype alone, printable ASCII without spaces or separators, at most
	// B_MIME_TYPE_LENGTH bytes).
	status_t SetTo(const char* mimeType);
	void Unset();
	status_t InitCheck() const;

	// NULL when not initialised.
	const char* Type() const;
	bool IsValid() const;
	static bool IsValid(const char* mimeType);
	bool IsSupertypeOnly() const;
	status_t GetSupertype(BMimeType* superType) const;

	bool IsInstalled() const;
	status_t Install();
	status_t Delete();

	// `signature` must hold B_MIME_TYPE_LENGTH bytes. B_ENTRY_NOT_FOUND when
	// the type has no preferred application.
	status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
	// Installs the type when needed; NULL removes the preference.
	status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);

	status_t GetIcon(BBitmap* icon, icon_size size) const;

	bool operator==(const BMimeType& type) const;
	bool operator==(const char* type) const;

private:
	BMimeType(const BMimeType&) = delete;
	BMimeType& operator=(const BMimeType&) = delete;

	char* fType;       // owned, lower-cased
	status_t fCStatus;
};

#endif
