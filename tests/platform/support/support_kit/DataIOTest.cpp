// BMallocIO and BMemoryIO: seeking, growth, bounds, and the BPositionIO
// stream calls built on them.
#include <DataIO.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>


TEST(DataIO, MallocIOGrowsAndFillsGapsWithZeros)
{
	BMallocIO io;
	io.SetBlockSize(4);
	EXPECT_EQ(nullptr, io.Buffer());
	EXPECT_EQ(5, io.Write("hello", 5));
	EXPECT_EQ(5, io.Position());
	EXPECT_EQ(5u, io.BufferLength());

	// Past the end: the gap reads as zeros.
	EXPECT_EQ(8, io.Seek(3, SEEK_CUR));
	EXPECT_EQ(2, io.Write("!!", 2));
	ASSERT_EQ(10u, io.BufferLength());
	EXPECT_EQ(0, memcmp(io.Buffer(), "hello\0\0\0!!", 10));

	off_t size = 0;
	EXPECT_EQ(B_OK, io.GetSize(&size));
	EXPECT_EQ(10, size);
	EXPECT_EQ(10, io.Position());  // GetSize put the position back

	// Read through the position.
	char buffer[16];
	EXPECT_EQ(0, io.Seek(0, SEEK_SET));
	EXPECT_EQ(4, io.Read(buffer, 4));
	EXPECT_EQ(0, memcmp(buffer, "hell", 4));
	EXPECT_EQ(7, io.Seek(-3, SEEK_END));
	EXPECT_EQ(3, io.Read(buffer, sizeof(buffer)));
	EXPECT_EQ(0, io.Read(buffer, sizeof(buffer)));  // at the end
	EXPECT_EQ(0, io.ReadAt(100, buffer, 4));

	// Bad seeks leave the position alone.
	EXPECT_EQ(B_BAD_VALUE, io.Seek(-1, SEEK_SET));
	EXPECT_EQ(B_BAD_VALUE, io.Seek(-11, SEEK_END));
	EXPECT_EQ(B_BAD_VALUE, io.Seek(0, 7));
	EXPECT_EQ(10, io.Position());
	EXPECT_EQ(B_BAD_VALUE, io.WriteAt(-1, "x", 1));

	EXPECT_EQ(B_OK, io.SetSize(2));
	EXPECT_EQ(B_OK, io.SetSize(4));
	EXPECT_EQ(0, memcmp(io.Buffer(), "he\0\0", 4));
	EXPECT_EQ(B_NO_MEMORY, io.WriteAt(INT64_MAX - 1, "xyz", 3));
}


TEST(DataIO, MemoryIOStaysInsideItsBuffer)
{
	char storage[8] = "abcdefg";
	BMemoryIO io(storage, 6);
	char buffer[16];
	EXPECT_EQ(6, io.ReadAt(0, buffer, sizeof(buffer)));
	EXPECT_EQ(2, io.ReadAt(4, buffer, sizeof(buffer)));

	// A write that does not fit is cut short; one with no room fails.
	EXPECT_EQ(2, io.WriteAt(4, "XYZ", 3));
	EXPECT_EQ(0, memcmp(storage, "abcdXYg", 7));
	EXPECT_EQ(B_DEVICE_FULL, io.WriteAt(6, "Q", 1));
	EXPECT_EQ(0, io.WriteAt(6, "Q", 0));

	// Shrinking and writing past the new end zeroes what lies between.
	EXPECT_EQ(B_OK, io.SetSize(2));
	EXPECT_EQ(B_BAD_VALUE, io.SetSize(7));
	EXPECT_EQ(2, io.Seek(0, SEEK_END));
	EXPECT_EQ(1, io.WriteAt(4, "!", 1));
	EXPECT_EQ(0, memcmp(storage, "ab\0\0!Y", 6));
	off_t size;
	EXPECT_EQ(B_OK, io.GetSize(&size));
	EXPECT_EQ(5, size);

	EXPECT_EQ(3, io.Seek(-2, SEEK_END));
	EXPECT_EQ(2, io.Read(buffer, sizeof(buffer)));
	EXPECT_EQ(5, io.Position());

	const char text[] = "read only";
	BMemoryIO constant((const void*)text, sizeof(text) - 1);
	EXPECT_EQ(B_NOT_ALLOWED, constant.WriteAt(0, "x", 1));
	EXPECT_EQ(B_NOT_ALLOWED, constant.Write("x", 1));
	EXPECT_EQ(B_NOT_ALLOWED, constant.SetSize(1));
	EXPECT_EQ(0, constant.Position());
	EXPECT_EQ(4, constant.Read(buffer, 4));
	EXPECT_EQ(0, memcmp(buffer, "read", 4));
}
