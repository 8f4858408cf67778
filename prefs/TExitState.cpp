#include "TExitState.h"

#include "plugin/AppGlobals.h"

TExitState::TExitState()
	:
	windowFrame(5, 24, 300, 100)
{
}

TExitState::~TExitState()
{
}

bool TExitState::Archive(BMessage* archive)
{
	bool ok = TArchivable::Archive(archive);
	ok &= archive->AddString("_Ver", gAppVer) == B_OK;
	ok &= archive->AddRect("_WFr", windowFrame) == B_OK;
	return ok;
}

bool TExitState::Unarchive(const BMessage& archive)
{
	bool ok = TArchivable::Unarchive(archive);
	ok &= FindString(archive, "_Ver", &version) == B_OK;
	ok &= FindRect(archive, "_WFr", &windowFrame) == B_OK;
	return ok;
}
