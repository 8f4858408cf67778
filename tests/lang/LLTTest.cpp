// Language tables: the header check, escapes, references, duplicate keys,
// missing texts and the built-in language from resources.
#include "LangTestUtil.h"
#include "lang/TIniFile.h"
#include "lang/TLLT.h"

#include "TestUtil.h"

#include <DataIO.h>
#include <File.h>
#include <Resources.h>

#include <gtest/gtest.h>

#include <stdio.h>

using langtest::llt;

namespace {

int32 load_text(TLLT* table, const std::string& text)
{
	BMemoryIO stream(text.data(), text.size());
	TIniFile ini(&stream, kLLTLineLimit);
	return table->Load(&ini);
}

}

TEST(LLT, HeaderMustMatchExactly)
{
	TLLT table;
	ASSERT_EQ(load_text(&table, llt("Good", "k = v\n")), 0);
	for (const char* header : {"LLT File Format 101", "llt file format 100",
	                           "LLT File Format 100x", "LLT  File Format 100", ""}) {
		const std::string text = std::string("[Informations]\nHeader = ") + header
			+ "\nLanguage = Bad\n[Data]\nk = replaced\nnew = added\n";
		EXPECT_EQ(load_text(&table, text), -1) << header;
	}
	EXPECT_EQ(load_text(&table, "[Informations]\nLanguage = Bad\n[Data]\nk = x\n"), -1);
	// Nothing of a rejected file is used.
	EXPECT_EQ(table.LanguageName(), "Good");
	EXPECT_STREQ(table.Text("k"), "v");
	EXPECT_STREQ(table.Text("new"), "! ERROR !");

	// Section and key names of the header are found in any case.
	TLLT relaxed;
	EXPECT_EQ(load_text(&relaxed, "[INFORMATIONS]\nheader = LLT File Format 100\n"
		"LANGUAGE = Upper\n"), 0);
	EXPECT_EQ(relaxed.LanguageName(), "Upper");
	EXPECT_TRUE(relaxed.TextMap().empty());   // no "Data" section
	EXPECT_EQ(relaxed.Writer(), "");
}

TEST(LLT, EscapePasses)
{
	TLLT table;
	ASSERT_EQ(load_text(&table, llt("L",
		"lines = Line1#nLine2\n"
		"hash = 100##n\n"
		"odd = ###n\n"
		"four = ####\n"
		"blanks = #s#sword#s\n"
		"tab = a#tb\n"
		"mixed = ##s#t##\n")), 0);
	EXPECT_STREQ(table.Text("lines"), "Line1\nLine2");
	EXPECT_STREQ(table.Text("hash"), "100#n");
	EXPECT_STREQ(table.Text("odd"), "#\n");
	EXPECT_STREQ(table.Text("four"), "##");
	EXPECT_STREQ(table.Text("blanks"), "  word ");
	EXPECT_STREQ(table.Text("tab"), "a\tb");
	EXPECT_STREQ(table.Text("mixed"), "#s\t#");

	std::string text = "#n#n";
	TLLT::Decode(&text, "#n", "##");   // replacements are not searched again
	EXPECT_EQ(text, "####");
}

TEST(LLT, ReferencesAreExpandedOnceInKeyOrder)
{
	TLLT table;
	ASSERT_EQ(load_text(&table, llt("L",
		"A = x@B@y\n"
		"B = z\n"
		"Missing = @Z@\n"
		"Twice = @B@ and @B@\n"
		"P = [@Q@]\n"
		"Q = <@R@>\n"
		"R = r\n"
		"Self = (@Self@)\n")), 0);
	EXPECT_STREQ(table.Text("A"), "xzy");
	EXPECT_STREQ(table.Text("Missing"), "@Z@");
	EXPECT_STREQ(table.Text("Twice"), "z and @B@");
	// P is visited before Q is expanded, so it takes Q as it was.
	EXPECT_STREQ(table.Text("P"), "[<@R@>]");
	EXPECT_STREQ(table.Text("Q"), "<r>");
	EXPECT_STREQ(table.Text("Self"), "((@Self@))");
}

TEST(LLT, HostileTablesLoadWithBoundedTexts)
{
	// A loop of references ends after the one pass.
	TLLT loop;
	ASSERT_EQ(load_text(&loop, llt("L", "A = a@B@\nB = b@A@\n")), 0);
	EXPECT_STREQ(loop.Text("A"), "ab@A@");
	EXPECT_STREQ(loop.Text("B"), "bab@A@");

	// 100,000 keys, each referring to the one before: expanded in full
	// they would take gigabytes. Each text stays bounded, the early ones
	// are expanded as usual, and every key is there.
	std::string data;
	char line[64];
	for (int i = 0; i < 100000; i++) {
		snprintf(line, sizeof(line), "k%06d = @k%06d@ %d\n", i, i - 1, i);
		data += line;
	}
	TLLT chain;
	ASSERT_EQ(load_text(&chain, llt("L", data)), 0);
	EXPECT_EQ(chain.TextMap().size(), 100000u);
	EXPECT_STREQ(chain.Text("k000002"), "@k-00001@ 0 1 2");
	size_t total = 0;
	for (const auto& [key, text] : chain.TextMap()) {
		EXPECT_LE(text.size(), 8192u) << key;
		total += text.size();
	}
	EXPECT_LT(total, 100000u * 20 + 4u * 1024 * 1024);
	EXPECT_STREQ(chain.Text("k099999"), "@k099998@ 99999");
}

TEST(LLT, KeysAreExactAndTheFirstOfADuplicateCounts)
{
	TLLT table;
	ASSERT_EQ(load_text(&table, llt("L",
		"Key = first\nKey = second\nKEY = upper\n"
		"; comments may stand anywhere\nEmpty =\n")), 0);
	EXPECT_STREQ(table.Text("Key"), "first");
	EXPECT_STREQ(table.Text("KEY"), "upper");
	EXPECT_STREQ(table.Text("key"), "! ERROR !");
	EXPECT_STREQ(table.Text("Empty"), "");
	EXPECT_STREQ(table.Text(nullptr), "! ERROR !");
	EXPECT_EQ(table.TextMap().size(), 3u);
}

TEST(LLT, LoadingAddsToWhatIsThereAndCopiesCarryEverything)
{
	TLLT table;
	ASSERT_EQ(load_text(&table, llt("One", "a = 1\nb = 2\n")), 0);
	ASSERT_EQ(load_text(&table, llt("Two", "b = 3\n")), 0);
	EXPECT_EQ(table.LanguageName(), "Two");
	EXPECT_STREQ(table.Text("a"), "1");
	EXPECT_STREQ(table.Text("b"), "3");

	const char* before = table.Text("a");
	TLLT copy;
	copy = table;
	EXPECT_EQ(copy.LanguageName(), "Two");
	EXPECT_EQ(copy.Writer(), "tester");
	EXPECT_EQ(copy.SpecialThanks(), "everyone");
	EXPECT_EQ(copy.TextMap(), table.TextMap());

	table = TLLT();
	EXPECT_STREQ(table.Text("a"), "! ERROR !");
	EXPECT_STREQ(before, "1");   // texts handed out stay readable
}

TEST(LLT, MissingTextAlertOnlyWhenAsked)
{
	langtest::AlertRecorder alerts;
	TLLT table;
	EXPECT_STREQ(table.Text("Nothing"), "! ERROR !");
	EXPECT_TRUE(alerts.Requests().empty());

	table.SET_SHOW_DB_INFO(true);
	EXPECT_STREQ(table.Text("Nothing"), "! ERROR !");
	const auto requests = alerts.Requests();
	ASSERT_EQ(requests.size(), 1u);
	EXPECT_EQ(requests[0].text, "TLLT::Text\n\nNothing");
	EXPECT_EQ(requests[0].buttons, std::vector<std::string>{"OK"});
	EXPECT_EQ(requests[0].type, B_STOP_ALERT);
}

TEST(LLT, FilesAndResources)
{
	testutil::TempDir dir;
	TLLT table;
	EXPECT_EQ(table.Load(dir.File("missing.llt").c_str()), -1);
	const std::string crlf = "[Informations]\r\nHeader = LLT File Format 100\r\n"
		"Language = CR LF\r\n[Data]\r\nk = v\r\n";
	EXPECT_EQ(table.Load(dir.Write("crlf.llt", crlf).c_str()), 0);
	EXPECT_STREQ(table.Text("k"), "v");

	// A string resource with or without its terminating NUL.
	for (bool withNul : {true, false}) {
		const std::string path = dir.File(withNul ? "with" : "without");
		langtest::write_plugin(path, llt("Built in", "k = from resources\n"), withNul);
		BFile file(path.c_str(), B_READ_ONLY);
		BResources resources(&file);
		TLLT builtIn;
		EXPECT_EQ(builtIn.Load(&resources, 3000), 0);
		EXPECT_EQ(builtIn.LanguageName(), "Built in");
		EXPECT_STREQ(builtIn.Text("k"), "from resources");
		EXPECT_EQ(builtIn.Load(&resources, 3001), -1);
	}

	// The test program itself carries no resources.
	TLLT none;
	EXPECT_EQ(none.Load(static_cast<BResources*>(nullptr), 3000), -1);
}
