// For the fuzz targets that read messages: goes through everything a
// message holds, as a program reading it would, and checks that it
// flattens and reads back to the same bytes.
#ifndef FUZZ_MESSAGE_WALK_H
#define FUZZ_MESSAGE_WALK_H

#include "fuzz/FuzzCheck.h"

#include <DataIO.h>
#include <Message.h>
#include <TypeConstants.h>

#include <string.h>

namespace fuzzcheck {

inline void walk_message(const BMessage& message, const char* target, int depth = 0)
{
	BMallocIO flat;
	check(message.Flatten(&flat) == B_OK, target, "a message read does not flatten");
	check((ssize_t)flat.BufferLength() == message.FlattenedSize(), target,
		"flattened size differs from FlattenedSize");
	flat.Seek(0, SEEK_SET);
	BMessage again;
	check(again.Unflatten(&flat) == B_OK, target, "own flattened form not read back");
	BMallocIO second;
	check(again.Flatten(&second) == B_OK && second.BufferLength() == flat.BufferLength()
		&& memcmp(second.Buffer(), flat.Buffer(), flat.BufferLength()) == 0, target,
		"flattened twice, the bytes differ");

	const char* name;
	type_code type;
	int32 count;
	for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
		for (int32 k = 0; k < count; k++) {
			const void* data;
			ssize_t size;
			check(message.FindData(name, type, k, &data, &size) == B_OK && size >= 0,
				target, "an item counted cannot be found");
			if (type == B_MESSAGE_TYPE) {
				BMessage inner;
				if (message.FindMessage(name, k, &inner) == B_OK)
					walk_message(inner, target, depth + 1);
			} else if (type == B_STRING_TYPE) {
				const char* text;
				(void)message.FindString(name, k, &text);
			}
		}
	}
}

}

#endif
