// BMessage: fields of every type, look-up errors, specifiers, and the
// flattened form as seen through BMessage.
#include <DataIO.h>
#include <Entry.h>
#include <Message.h>
#include <Messenger.h>
#include <String.h>

#include <gtest/gtest.h>

#include "TestUtil.h"

#include <string.h>

#include <string>
#include <vector>

namespace {

// A message holding one field of every kind the kit knows.
void fill_every_type(BMessage* m, const entry_ref& ref)
{
	ASSERT_EQ(m->AddBool("bool", true), B_OK);
	ASSERT_EQ(m->AddInt8("int8", -8), B_OK);
	ASSERT_EQ(m->AddInt16("int16", -1600), B_OK);
	ASSERT_EQ(m->AddInt32("int32", -320000), B_OK);
	ASSERT_EQ(m->AddInt64("int64", -6400000000LL), B_OK);
	ASSERT_EQ(m->AddFloat("float", 1.5f), B_OK);
	ASSERT_EQ(m->AddDouble("double", -2.25), B_OK);
	ASSERT_EQ(m->AddString("string", "héllo"), B_OK);
	ASSERT_EQ(m->AddString("string", BString("second")), B_OK);
	ASSERT_EQ(m->AddPointer("pointer", m), B_OK);
	ASSERT_EQ(m->AddRect("rect", BRect(1, 2, 30, 40)), B_OK);
	ASSERT_EQ(m->AddPoint("point", BPoint(-3, 4.5f)), B_OK);
	ASSERT_EQ(m->AddRef("ref", &ref), B_OK);
	BMessage nested('nest');
	nested.AddString("inner", "deep");
	ASSERT_EQ(m->AddMessage("message", &nested), B_OK);
	ASSERT_EQ(m->AddMessenger("messenger", BMessenger()), B_OK);
	const uint8 fixed[3] = {1, 2, 3};
	ASSERT_EQ(m->AddData("fixed", 'FIXD', fixed, 3, true), B_OK);
	ASSERT_EQ(m->AddData("fixed", 'FIXD', fixed, 3, true), B_OK);
	ASSERT_EQ(m->AddData("varied", 'VARD', "ab", 2, false), B_OK);
	ASSERT_EQ(m->AddData("varied", 'VARD', "cdefg", 5, false), B_OK);
}

void expect_every_type(const BMessage& m, const entry_ref& ref, const BMessage* self)
{
	bool b = false;
	EXPECT_EQ(m.FindBool("bool", &b), B_OK);
	EXPECT_TRUE(b);
	EXPECT_EQ(m.FindInt8("int8"), -8);
	EXPECT_EQ(m.FindInt16("int16"), -1600);
	EXPECT_EQ(m.FindInt32("int32"), -320000);
	EXPECT_EQ(m.FindInt64("int64"), -6400000000LL);
	EXPECT_EQ(m.FindFloat("float"), 1.5f);
	EXPECT_EQ(m.FindDouble("double"), -2.25);
	EXPECT_STREQ(m.FindString("string"), "héllo");
	BString second;
	EXPECT_EQ(m.FindString("string", 1, &second), B_OK);
	EXPECT_STREQ(second.String(), "second");
	void* pointer = NULL;
	EXPECT_EQ(m.FindPointer("pointer", &pointer), B_OK);
	EXPECT_EQ(pointer, self);
	EXPECT_EQ(m.FindRect("rect"), BRect(1, 2, 30, 40));
	EXPECT_EQ(m.FindPoint("point"), BPoint(-3, 4.5f));
	entry_ref found;
	EXPECT_EQ(m.FindRef("ref", &found), B_OK);
	EXPECT_EQ(found, ref);
	BMessage nested;
	EXPECT_EQ(m.FindMessage("message", &nested), B_OK);
	EXPECT_EQ(nested.what, (uint32)'nest');
	EXPECT_STREQ(nested.FindString("inner"), "deep");
	BMessenger messenger;
	EXPECT_EQ(m.FindMessenger("messenger", &messenger), B_OK);
	EXPECT_FALSE(messenger.IsValid());
	const void* data;
	ssize_t size;
	EXPECT_EQ(m.FindData("fixed", 'FIXD', 1, &data, &size), B_OK);
	EXPECT_EQ(size, 3);
	EXPECT_EQ(memcmp(data, "\1\2\3", 3), 0);
	EXPECT_EQ(m.FindData("varied", 'VARD', 1, &data, &size), B_OK);
	EXPECT_EQ(std::string(static_cast<const char*>(data), (size_t)size), "cdefg");
}

}

TEST(Message, EveryTypeSurvivesCopyAndFlattening)
{
	testutil::TempDir dir;
	std::string file = dir.Write("song.lrc", "[00:01]la");
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path(file.c_str(), &ref), B_OK);

	BMessage original('EVRY');
	fill_every_type(&original, ref);
	expect_every_type(original, ref, &original);

	BMessage copy(original);
	EXPECT_EQ(copy.what, (uint32)'EVRY');
	expect_every_type(copy, ref, &original);

	// Through a buffer.
	ssize_t size = original.FlattenedSize();
	ASSERT_GT(size, 0);
	std::vector<char> buffer((size_t)size);
	ASSERT_EQ(original.Flatten(buffer.data(), size), B_OK);
	EXPECT_EQ(original.Flatten(buffer.data(), size - 1), B_NO_MEMORY);
	BMessage fromBuffer;
	ASSERT_EQ(fromBuffer.Unflatten(buffer.data()), B_OK);
	EXPECT_EQ(fromBuffer.what, (uint32)'EVRY');
	expect_every_type(fromBuffer, ref, &original);

	// Through a stream, and field order and counts are kept.
	BMallocIO stream;
	ssize_t written = 0;
	ASSERT_EQ(original.Flatten(&stream, &written), B_OK);
	EXPECT_EQ(written, size);
	stream.Seek(0, SEEK_SET);
	BMessage fromStream;
	ASSERT_EQ(fromStream.Unflatten(&stream), B_OK);
	expect_every_type(fromStream, ref, &original);
	ASSERT_EQ(fromStream.CountNames(B_ANY_TYPE), original.CountNames(B_ANY_TYPE));
	for (int32 i = 0; i < original.CountNames(B_ANY_TYPE); i++) {
		const char* a;
		const char* b;
		type_code ta, tb;
		int32 ca, cb;
		ASSERT_EQ(original.GetInfo(B_ANY_TYPE, i, &a, &ta, &ca), B_OK);
		ASSERT_EQ(fromStream.GetInfo(B_ANY_TYPE, i, &b, &tb, &cb), B_OK);
		EXPECT_STREQ(a, b);
		EXPECT_EQ(ta, tb);
		EXPECT_EQ(ca, cb);
	}
}

TEST(Message, LookUpErrorsLeaveTheDestinationAlone)
{
	BMessage m;
	m.AddInt32("number", 7);
	m.AddString("text", "x");

	int32 value = 42;
	EXPECT_EQ(m.FindInt32("missing", &value), B_NAME_NOT_FOUND);
	EXPECT_EQ(m.FindInt32("text", &value), B_BAD_TYPE);
	EXPECT_EQ(m.FindInt32("number", 1, &value), B_BAD_INDEX);
	EXPECT_EQ(m.FindInt32("number", -1, &value), B_BAD_INDEX);
	EXPECT_EQ(value, 42);
	const char* text = "kept";
	EXPECT_EQ(m.FindString("number", &text), B_BAD_TYPE);
	EXPECT_STREQ(text, "kept");
	BRect rect(1, 1, 2, 2);
	EXPECT_EQ(m.FindRect("missing", &rect), B_NAME_NOT_FOUND);
	EXPECT_EQ(rect, BRect(1, 1, 2, 2));

	// The older value-returning forms give zero values.
	EXPECT_EQ(m.FindInt32("missing"), 0);
	EXPECT_EQ(m.FindString("missing"), nullptr);
	EXPECT_FALSE(m.FindRect("missing").IsValid());

	EXPECT_EQ(m.ReplaceInt32("missing", 1), B_NAME_NOT_FOUND);
	EXPECT_EQ(m.ReplaceInt32("text", 1), B_BAD_TYPE);
	EXPECT_EQ(m.ReplaceInt32("number", 3, 1), B_BAD_INDEX);
	EXPECT_EQ(m.ReplaceString("text", "longer text"), B_OK);
	EXPECT_STREQ(m.FindString("text"), "longer text");
	EXPECT_EQ(m.ReplaceInt32("number", 8), B_OK);
	EXPECT_EQ(m.FindInt32("number"), 8);

	EXPECT_EQ(m.RemoveData("number", 2), B_BAD_INDEX);
	EXPECT_EQ(m.RemoveData("missing"), B_NAME_NOT_FOUND);
	EXPECT_EQ(m.RemoveName("missing"), B_NAME_NOT_FOUND);
}

TEST(Message, FieldsKeepOneTypeAndItemSize)
{
	BMessage m;
	EXPECT_EQ(m.AddInt32("n", 1), B_OK);
	EXPECT_EQ(m.AddInt16("n", 1), B_BAD_TYPE);
	EXPECT_EQ(m.AddData("n", B_INT32_TYPE, "ab", 2, true), B_BAD_VALUE);
	EXPECT_EQ(m.AddData("n", B_INT32_TYPE, "abcd", 4, false), B_BAD_TYPE);
	EXPECT_EQ(m.AddData("x", B_ANY_TYPE, "a", 1), B_BAD_VALUE);
	EXPECT_EQ(m.AddString(NULL, "a"), B_BAD_VALUE);
	EXPECT_EQ(m.AddString("s", NULL), B_BAD_VALUE);
	EXPECT_EQ(m.AddInt32(std::string(256, 'n').c_str(), 1), B_BAD_VALUE);
	EXPECT_EQ(m.AddInt32(std::string(255, 'n').c_str(), 1), B_OK);

	type_code type;
	int32 count;
	bool fixedSize;
	EXPECT_EQ(m.GetInfo("n", &type, &count), B_OK);
	EXPECT_EQ(type, (type_code)B_INT32_TYPE);
	EXPECT_EQ(count, 1);
	EXPECT_EQ(m.GetInfo("n", &type, &fixedSize), B_OK);
	EXPECT_TRUE(fixedSize);
	EXPECT_EQ(m.GetInfo("zz", &type, &count), B_NAME_NOT_FOUND);
	const char* name;
	EXPECT_EQ(m.GetInfo(B_INT32_TYPE, 1, &name, &type, &count), B_OK);
	EXPECT_EQ(strlen(name), 255u);
	EXPECT_EQ(m.GetInfo(B_INT32_TYPE, 2, &name, &type), B_BAD_INDEX);
	EXPECT_EQ(m.GetInfo(B_STRING_TYPE, 0, &name, &type), B_BAD_TYPE);
	EXPECT_EQ(m.CountNames(B_INT32_TYPE), 2);
	EXPECT_EQ(m.CountNames(B_STRING_TYPE), 0);

	// Removing the last item removes the field.
	EXPECT_EQ(m.RemoveData("n"), B_OK);
	EXPECT_FALSE(m.HasInt32("n"));
	EXPECT_EQ(m.CountNames(B_ANY_TYPE), 1);

	EXPECT_EQ(m.AddInt32("a", 1), B_OK);
	EXPECT_EQ(m.AddInt32("b", 2), B_OK);
	EXPECT_EQ(m.Rename("a", "b"), B_NAME_IN_USE);
	EXPECT_EQ(m.Rename("a", "c"), B_OK);
	EXPECT_EQ(m.FindInt32("c"), 1);
	EXPECT_EQ(m.Rename("a", "d"), B_NAME_NOT_FOUND);

	m.MakeEmpty();
	EXPECT_TRUE(m.IsEmpty());
}

// Items of one field share a buffer: editing one item must leave the
// others as they were, every item must stay aligned for the value read
// from it, and items of other fields must not move.
TEST(Message, EditedItemsLeaveTheOthersWholeAndAligned)
{
	BMessage m;
	const char* texts[] = {"a", "three", "", "a longer one, past eight bytes", "z"};
	for (const char* text : texts)
		ASSERT_EQ(m.AddString("s", text), B_OK);
	ASSERT_EQ(m.AddData("raw", B_RAW_TYPE, "xyz", 3, false), B_OK);
	ASSERT_EQ(m.AddInt64("raw64", 1), B_OK);
	const char* kept = m.FindString("s", 4);

	// Fields added after it leave its items where they are.
	for (int i = 0; i < 40; i++)
		ASSERT_EQ(m.AddInt32(("n" + std::to_string(i)).c_str(), i), B_OK);
	EXPECT_EQ(m.FindString("s", 4), kept);
	EXPECT_STREQ(kept, "z");

	ASSERT_EQ(m.ReplaceString("s", 1, "now much longer than it was"), B_OK);
	ASSERT_EQ(m.ReplaceString("s", 3, "short"), B_OK);
	ASSERT_EQ(m.RemoveData("s", 0), B_OK);
	const char* expected[] = {"now much longer than it was", "", "short", "z"};
	for (int32 i = 0; i < 4; i++)
		EXPECT_STREQ(m.FindString("s", i), expected[i]) << i;
	EXPECT_EQ(m.FindString("s", 4), nullptr);

	for (int32 i = 0; i < 4; i++) {
		const void* data;
		ssize_t size;
		ASSERT_EQ(m.FindData("s", B_STRING_TYPE, i, &data, &size), B_OK);
		EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % 8, 0u) << i;
		EXPECT_EQ(size, (ssize_t)strlen(expected[i]) + 1);
	}
	for (int64 i = 2; i <= 5; i++)
		ASSERT_EQ(m.AddInt64("raw64", i), B_OK);
	ASSERT_EQ(m.RemoveData("raw64", 1), B_OK);
	for (int32 i = 0; i < 4; i++) {
		const void* data;
		ssize_t size;
		ASSERT_EQ(m.FindData("raw64", B_INT64_TYPE, i, &data, &size), B_OK);
		EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % 8, 0u);
		EXPECT_EQ(*static_cast<const int64*>(data), i == 0 ? 1 : i + 2);
	}

	// A copy and the flattened form hold the same items.
	BMessage copy(m);
	BMessage back;
	BMallocIO flat;
	ASSERT_EQ(copy.Flatten(&flat), B_OK);
	ASSERT_EQ(back.Unflatten(static_cast<const char*>(flat.Buffer())), B_OK);
	for (const BMessage* other : {&copy, &back}) {
		for (int32 i = 0; i < 4; i++)
			EXPECT_STREQ(other->FindString("s", i), expected[i]);
		EXPECT_EQ(other->FindInt64("raw64", 3), 5);
	}
}

// Going from one field to two and back, through copies and emptying, the
// fields keep their items, their order and the pointers into them.
TEST(Message, FieldsCrossingFromOneToTwoKeepTheirItems)
{
	BMessage m('one');
	ASSERT_EQ(m.AddString("first", "kept where it is"), B_OK);
	const char* first = m.FindString("first");
	ASSERT_EQ(m.AddInt32("second", 2), B_OK);
	EXPECT_EQ(m.FindString("first"), first);
	EXPECT_STREQ(first, "kept where it is");

	// Down to one field again, then copied, emptied and filled anew.
	ASSERT_EQ(m.RemoveName("first"), B_OK);
	EXPECT_EQ(m.CountNames(B_ANY_TYPE), 1);
	BMessage copy(m);
	EXPECT_EQ(copy.FindInt32("second"), 2);
	ASSERT_EQ(copy.AddString("third", "3"), B_OK);
	char* name;
	type_code type;
	ASSERT_EQ(copy.GetInfo(B_ANY_TYPE, 1, &name, &type), B_OK);
	EXPECT_STREQ(name, "third");
	EXPECT_FALSE(m.HasString("third"));

	ASSERT_EQ(m.RemoveName("second"), B_OK);
	EXPECT_TRUE(m.IsEmpty());
	ASSERT_EQ(m.AddBool("again", true), B_OK);
	EXPECT_TRUE(m.FindBool("again"));
	m = copy;
	EXPECT_EQ(m.CountNames(B_ANY_TYPE), 2);
	EXPECT_STREQ(m.FindString("third"), "3");
	m.MakeEmpty();
	EXPECT_TRUE(m.IsEmpty());
	EXPECT_EQ(copy.FindInt32("second"), 2);
}

TEST(Message, DamagedItemsAreRefusedNotOverRead)
{
	BMessage m;
	// A string without its NUL, and an int32 field with short items, as a
	// foreign flattened message could carry them.
	ASSERT_EQ(m.AddData("text", B_STRING_TYPE, "abc", 3, false), B_OK);
	ASSERT_EQ(m.AddData("number", B_INT32_TYPE, "ab", 2, true), B_OK);
	ASSERT_EQ(m.AddData("flag", B_BOOL_TYPE, "\x7f", 1, true), B_OK);
	const char* text = NULL;
	EXPECT_EQ(m.FindString("text", &text), B_BAD_VALUE);
	int32 number = 5;
	EXPECT_EQ(m.FindInt32("number", &number), B_BAD_VALUE);
	EXPECT_EQ(number, 5);
	bool flag = false;
	EXPECT_EQ(m.FindBool("flag", &flag), B_OK);
	EXPECT_TRUE(flag);
	BMessage nested;
	ASSERT_EQ(m.AddData("nested", B_MESSAGE_TYPE, "not a message", 13, false), B_OK);
	EXPECT_NE(m.FindMessage("nested", &nested), B_OK);
}

TEST(Message, UnflattenRejectsBadStreams)
{
	BMessage m('abcd');
	m.AddString("s", "some text");
	ssize_t size = m.FlattenedSize();
	std::vector<char> flat((size_t)size);
	ASSERT_EQ(m.Flatten(flat.data(), size), B_OK);

	BMessage target('keep');
	target.AddInt32("old", 1);
	BMemoryIO truncated(flat.data(), (size_t)size - 3);
	EXPECT_NE(target.Unflatten(&truncated), B_OK);
	EXPECT_EQ(target.what, (uint32)'keep');
	EXPECT_TRUE(target.HasInt32("old"));

	std::vector<char> junk(64, 'x');
	BMemoryIO notMessage(junk.data(), junk.size());
	EXPECT_EQ(target.Unflatten(&notMessage), B_NOT_A_MESSAGE);

	// A header announcing a gigabyte, followed by nothing: refused without
	// trying to hold the announced size.
	std::vector<char> huge(flat.begin(), flat.begin() + 12);
	int32 claimed = 1 << 30;
	memcpy(huge.data() + 8, &claimed, 4);
	BMemoryIO lying(huge.data(), huge.size());
	EXPECT_NE(target.Unflatten(&lying), B_OK);
	EXPECT_EQ(target.Unflatten((BDataIO*)NULL), B_BAD_VALUE);
	EXPECT_EQ(target.Unflatten((const char*)NULL), B_BAD_VALUE);
}

TEST(Message, Specifiers)
{
	BMessage m(B_GET_PROPERTY);
	EXPECT_FALSE(m.HasSpecifiers());
	int32 index;
	EXPECT_EQ(m.GetCurrentSpecifier(&index), B_BAD_SCRIPT_SYNTAX);

	ASSERT_EQ(m.AddSpecifier("Frame"), B_OK);
	ASSERT_EQ(m.AddSpecifier("View", (int32)3), B_OK);
	ASSERT_EQ(m.AddSpecifier("Window", "Lyrics"), B_OK);
	EXPECT_TRUE(m.HasSpecifiers());
	EXPECT_EQ(m.AddSpecifier((const char*)NULL), B_BAD_VALUE);

	// Flattening keeps them, and the current one is the last added.
	BMallocIO stream;
	ASSERT_EQ(m.Flatten(&stream), B_OK);
	stream.Seek(0, SEEK_SET);
	BMessage copy;
	ASSERT_EQ(copy.Unflatten(&stream), B_OK);

	for (BMessage* msg : {&m, &copy}) {
		BMessage specifier;
		int32 form;
		const char* property;
		ASSERT_EQ(msg->GetCurrentSpecifier(&index, &specifier, &form, &property), B_OK);
		EXPECT_EQ(index, 2);
		EXPECT_EQ(form, B_NAME_SPECIFIER);
		EXPECT_STREQ(property, "Window");
		EXPECT_STREQ(specifier.FindString("name"), "Lyrics");

		ASSERT_EQ(msg->PopSpecifier(), B_OK);
		ASSERT_EQ(msg->GetCurrentSpecifier(&index, &specifier, &form, &property), B_OK);
		EXPECT_EQ(form, B_INDEX_SPECIFIER);
		EXPECT_STREQ(property, "View");
		EXPECT_EQ(specifier.FindInt32("index"), 3);

		ASSERT_EQ(msg->PopSpecifier(), B_OK);
		ASSERT_EQ(msg->GetCurrentSpecifier(&index, NULL, &form), B_OK);
		EXPECT_EQ(form, B_DIRECT_SPECIFIER);
		ASSERT_EQ(msg->PopSpecifier(), B_OK);
		EXPECT_EQ(msg->GetCurrentSpecifier(&index), B_BAD_SCRIPT_SYNTAX);
		EXPECT_EQ(msg->PopSpecifier(), B_BAD_VALUE);
		EXPECT_EQ(msg->SetCurrentSpecifier(1), B_OK);
		EXPECT_EQ(msg->SetCurrentSpecifier(3), B_BAD_INDEX);
	}
}

TEST(Message, SystemCodesAndFreshState)
{
	EXPECT_TRUE(BMessage(B_QUIT_REQUESTED).IsSystem());
	EXPECT_TRUE(BMessage(B_WINDOW_MOVED).IsSystem());
	EXPECT_FALSE(BMessage('_nlc').IsSystem());
	EXPECT_FALSE(BMessage('_lgc').IsSystem());
	EXPECT_FALSE(BMessage('pcir').IsSystem());

	BMessage fresh('abcd');
	EXPECT_FALSE(fresh.WasDelivered());
	EXPECT_FALSE(fresh.IsSourceWaiting());
	EXPECT_FALSE(fresh.IsSourceRemote());
	EXPECT_FALSE(fresh.IsReply());
	EXPECT_FALSE(fresh.WasDropped());
	EXPECT_EQ(fresh.Previous(), nullptr);
	EXPECT_FALSE(fresh.ReturnAddress().IsValid());
	EXPECT_EQ(fresh.SendReply('nope'), B_BAD_REPLY);
}
