#include "FrontEndHandler.h"

#include "InfoBlock.h"
#include "Playback.h"

#include <Message.h>
#include <TypeConstants.h>

FrontEndHandler::FrontEndHandler(Playback* playback)
	:
	BHandler("Melo-Deck FrontEnd"),
	fPlayback(playback)
{
}

[[gnu::hot]] void FrontEndHandler::MessageReceived(BMessage* message)
{
	if (message->what == kMelodeckInfo) {
		ReplyInfo(message);
		return;
	}
	BHandler::MessageReceived(message);
}

[[gnu::hot]] void FrontEndHandler::ReplyInfo(BMessage* request)
{
	uint8 block[kInfoBlockSize];
	const PlaylistEntry* entry = fPlayback->CurrentEntry();
	if (entry != NULL) {
		make_info_block(block, entry->number, fPlayback->Position(), entry->length,
			entry->title.c_str());
	} else
		make_info_block(block, 0, 0, 0, "");

	BMessage reply(kMelodeckInfo);
	reply.AddData("Info", B_STRING_TYPE, block, sizeof(block));
	request->SendReply(&reply);
}
