#include "framework/TRsrcMsg.h"

#include <Application.h>
#include <DataIO.h>
#include <File.h>
#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>

namespace orvik {

TRsrcMsg::TRsrcMsg()
	:
	fUseFile(false)
{
}

void TRsrcMsg::SetTo(const BEntry& file)
{
	fFile = file;
	fUseFile = true;
}

void TRsrcMsg::Unset()
{
	fUseFile = false;
}

bool TRsrcMsg::GetMessage(const char* name, BMessage* out, BResources* res)
{
	if (name == nullptr || out == nullptr)
		return false;
	if (fUseFile) {
		BFile file(&fFile, B_READ_ONLY);
		BMessage all;
		if (file.InitCheck() != B_OK || all.Unflatten(&file) != B_OK)
			return false;
		BMessage found;
		if (all.FindMessage(name, &found) != B_OK)
			return false;
		*out = found;
		return true;
	}
	if (res == nullptr)
		res = BApplication::AppResources();
	if (res == nullptr)
		return false;
	size_t size = 0;
	const void* data = res->LoadResource(B_RAW_TYPE, name, &size);
	if (data == nullptr)
		return false;
	// The stream form stops at the resource's end; the buffer form would
	// trust the size recorded in the data and read past a short resource.
	BMemoryIO stream(data, size);
	BMessage found;
	if (found.Unflatten(&stream) != B_OK)
		return false;
	*out = found;
	return true;
}

}
