#include <List.h>

#include <cstdlib>
#include <cstring>
#include <vector>


BList::BList(int32 count)
	:
	fItems(NULL),
	fCount(0),
	fCapacity(0),
	fBlockSize(count > 0 ? count : 1)
{
}


BList::BList(const BList& other)
	:
	fItems(NULL),
	fCount(0),
	fCapacity(0),
	fBlockSize(other.fBlockSize)
{
	*this = other;
}


BList::~BList()
{
	free(fItems);
}


BList&
BList::operator=(const BList& other)
{
	if (this == &other)
		return *this;
	fBlockSize = other.fBlockSize;
	fCount = 0;
	if (_Reserve(other.fCount)) {
		if (other.fCount > 0)
			memcpy(fItems, other.fItems, sizeof(void*) * (size_t)other.fCount);
		fCount = other.fCount;
	}
	return *this;
}


bool
BList::_Reserve(int32 count)
{
	if (count <= fCapacity)
		return true;
	// Grow by whole blocks, so that adding items one by one does not
	// reallocate every time.
	int64 capacity = ((int64)count + fBlockSize - 1) / fBlockSize * fBlockSize;
	if (capacity > INT32_MAX / (int64)sizeof(void*))
		return false;
	void** items = (void**)realloc(fItems, sizeof(void*) * (size_t)capacity);
	if (items == NULL)
		return false;
	fItems = items;
	fCapacity = (int32)capacity;
	return true;
}


bool
BList::AddItem(void* item)
{
	return AddItem(item, fCount);
}


bool
BList::AddItem(void* item, int32 index)
{
	if (index < 0 || index > fCount || fCount == INT32_MAX || !_Reserve(fCount + 1))
		return false;
	memmove(fItems + index + 1, fItems + index, sizeof(void*) * (size_t)(fCount - index));
	fItems[index] = item;
	fCount++;
	return true;
}


bool
BList::AddList(const BList* list)
{
	return list != NULL && AddList(list, fCount);
}


bool
BList::AddList(const BList* list, int32 index)
{
	if (list == NULL || index < 0 || index > fCount)
		return false;
	if (list->fCount == 0)
		return true;
	if ((int64)fCount + list->fCount > INT32_MAX)
		return false;
	// A copy, because `list` may be this list.
	std::vector<void*> items(list->fItems, list->fItems + list->fCount);
	int32 added = (int32)items.size();
	if (!_Reserve(fCount + added))
		return false;
	memmove(fItems + index + added, fItems + index, sizeof(void*) * (size_t)(fCount - index));
	memcpy(fItems + index, items.data(), sizeof(void*) * items.size());
	fCount += added;
	return true;
}


bool
BList::RemoveItem(void* item)
{
	int32 index = IndexOf(item);
	if (index < 0)
		return false;
	RemoveItem(index);
	return true;
}


void*
BList::RemoveItem(int32 index)
{
	if (index < 0 || index >= fCount)
		return NULL;
	void* item = fItems[index];
	RemoveItems(index, 1);
	return item;
}


bool
BList::RemoveItems(int32 index, int32 count)
{
	if (index < 0 || index >= fCount || count < 0)
		return false;
	if (count > fCount - index)
		count = fCount - index;
	memmove(fItems + index, fItems + index + count,
		sizeof(void*) * (size_t)(fCount - index - count));
	fCount -= count;
	return true;
}


bool
BList::ReplaceItem(int32 index, void* newItem)
{
	if (index < 0 || index >= fCount)
		return false;
	fItems[index] = newItem;
	return true;
}


void
BList::MakeEmpty()
{
	fCount = 0;
}


void
BList::SortItems(int (*compare)(const void*, const void*))
{
	if (compare != NULL && fCount > 1)
		qsort(fItems, (size_t)fCount, sizeof(void*), compare);
}


bool
BList::SwapItems(int32 indexA, int32 indexB)
{
	if (indexA < 0 || indexA >= fCount || indexB < 0 || indexB >= fCount)
		return false;
	void* item = fItems[indexA];
	fItems[indexA] = fItems[indexB];
	fItems[indexB] = item;
	return true;
}


bool
BList::MoveItem(int32 fromIndex, int32 toIndex)
{
	if (fromIndex < 0 || fromIndex >= fCount || toIndex < 0 || toIndex >= fCount)
		return false;
	void* item = fItems[fromIndex];
	if (fromIndex < toIndex) {
		memmove(fItems + fromIndex, fItems + fromIndex + 1,
			sizeof(void*) * (size_t)(toIndex - fromIndex));
	} else if (fromIndex > toIndex) {
		memmove(fItems + toIndex + 1, fItems + toIndex,
			sizeof(void*) * (size_t)(fromIndex - toIndex));
	}
	fItems[toIndex] = item;
	return true;
}


[[gnu::hot]] void*
BList::ItemAt(int32 index) const
{
	if (index < 0 || index >= fCount)
		return NULL;
	return fItems[index];
}


void*
BList::FirstItem() const
{
	return fCount > 0 ? fItems[0] : NULL;
}


void*
BList::LastItem() const
{
	return fCount > 0 ? fItems[fCount - 1] : NULL;
}


bool
BList::HasItem(void* item) const
{
	return IndexOf(item) >= 0;
}


int32
BList::IndexOf(void* item) const
{
	for (int32 i = 0; i < fCount; i++) {
		if (fItems[i] == item)
			return i;
	}
	return -1;
}


void
BList::DoForEach(bool (*func)(void* item))
{
	if (func == NULL)
		return;
	for (int32 i = 0; i < fCount; i++) {
		if (func(fItems[i]))
			break;
	}
}


void
BList::DoForEach(bool (*func)(void* item, void* arg), void* arg)
{
	if (func == NULL)
		return;
	for (int32 i = 0; i < fCount; i++) {
		if (func(fItems[i], arg))
			break;
	}
}
