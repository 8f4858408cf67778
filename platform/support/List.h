// BList: an ordered list of untyped pointers.
//
// The list owns only its array of pointers, never the items they point to:
// removing an item or deleting the list leaves the item alone. Indexes run
// from 0; calls with an index out of range fail (false or NULL) and leave the
// list unchanged.
#ifndef _BE_LIST_H
#define _BE_LIST_H

#include <SupportDefs.h>

class BList {
public:
	// `count` is how many items the list makes room for at a time.
	BList(int32 count = 20);
	BList(const BList& other);
	virtual ~BList();

	BList& operator=(const BList& other);

	// ---- Adding and removing
	bool AddItem(void* item);
	bool AddItem(void* item, int32 index);
	bool AddList(const BList* list);
	bool AddList(const BList* list, int32 index);
	// Removes the first occurrence of `item`.
	bool RemoveItem(void* item);
	// Returns the removed item, or NULL.
	void* RemoveItem(int32 index);
	// Removes up to `count` items from `index` on.
	bool RemoveItems(int32 index, int32 count);
	bool ReplaceItem(int32 index, void* newItem);
	void MakeEmpty();

	// ---- Reordering
	// qsort order: `compare` receives pointers to two entries of the list
	// (that is, pointers to the item pointers).
	void SortItems(int (*compare)(const void*, const void*));
	bool SwapItems(int32 indexA, int32 indexB);
	bool MoveItem(int32 fromIndex, int32 toIndex);

	// ---- Reading
	void* ItemAt(int32 index) const;
	void* ItemAtFast(int32 index) const { return fItems[index]; }
	void* FirstItem() const;
	void* LastItem() const;
	// The array of item pointers; valid until the list next changes.
	void* Items() const { return fItems; }

	bool HasItem(void* item) const;
	int32 IndexOf(void* item) const;
	int32 CountItems() const { return fCount; }
	bool IsEmpty() const { return fCount == 0; }

	// Calls `func` on each item in order until it returns true.
	void DoForEach(bool (*func)(void* item));
	void DoForEach(bool (*func)(void* item, void* arg), void* arg);

private:
	bool _Reserve(int32 count);

	void** fItems;
	int32 fCount;
	int32 fCapacity;
	int32 fBlockSize;
};

#endif
