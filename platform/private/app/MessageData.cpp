// Field look-up. Messages hold few fields, so a linear search in insertion
// order is both the simplest and the fastest.
#include "app/MessageData.h"

#include <string.h>

#include <utility>

namespace BPrivate {

MessageField* MessageData::Find(const char* name)
{
	return const_cast<MessageField*>(std::as_const(*this).Find(name));
}

const MessageField* MessageData::Find(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	size_t length = strlen(name);
	for (const MessageField& field : fields) {
		if (field.name.size() == length
			&& memcmp(field.name.data(), name, length) == 0)
			return &field;
	}
	return nullptr;
}

}
