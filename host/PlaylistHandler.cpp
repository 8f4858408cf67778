#include "PlaylistHandler.h"

#include "Playback.h"

#include <AppDefs.h>
#include <Message.h>

#include <string.h>

namespace {

const char* const kEntryProperty = "Entry";

bool is_playlist_command(uint32 what)
{
	return what == B_COUNT_PROPERTIES || what == B_GET_PROPERTY
		|| what == B_EXECUTE_PROPERTY;
}

}

PlaylistHandler::PlaylistHandler(Playback* playback)
	:
	BHandler("Playlist"),
	fPlayback(playback)
{
}

BHandler* PlaylistHandler::ResolveSpecifier(BMessage* message, int32 index,
	BMessage* specifier, int32 form, const char* property)
{
	if (property != NULL && strcmp(property, kEntryProperty) == 0
		&& is_playlist_command(message->what)) {
		const bool counting = message->what == B_COUNT_PROPERTIES;
		if ((counting && form == B_DIRECT_SPECIFIER)
			|| (!counting && (form == B_INDEX_SPECIFIER
				|| form == B_REVERSE_INDEX_SPECIFIER)))
			return this;
	}
	return BHandler::ResolveSpecifier(message, index, specifier, form, property);
}

status_t PlaylistHandler::GetSupportedSuites(BMessage* data)
{
	if (data == NULL)
		return B_BAD_VALUE;
	status_t status = data->AddString("suites", "suite/vnd.Orlund-Melodeck-playlist");
	if (status != B_OK)
		return status;
	return BHandler::GetSupportedSuites(data);
}

status_t PlaylistHandler::_EntryIndex(BMessage* message, int32* index)
{
	BMessage specifier;
	int32 current = 0, form = 0;
	const char* property = NULL;
	if (message->GetCurrentSpecifier(&current, &specifier, &form, &property) != B_OK
		|| property == NULL || strcmp(property, kEntryProperty) != 0)
		return B_BAD_SCRIPT_SYNTAX;
	int32 value = 0;
	if (specifier.FindInt32("index", &value) != B_OK)
		return B_BAD_SCRIPT_SYNTAX;
	const int32 count = fPlayback->List().CountEntries();
	if (form == B_REVERSE_INDEX_SPECIFIER)
		value = count - 1 - value;
	else if (form != B_INDEX_SPECIFIER)
		return B_BAD_SCRIPT_SYNTAX;
	if (value < 0 || value >= count)
		return B_BAD_INDEX;
	*index = value;
	return B_OK;
}

void PlaylistHandler::_ReplyError(BMessage* message, status_t error, const char* text)
{
	if (!message->IsSourceWaiting())
		return;
	BMessage reply(B_MESSAGE_NOT_UNDERSTOOD);
	reply.AddInt32("error", error);
	reply.AddString("message", text);
	message->SendReply(&reply);
}

void PlaylistHandler::MessageReceived(BMessage* message)
{
	if (!is_playlist_command(message->what) || !message->HasSpecifiers()) {
		BHandler::MessageReceived(message);
		return;
	}

	if (message->what == B_COUNT_PROPERTIES) {
		BMessage reply(B_REPLY);
		reply.AddInt32("result", fPlayback->List().CountEntries());
		reply.AddInt32("error", B_OK);
		message->SendReply(&reply);
		return;
	}

	int32 index = -1;
	const status_t status = _EntryIndex(message, &index);
	if (status != B_OK) {
		_ReplyError(message, status, status == B_BAD_INDEX
			? "The playlist has no such entry" : "Didn't understand the specifier(s)");
		return;
	}

	if (message->what == B_GET_PROPERTY) {
		const PlaylistEntry* entry = fPlayback->List().EntryAt(index);
		BMessage reply(B_REPLY);
		reply.AddString("filename", entry->filename.c_str());
		reply.AddString("title", entry->title.c_str());
		reply.AddInt32("time", entry->length);
		reply.AddBool("played", entry->played);
		reply.AddInt32("nr", entry->number);
		reply.AddInt32("error", B_OK);
		message->SendReply(&reply);
		return;
	}

	// B_EXECUTE_PROPERTY: there is no sound to fade, so "Fade" changes
	// nothing; the entry starts at once.
	fPlayback->Select(index);
	if (message->IsSourceWaiting()) {
		BMessage reply(B_REPLY);
		reply.AddInt32("error", B_OK);
		message->SendReply(&reply);
	}
}
