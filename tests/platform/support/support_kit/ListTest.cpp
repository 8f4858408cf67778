// BList: indexes at the edges, moving items, and lists added to themselves.
#include <List.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

void*
item(intptr_t value)
{
	return (void*)value;
}

// The list's items as numbers, for comparing in one go.
std::vector<intptr_t>
contents(const BList& list)
{
	std::vector<intptr_t> values;
	for (int32 i = 0; i < list.CountItems(); i++)
		values.push_back((intptr_t)list.ItemAt(i));
	return values;
}

int
compare_numbers(const void* a, const void* b)
{
	intptr_t first = *(const intptr_t*)a;
	intptr_t second = *(const intptr_t*)b;
	return first < second ? -1 : first > second ? 1 : 0;
}

}	// namespace


TEST(List, AddAndRemoveAtTheEdges)
{
	BList list(2);  // small blocks, so that it grows several times
	EXPECT_TRUE(list.IsEmpty());
	EXPECT_EQ(nullptr, list.FirstItem());
	EXPECT_EQ(nullptr, list.LastItem());
	EXPECT_EQ(nullptr, list.ItemAt(0));
	EXPECT_EQ(nullptr, list.RemoveItem((int32)0));

	for (intptr_t i = 1; i <= 5; i++)
		EXPECT_TRUE(list.AddItem(item(i)));
	EXPECT_TRUE(list.AddItem(item(0), 0));
	EXPECT_TRUE(list.AddItem(item(6), 6));        // at the end
	EXPECT_FALSE(list.AddItem(item(9), 8));       // past the end
	EXPECT_FALSE(list.AddItem(item(9), -1));
	EXPECT_EQ((std::vector<intptr_t>{ 0, 1, 2, 3, 4, 5, 6 }), contents(list));

	EXPECT_EQ(nullptr, list.ItemAt(7));
	EXPECT_EQ(nullptr, list.ItemAt(-1));
	EXPECT_EQ(item(0), list.FirstItem());
	EXPECT_EQ(item(6), list.LastItem());

	EXPECT_EQ(item(6), list.RemoveItem(6));
	EXPECT_TRUE(list.RemoveItem(item(0)));
	EXPECT_FALSE(list.RemoveItem(item(42)));
	EXPECT_TRUE(list.RemoveItems(3, 100));        // cut to the end
	EXPECT_FALSE(list.RemoveItems(3, 1));
	EXPECT_EQ((std::vector<intptr_t>{ 1, 2, 3 }), contents(list));

	EXPECT_TRUE(list.ReplaceItem(1, item(20)));
	EXPECT_FALSE(list.ReplaceItem(3, item(30)));
	EXPECT_TRUE(list.HasItem(item(20)));
	EXPECT_EQ(-1, list.IndexOf(item(2)));
	list.MakeEmpty();
	EXPECT_EQ(0, list.CountItems());
}


TEST(List, AddListCopyAndReorder)
{
	BList list;
	for (intptr_t i = 0; i < 3; i++)
		list.AddItem(item(i));
	EXPECT_TRUE(list.AddList(&list, 1));          // into itself
	EXPECT_EQ((std::vector<intptr_t>{ 0, 0, 1, 2, 1, 2 }), contents(list));
	EXPECT_FALSE(list.AddList(&list, 7));
	EXPECT_FALSE(list.AddList(NULL));

	BList copy(list);
	EXPECT_EQ(contents(list), contents(copy));
	copy.RemoveItem((int32)0);
	EXPECT_EQ(6, list.CountItems());              // independent arrays

	EXPECT_TRUE(list.MoveItem(0, 5));
	EXPECT_EQ((std::vector<intptr_t>{ 0, 1, 2, 1, 2, 0 }), contents(list));
	EXPECT_TRUE(list.MoveItem(4, 1));
	EXPECT_EQ((std::vector<intptr_t>{ 0, 2, 1, 2, 1, 0 }), contents(list));
	EXPECT_FALSE(list.MoveItem(0, 6));
	EXPECT_TRUE(list.SwapItems(0, 1));
	EXPECT_FALSE(list.SwapItems(0, 6));

	list.SortItems(compare_numbers);
	EXPECT_EQ((std::vector<intptr_t>{ 0, 0, 1, 1, 2, 2 }), contents(list));

	// DoForEach stops at the first true.
	int visited = 0;
	list.DoForEach([](void* value, void* count) {
		(*(int*)count)++;
		return (intptr_t)value == 1;
	}, &visited);
	EXPECT_EQ(3, visited);
}
