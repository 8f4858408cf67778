// swap_data and the byte-order macros.
#include <ByteOrder.h>

#include <gtest/gtest.h>

#include <cstring>


TEST(ByteOrder, MacrosAndSwapData)
{
	EXPECT_EQ(0x12345678u, B_HOST_TO_LENDIAN_INT32(0x12345678));
	EXPECT_EQ(0x78563412u, B_HOST_TO_BENDIAN_INT32(0x12345678));
	EXPECT_EQ(0x3412u, B_BENDIAN_TO_HOST_INT16(0x1234));
	EXPECT_EQ(0x0807060504030201ull, B_SWAP_INT64(0x0102030405060708ull));
	EXPECT_EQ(1.5f, B_SWAP_FLOAT(B_SWAP_FLOAT(1.5f)));

	uint16 shorts[2] = { 0x0102, 0x0304 };
	EXPECT_EQ(B_OK, swap_data(B_INT16_TYPE, shorts, sizeof(shorts), B_SWAP_ALWAYS));
	EXPECT_EQ(0x0201, shorts[0]);
	EXPECT_EQ(0x0403, shorts[1]);

	double value = 2.5;
	EXPECT_EQ(B_OK, swap_data(B_DOUBLE_TYPE, &value, sizeof(value), B_SWAP_BENDIAN_TO_HOST));
	EXPECT_EQ(2.5, B_SWAP_DOUBLE(value));

	// Little-endian to host is nothing to do on this host.
	uint32 word = 0x11223344;
	EXPECT_EQ(B_OK, swap_data(B_UINT32_TYPE, &word, sizeof(word), B_SWAP_LENDIAN_TO_HOST));
	EXPECT_EQ(0x11223344u, word);

	// A rectangle swaps as four floats.
	float rect[4] = { 1, 2, 3, 4 };
	float expected[4];
	for (int i = 0; i < 4; i++)
		expected[i] = B_SWAP_FLOAT(rect[i]);
	EXPECT_EQ(B_OK, swap_data(B_RECT_TYPE, rect, sizeof(rect), B_SWAP_HOST_TO_BENDIAN));
	EXPECT_EQ(0, memcmp(rect, expected, sizeof(rect)));

	// Types without a byte order, and lengths that cut an item.
	EXPECT_FALSE(is_type_swapped(B_STRING_TYPE));
	EXPECT_TRUE(is_type_swapped(B_INT64_TYPE));
	EXPECT_EQ(B_BAD_VALUE, swap_data(B_STRING_TYPE, &word, sizeof(word), B_SWAP_ALWAYS));
	EXPECT_EQ(B_BAD_VALUE, swap_data(B_INT32_TYPE, &word, 3, B_SWAP_ALWAYS));
	EXPECT_EQ(0x11223344u, word);
}
