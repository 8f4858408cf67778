// A field's items, and field look-up. Messages hold few fields, so a
// linear search in insertion order is both the simplest and the fastest.
#include "app/MessageData.h"

#include <string.h>

#include <algorithm>
#include <utility>

namespace BPrivate {

namespace {

// Item offsets are kept in 32 bits.
const size_t kMostFieldBytes = UINT32_MAX;

// Room reserved ahead on a caller's estimate, at most; beyond it the
// buffer grows as items come.
const size_t kMostReserved = 1 << 20;

size_t padded(size_t size)
{
	return (size + 7) & ~(size_t)7;
}

}

// ---- MessageField

[[gnu::hot]] size_t MessageField::_Start(size_t index) const
{
	if (fixedSize)
		return index * (fBytes.size() / fCount);
	return index == 0 ? 0 : padded(fEnds[index - 1]);
}

[[gnu::hot]] size_t MessageField::_End(size_t index) const
{
	if (fixedSize)
		return (index + 1) * (fBytes.size() / fCount);
	return fEnds.empty() ? fBytes.size() : fEnds[index];
}

[[gnu::hot]] bool MessageField::AddItem(const void* data, size_t size)
{
	const uint8* bytes = static_cast<const uint8*>(data);
	if (fixedSize) {
		if ((fCount > 0 && size != fBytes.size() / fCount)
			|| size > kMostFieldBytes - fBytes.size())
			return false;
		fBytes.insert(fBytes.end(), bytes, bytes + size);
		fCount++;
		return true;
	}
	const size_t start = fCount == 0 ? 0 : padded(fBytes.size());
	if (start > kMostFieldBytes || size > kMostFieldBytes - start)
		return false;
	// One item needs no list of ends; the second starts it.
	if (fCount == 1)
		fEnds.push_back((uint32)fBytes.size());
	fBytes.resize(start, 0);
	fBytes.insert(fBytes.end(), bytes, bytes + size);
	if (fCount >= 1)
		fEnds.push_back((uint32)fBytes.size());
	fCount++;
	return true;
}

bool MessageField::ReplaceItem(size_t index, const void* data, size_t size)
{
	if (size == ItemSize(index)) {
		if (size > 0)
			memmove(fBytes.data() + _Start(index), data, size);
		return true;
	}
	if (fixedSize)
		return false;
	// The items after it move: the field is laid out anew.
	MessageField rebuilt;
	rebuilt.fixedSize = false;
	rebuilt.Reserve(fCount, fBytes.size() + size);
	for (size_t i = 0; i < fCount; i++) {
		const bool added = i == index ? rebuilt.AddItem(data, size)
			: rebuilt.AddItem(ItemData(i), ItemSize(i));
		if (!added)
			return false;
	}
	fBytes.swap(rebuilt.fBytes);
	fEnds.swap(rebuilt.fEnds);
	return true;
}

void MessageField::RemoveItem(size_t index)
{
	if (fixedSize) {
		const auto first = fBytes.begin() + (ptrdiff_t)_Start(index);
		fBytes.erase(first, first + (ptrdiff_t)ItemSize(index));
		fCount--;
		return;
	}
	MessageField rebuilt;
	rebuilt.fixedSize = false;
	rebuilt.Reserve(fCount - 1, fBytes.size());
	for (size_t i = 0; i < fCount; i++) {
		if (i != index)
			rebuilt.AddItem(ItemData(i), ItemSize(i));
	}
	fBytes.swap(rebuilt.fBytes);
	fEnds.swap(rebuilt.fEnds);
	fCount = rebuilt.fCount;
}

void MessageField::Reserve(size_t count, size_t totalBytes)
{
	fBytes.reserve(std::min(totalBytes, kMostReserved));
	if (!fixedSize && count > 1)
		fEnds.reserve(std::min(count, kMostReserved / sizeof(uint32)));
}

// ---- MessageData

[[gnu::hot]] MessageField* MessageData::Find(const char* name)
{
	return const_cast<MessageField*>(std::as_const(*this).Find(name));
}

[[gnu::hot]] const MessageField* MessageData::Find(const char* name) const
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
