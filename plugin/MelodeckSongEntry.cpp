#include "MelodeckSongEntry.h"

#include <stdlib.h>
#include <string.h>

static char* copy_or_null(const char* text)
{
	return text != nullptr && text[0] != '\0' ? strdup(text) : nullptr;
}

MelodeckSongEntry::~MelodeckSongEntry()
{
	free(filename);
	free(title);
}

void MelodeckSongEntry::Clear()
{
	free(filename);
	free(title);
	filename = nullptr;
	title = nullptr;
	time = 0;
	nr = 0;
	played = false;
}

void MelodeckSongEntry::SetStrings(const char* newFilename, const char* newTitle)
{
	char* f = copy_or_null(newFilename);
	char* t = copy_or_null(newTitle);
	free(filename);
	free(title);
	filename = f;
	title = t;
}

void MelodeckSongEntry::TakeFrom(MelodeckSongEntry& other)
{
	if (&other == this)
		return;
	Clear();
	filename = other.filename;
	title = other.title;
	time = other.time;
	nr = other.nr;
	played = other.played;
	other.filename = nullptr;
	other.title = nullptr;
	other.Clear();
}
