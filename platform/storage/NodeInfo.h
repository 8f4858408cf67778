// BNodeInfo: a node's MIME type and preferred application, kept in its
// attributes "BEOS:TYPE" and "BEOS:PREF_APP" (see Node.h for how attributes
// are stored), and its icons: B_CMAP8 squares in the attributes
// "BEOS:L:STD_ICON" (32 × 32, type 'ICON') and "BEOS:M:STD_ICON" (16 × 16,
// 'MICN'). A file without the attribute gives the icon among its resources
// (same type and name), as built files carry it.
#ifndef _NODE_INFO_H
#define _NODE_INFO_H

#include <Mime.h>
#include <SupportDefs.h>

class BBitmap;
class BNode;

class BNodeInfo {
public:
	BNodeInfo();
	// The node stays the caller's and must outlive this object.
	BNodeInfo(BNode* node);
	virtual ~BNodeInfo();

	status_t SetTo(BNode* node);
	status_t InitCheck() const;

	// `type` must hold B_MIME_TYPE_LENGTH bytes. B_ENTRY_NOT_FOUND when the
	// node has no type.
	virtual status_t GetType(char* type) const;
	// NULL removes the type.
	virtual status_t SetType(const char* type);
	virtual status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
	virtual status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);
	// `icon` must be `size` × `size` pixels (any colour space it can be
	// converted to); B_ENTRY_NOT_FOUND without an icon.
	virtual status_t GetIcon(BBitmap* icon, icon_size size = B_LARGE_ICON) const;
	// Writes the attribute from a B_CMAP8 bitmap; NULL removes it.
	virtual status_t SetIcon(const BBitmap* icon, icon_size size = B_LARGE_ICON);

protected:
	status_t read_string(const char* attr, char* out, size_t size) const;
	status_t write_string(const char* attr, const char* value);

	BNode* fNode;
	status_t fCStatus;

private:
	BNodeInfo(const BNodeInfo&) = delete;
	BNodeInfo& operator=(const BNodeInfo&) = delete;
};

#endif
