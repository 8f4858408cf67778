#include <NodeInfo.h>

#include <Bitmap.h>
#include <File.h>
#include <Node.h>
#include <Resources.h>

#include "storage/IconData.h"

#include <string.h>

#include <vector>

static const char kTypeAttr[] = "BEOS:TYPE";
static const char kPreferredAppAttr[] = "BEOS:PREF_APP";

BNodeInfo::BNodeInfo()
	: fNode(nullptr), fCStatus(B_NO_INIT)
{
}

BNodeInfo::BNodeInfo(BNode* node)
	: fNode(nullptr), fCStatus(B_NO_INIT)
{
	SetTo(node);
}

BNodeInfo::~BNodeInfo()
{
}

status_t BNodeInfo::SetTo(BNode* node)
{
	fNode = nullptr;
	if (node == nullptr || node->InitCheck() != B_OK)
		return fCStatus = B_BAD_VALUE;
	fNode = node;
	return fCStatus = B_OK;
}

status_t BNodeInfo::InitCheck() const
{
	return fCStatus;
}

status_t BNodeInfo::read_string(const char* attr, char* out, size_t size) const
{
	if (out == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	attr_info info;
	status_t status = fNode->GetAttrInfo(attr, &info);
	if (status != B_OK)
		return status;
	if (info.size <= 0 || (size_t)info.size > size)
		return B_BAD_VALUE;
	ssize_t read = fNode->ReadAttr(attr, B_MIME_STRING_TYPE, 0, out, size);
	if (read < 0)
		return (status_t)read;
	// Stored with its NUL; one written without it is ended here.
	if ((size_t)read == size && out[size - 1] != '\0')
		return B_BAD_VALUE;
	out[(size_t)read < size ? (size_t)read : size - 1] = '\0';
	return B_OK;
}

status_t BNodeInfo::write_string(const char* attr, const char* value)
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (value == nullptr) {
		status_t status = fNode->RemoveAttr(attr);
		return status == B_ENTRY_NOT_FOUND ? (status_t)B_OK : status;
	}
	if (!BMimeType::IsValid(value))
		return B_BAD_VALUE;
	ssize_t written = fNode->WriteAttr(attr, B_MIME_STRING_TYPE, 0, value, strlen(value) + 1);
	return written < 0 ? (status_t)written : B_OK;
}

status_t BNodeInfo::GetType(char* type) const
{
	return read_string(kTypeAttr, type, B_MIME_TYPE_LENGTH);
}

status_t BNodeInfo::SetType(const char* type)
{
	return write_string(kTypeAttr, type);
}

status_t BNodeInfo::GetPreferredApp(char* signature, app_verb) const
{
	return read_string(kPreferredAppAttr, signature, B_MIME_TYPE_LENGTH);
}

status_t BNodeInfo::SetPreferredApp(const char* signature, app_verb)
{
	return write_string(kPreferredAppAttr, signature);
}

status_t BNodeInfo::GetIcon(BBitmap* icon, icon_size size) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	status_t status = BPrivate::check_icon_bitmap(icon, size);
	if (status != B_OK)
		return status;
	const size_t length = (size_t)size * size;
	std::vector<uint8> data(length);
	ssize_t read = fNode->ReadAttr(BPrivate::icon_name(size), BPrivate::icon_type(size), 0,
	                               data.data(), length);
	if (read == (ssize_t)length) {
		icon->SetBits(data.data(), (int32)length, 0, B_CMAP8);
		return B_OK;
	}
	// A built file carries its icon among its resources, where nothing
	// copied it into the attribute.
	const BFile* file = dynamic_cast<const BFile*>(fNode);
	if (file != nullptr && BPrivate::icon_from_resources(file, icon, size) == B_OK)
		return B_OK;
	return read < 0 && read != B_ENTRY_NOT_FOUND && read != B_UNSUPPORTED ? (status_t)read
	                                                                      : B_ENTRY_NOT_FOUND;
}

status_t BNodeInfo::SetIcon(const BBitmap* icon, icon_size size)
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (icon == nullptr) {
		status_t status = fNode->RemoveAttr(BPrivate::icon_name(size));
		return status == B_ENTRY_NOT_FOUND ? (status_t)B_OK : status;
	}
	status_t status = BPrivate::check_icon_bitmap(icon, size);
	if (status != B_OK)
		return status;
	if (icon->ColorSpace() != B_CMAP8)
		return B_BAD_VALUE;
	// Rows of a B_CMAP8 bitmap are padded to four bytes: 16 and 32 need none.
	const size_t length = (size_t)size * size;
	ssize_t written = fNode->WriteAttr(BPrivate::icon_name(size), BPrivate::icon_type(size), 0,
	                                   icon->Bits(), length);
	return written < 0 ? (status_t)written : B_OK;
}
