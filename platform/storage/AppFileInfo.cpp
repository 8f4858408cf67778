#include <AppFileInfo.h>

#include <File.h>
#include <Resources.h>

#include <string.h>

static const char kSignatureAttr[] = "BEOS:APP_SIG";

BAppFileInfo::BAppFileInfo()
	: fFile(nullptr)
{
}

BAppFileInfo::BAppFileInfo(BFile* file)
	: fFile(nullptr)
{
	SetTo(file);
}

BAppFileInfo::~BAppFileInfo()
{
}

status_t BAppFileInfo::SetTo(BFile* file)
{
	fFile = nullptr;
	status_t status = BNodeInfo::SetTo(file);
	if (status == B_OK)
		fFile = file;
	return status;
}

status_t BAppFileInfo::GetSignature(char* signature) const
{
	if (signature == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	status_t status = read_string(kSignatureAttr, signature, B_MIME_TYPE_LENGTH);
	if (status != B_ENTRY_NOT_FOUND && status != B_UNSUPPORTED)
		return status;
	// Built files carry their signature among their resources.
	BResources resources(fFile);
	size_t size = 0;
	const char* data = (const char*)resources.LoadResource(B_MIME_STRING_TYPE, kSignatureAttr,
	                                                       &size);
	if (data == nullptr)
		return B_ENTRY_NOT_FOUND;
	size_t length = strnlen(data, size);
	if (length == 0 || length >= B_MIME_TYPE_LENGTH)
		return B_BAD_VALUE;
	memcpy(signature, data, length);
	signature[length] = '\0';
	return B_OK;
}

status_t BAppFileInfo::SetSignature(const char* signature)
{
	return write_string(kSignatureAttr, signature);
}
