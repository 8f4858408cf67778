#include "PlayerState.h"

#include "HostProtocol.h"

#include <Message.h>

#include <stdio.h>

bool PlayerState::Read(const BMessage* message)
{
	int32 newIndex = -1;
	if (message == NULL || message->FindInt32(MELODECK_FIELD_INDEX, &newIndex) != B_OK)
		return false;
	index = newIndex;
	message->FindInt32(MELODECK_FIELD_COUNT, &count);
	message->FindInt32(MELODECK_FIELD_POSITION, &position);
	message->FindInt32(MELODECK_FIELD_LENGTH, &length);
	message->FindBool(MELODECK_FIELD_PLAYING, &playing);
	const char* text = NULL;
	if (message->FindString(MELODECK_FIELD_TITLE, &text) == B_OK)
		title = text;
	if (message->FindString(MELODECK_FIELD_PROBLEM, &text) == B_OK)
		problem = text;
	message->FindBool(MELODECK_FIELD_AUDIO, &audio);
	message->FindInt32(MELODECK_FIELD_VOLUME, &volume);
	message->FindBool(MELODECK_FIELD_MUTED, &muted);
	if (index < 0) {
		title.clear();
		position = length = 0;
	}
	return true;
}

bool PlayerState::SameButPosition(const PlayerState& other) const
{
	return index == other.index && count == other.count && length == other.length
		&& playing == other.playing && title == other.title && problem == other.problem
		&& audio == other.audio && volume == other.volume && muted == other.muted;
}

std::string format_play_time(int32 ms)
{
	if (ms < 0)
		ms = 0;
	const int32 seconds = ms / 1000;
	char buffer[32];
	snprintf(buffer, sizeof(buffer), "%d:%02d", (int)(seconds / 60), (int)(seconds % 60));
	return buffer;
}
