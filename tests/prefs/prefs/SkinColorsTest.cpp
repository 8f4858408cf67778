// The reader of a skin's colour file: its words, the hexadecimal digits and
// the colours after the keys.
#include "prefs/SkinColors.h"
#include "prefs/TPrefView.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

using skincolor::first_words;

namespace {

const rgb_color kGrey = {9, 9, 9, 77};

rgb_color read_key(const std::string& text, const char* key, int32* result)
{
	std::vector<std::string> words = first_words(text);
	rgb_color colour = kGrey;
	*result = TPrefView::GetSkinColor(words.data(), (int32)words.size(), key, &colour);
	return colour;
}

}

TEST(SkinColors, OnlyTheFirstTenWordsCount)
{
	EXPECT_EQ(first_words(" \t[Text]\r\nNormal=#00FF00\f\vx "),
		(std::vector<std::string>{"[Text]", "Normal=#00FF00", "x"}));
	EXPECT_TRUE(first_words("").empty());
	const std::string eleventh = "1 2 3 4 5 6 7 8 9 10 [Text]";
	EXPECT_EQ(first_words(eleventh).size(), 10u);
	EXPECT_FALSE(skincolor::has_text_section(first_words(eleventh)));
	EXPECT_TRUE(skincolor::has_text_section(first_words("1 2 3 4 5 6 7 8 9 x[Text]y")));

	// A word split between the pieces of a file is one word.
	skincolor::TWordReader reader;
	EXPECT_TRUE(reader.Feed("[Te", 3));
	EXPECT_TRUE(reader.Feed("xt] Nor", 7));
	EXPECT_TRUE(reader.Feed("mal=#", 5));
	EXPECT_EQ(reader.Finish(), (std::vector<std::string>{"[Text]", "Normal=#"}));
	skincolor::TWordReader full(2);
	EXPECT_FALSE(full.Feed("a b c", 5)) << "complete after two words";
}

TEST(SkinColors, HexDigitsInEitherCaseAndOtherCharactersByTheSameArithmetic)
{
	const char* digits = "0123456789ABCDEF";
	for (int i = 0; i < 16; i++) {
		EXPECT_EQ(TPrefView::HexToInt(digits[i]), i);
		EXPECT_EQ(TPrefView::HexToInt((char)tolower(digits[i])), i);
	}
	EXPECT_EQ(TPrefView::HexToInt('G'), 16);
	EXPECT_EQ(TPrefView::HexToInt(' '), (uint8)(' ' - '0'));
	EXPECT_EQ(TPrefView::HexToInt('\xE3'), (uint8)(0xE3 - 0x37));
}

TEST(SkinColors, AKeyReadsTheSixDigitsAfterItInTheFirstWordHoldingIt)
{
	int32 result = 1;
	rgb_color c = read_key("[Text] Normal=#00FF00 Current=#ffffff", "Normal=#", &result);
	EXPECT_EQ(result, 0);
	EXPECT_EQ(c, (rgb_color{0, 255, 0, 77})) << "alpha stays";
	c = read_key("[Text] Current=#ffffffAB", "Current=#", &result);
	EXPECT_EQ(c, (rgb_color{255, 255, 255, 77}));
	// "NormalBG=#" holds no "Normal=#"; the first word holding the key wins.
	c = read_key("NormalBG=#111111 xNormal=#123456 Normal=#abcdef", "Normal=#", &result);
	EXPECT_EQ(c, (rgb_color{0x12, 0x34, 0x56, 77}));

	// Fewer than six characters: found, and the colour stays.
	c = read_key("[Text] Normal=#12AB Normal=#00FF00", "Normal=#", &result);
	EXPECT_EQ(result, 0);
	EXPECT_EQ(c, kGrey);
	c = read_key("[Text] Current=#ffffff", "SelectedBG=#", &result);
	EXPECT_EQ(result, -1);
	EXPECT_EQ(c, kGrey);
	EXPECT_EQ(TPrefView::GetSkinColor(nullptr, 0, "Normal=#", &c), -1);
}

TEST(SkinColors, FuzzSeedsPassTheFuzzChecks)
{
	int seeds = 0;
	for (const auto& entry : std::filesystem::directory_iterator(PLEDIT_COLORS_CORPUS)) {
		const std::string bytes = testutil::read_file(entry.path().string());
		EXPECT_EQ(0, LLVMFuzzerTestOneInput(
			reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
		seeds++;
	}
	EXPECT_GE(seeds, 3);
}
