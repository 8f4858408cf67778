#include <gtest/gtest.h>

#include <SupportDefs.h>
#include <TypeConstants.h>
#include <errno.h>

TEST(StatusCodes, KeepThePlatformValues)
{
	EXPECT_EQ(B_OK, 0);
	EXPECT_EQ(B_ERROR, -1);
	EXPECT_EQ(B_NO_MEMORY, (int32)0x80000000);
	EXPECT_EQ(B_BAD_VALUE, (int32)0x80000005);
	EXPECT_EQ(B_TIMED_OUT, (int32)0x80000009);
	EXPECT_EQ(B_BAD_PORT_ID, (int32)0x80001200);
	EXPECT_EQ(B_ALREADY_RUNNING, (int32)0x80002004);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, (int32)0x80006003);
	EXPECT_EQ(B_NO_TRANSLATOR, (int32)0x80004800);
	EXPECT_EQ(errno_to_status(ENOENT), B_ENTRY_NOT_FOUND);
}

TEST(TypeCodes, AreFourCharacterConstants)
{
	EXPECT_EQ((uint32)B_STRING_TYPE, 0x43535452u);   // 'CSTR'
	EXPECT_EQ((uint32)B_MESSAGE_TYPE, 0x4d534747u);  // 'MSGG'
	EXPECT_EQ((uint32)'_ok', 0x005f6f6bu);           // three characters: leading zero byte
}
