// The archive translator itself, with the unzip of this machine: what it
// recognises, its listing, extraction and status translations, the names
// it passes to unzip, and its work files.
#include <gtest/gtest.h>

#include <DataIO.h>
#include <FindDirectory.h>
#include <Message.h>
#include <OS.h>
#include <Path.h>

#include "TestUtil.h"
#include "ZipFixtures.h"
#include "translator/Packscope.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <spawn.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <thread>

extern char** environ;

namespace {

struct Releaser {
	void operator()(TPackscope* translator) const { translator->Release(); }
};
using Translator = std::unique_ptr<TPackscope, Releaser>;

Translator make_translator()
{
	return Translator(new TPackscope);
}

status_t identify(TPackscope* translator, const std::string& bytes, uint32 type,
	translator_info* info)
{
	BMemoryIO source(bytes.data(), bytes.size());
	memset(info, 0, sizeof(*info));
	return translator->Identify(&source, NULL, NULL, info, type);
}

std::vector<std::string> entries_of(const BMessage& message)
{
	std::vector<std::string> names;
	const char* name = NULL;
	for (int32 i = 0; message.FindString("Arc/entry", i, &name) == B_OK; i++)
		names.push_back(name);
	return names;
}

status_t list(TPackscope* translator, const std::string& bytes, BMessage* extension)
{
	BMemoryIO source(bytes.data(), bytes.size());
	BMallocIO unused;
	return translator->Translate(&source, NULL, extension, 'ArcL', &unused);
}

std::vector<std::string> list(TPackscope* translator, const std::string& bytes)
{
	BMessage extension;
	EXPECT_EQ(B_OK, list(translator, bytes, &extension));
	return entries_of(extension);
}

// Extracts member `index`; the contents go to *contents.
status_t extract(TPackscope* translator, const std::string& bytes, int32 index,
	std::string* contents)
{
	BMemoryIO source(bytes.data(), bytes.size());
	BMallocIO destination;
	BMessage extension;
	extension.AddInt32("Arc/target", index);
	status_t status = translator->Translate(&source, NULL, &extension, 'ArcE',
		&destination);
	contents->assign((const char*)destination.Buffer(), destination.BufferLength());
	return status;
}

std::vector<std::string> folder_listing(const std::string& path)
{
	std::vector<std::string> names;
	for (const auto& entry : std::filesystem::directory_iterator(path))
		names.push_back(entry.path().filename().string());
	return names;
}

std::string string_of(const BMessage& message, const char* name)
{
	const char* value = NULL;
	return message.FindString(name, &value) == B_OK ? value : "(missing)";
}

int64 int64_of(const BMessage& message, const char* name)
{
	int64 value = -1;
	message.FindInt64(name, &value);
	return value;
}

const std::vector<fixture::Member> kSkin = {
	{ "skin/", "" },
	{ "skin/pledit.txt", "[Text]\nNormal=#00FF00\n" },
	{ "skin/main.bmp", "BM not really" },
};

}

TEST(Packscope, RecognisesOnlyArchivesThatBeginWithALocalHeader)
{
	Translator translator = make_translator();
	translator_info info;
	const std::string archive = fixture::zip_bytes(kSkin);

	ASSERT_EQ(B_OK, identify(translator.get(), archive, 'ArcL', &info));
	EXPECT_EQ((uint32)'ArcL', info.type);
	EXPECT_EQ((uint32)'Arc*', info.group);
	EXPECT_FLOAT_EQ(0.4f, info.quality);
	EXPECT_FLOAT_EQ(0.5f, info.capability);
	EXPECT_STREQ("", info.name);
	ASSERT_EQ(B_OK, identify(translator.get(), archive, 'ArcS', &info));
	EXPECT_EQ((uint32)'ArcS', info.type);
	ASSERT_EQ(B_OK, identify(translator.get(), archive, 'ArcE', &info));
	EXPECT_EQ(0u, info.type);
	EXPECT_STREQ("Melt", info.name);
	EXPECT_STREQ("application/octet-stream", info.MIME);

	// Exactly the four bytes are enough; fewer, an empty archive ("PK\5\6"),
	// other data or another output type are not taken.
	EXPECT_EQ(B_OK, identify(translator.get(), std::string("PK\3\4", 4), 'ArcL', &info));
	EXPECT_EQ(B_NO_TRANSLATOR, identify(translator.get(), std::string("PK\3", 3), 'ArcL', &info));
	EXPECT_EQ(B_NO_TRANSLATOR, identify(translator.get(), "", 'ArcL', &info));
	EXPECT_EQ(B_NO_TRANSLATOR, identify(translator.get(), fixture::zip_bytes({}), 'ArcL', &info));
	EXPECT_EQ(B_NO_TRANSLATOR, identify(translator.get(), "PLEDIT.TXT [Text]", 'ArcE', &info));
	EXPECT_EQ(B_NO_TRANSLATOR, identify(translator.get(), archive, 'bits', &info));
	EXPECT_EQ(B_NO_TRANSLATOR, identify(translator.get(), archive, 0, &info));

	// Identification reads from the start, wherever the stream stands.
	BMemoryIO source(archive.data(), archive.size());
	source.Seek(10, SEEK_SET);
	EXPECT_EQ(B_OK, translator->Identify(&source, NULL, NULL, &info, 'ArcL'));
}

TEST(Packscope, DescribesItself)
{
	Translator translator = make_translator();
	EXPECT_STREQ("ZIP Archives", translator->TranslatorName());
	EXPECT_STREQ("Packscope Ver 1.20 Beta by ORVIK", translator->TranslatorInfo());
	EXPECT_EQ(0x120, translator->TranslatorVersion());
	int32 count = 0;
	const translation_format* input = translator->InputFormats(&count);
	ASSERT_EQ(1, count);
	EXPECT_EQ(0u, input[0].type);
	EXPECT_STREQ("application/zip", input[0].MIME);
	const translation_format* output = translator->OutputFormats(&count);
	ASSERT_EQ(2, count);
	EXPECT_EQ((uint32)'ArcE', output[0].type);
	EXPECT_EQ((uint32)'ArcL', output[1].type);
	EXPECT_STREQ("ZIP Archive", output[1].name);
}

TEST(Packscope, ListsMembersInArchiveOrderAndAgain)
{
	Translator translator = make_translator();
	const std::string archive = fixture::zip_bytes(kSkin);
	BMessage extension;
	extension.AddString("Arc/entry", "left over from before");
	ASSERT_EQ(B_OK, list(translator.get(), archive, &extension));
	const std::vector<std::string> expected = { "skin/", "skin/pledit.txt", "skin/main.bmp" };
	EXPECT_EQ(expected, entries_of(extension));
	// A second request on the same message gives the same list, not twice.
	ASSERT_EQ(B_OK, list(translator.get(), archive, &extension));
	EXPECT_EQ(expected, entries_of(extension));

	// An archive comment that imitates a listing adds nothing.
	const std::string commented = fixture::zip_bytes(kSkin,
		"---------  ---------- -----   ----\n"
		"        5  2020-01-01 00:00   ../not/a/member\n"
		"---------                     -------\n");
	EXPECT_EQ(expected, list(translator.get(), commented));

	// Something unzip cannot read lists nothing and still succeeds;
	// without an extension message the list has nowhere to go.
	EXPECT_TRUE(list(translator.get(), std::string("PK\3\4 and then garbage")).empty());
	BMemoryIO source(archive.data(), archive.size());
	BMallocIO unused;
	EXPECT_EQ(B_BAD_VALUE, translator->Translate(&source, NULL, NULL, 'ArcL', &unused));
	EXPECT_EQ(B_NO_TRANSLATOR, translator->Translate(&source, NULL, &extension, 'bits',
		&unused));
}

TEST(Packscope, ExtractsTheMemberOfTheIndex)
{
	Translator translator = make_translator();
	const std::string archive = fixture::zip_bytes(kSkin);
	std::string contents;
	EXPECT_EQ(B_OK, extract(translator.get(), archive, 1, &contents));
	EXPECT_EQ(kSkin[1].contents, contents);
	EXPECT_EQ(B_OK, extract(translator.get(), archive, 2, &contents));
	EXPECT_EQ(kSkin[2].contents, contents);
	// The first member is a folder: nothing to write.
	EXPECT_EQ(B_OK, extract(translator.get(), archive, 0, &contents));
	EXPECT_EQ("", contents);

	EXPECT_EQ(B_BAD_INDEX, extract(translator.get(), archive, -1, &contents));
	EXPECT_EQ(B_BAD_INDEX, extract(translator.get(), archive, 3, &contents));
	EXPECT_EQ("", contents);

	BMemoryIO source(archive.data(), archive.size());
	BMallocIO destination;
	BMessage noTarget;
	EXPECT_EQ(B_ERROR, translator->Translate(&source, NULL, &noTarget, 'ArcE', &destination));
	EXPECT_EQ(B_ERROR, translator->Translate(&source, NULL, NULL, 'ArcE', &destination));
	EXPECT_EQ(B_ERROR, translator->Translate(&source, NULL, NULL, 'ArcS', &destination));
	EXPECT_EQ(0u, destination.BufferLength());
}

TEST(Packscope, ExtractsNothingWhenTheNameMatchesTwoMembers)
{
	// Two members of one name: unzip would write both, one after the
	// other; the translator hands on only a member's own contents.
	Translator translator = make_translator();
	const std::string archive = fixture::zip_bytes({ { "twin", "first" }, { "twin", "other" } });
	std::string contents;
	EXPECT_EQ(B_OK, extract(translator.get(), archive, 1, &contents));
	EXPECT_EQ("", contents);
}

TEST(Packscope, TellsTheStatusOfAMember)
{
	Translator translator = make_translator();
	const std::string archive = fixture::zip_bytes({
		{ "old.txt", "1999", 1999, 12, 31, 23, 59 },
		{ "new.txt", "2005!", 2005, 1, 1, 0, 0 },
		{ "far.txt", "", 2107, 12, 31, 23, 58 },
	});
	BMemoryIO source(archive.data(), archive.size());
	BMallocIO unused;
	BMessage extension;
	for (int32 index = 0; index < 3; index++) {
		extension.RemoveName("Arc/target");
		extension.AddInt32("Arc/target", index);
		ASSERT_EQ(B_OK, translator->Translate(&source, NULL, &extension, 'ArcS', &unused));
	}
	// One status message is added for each request.
	BMessage status;
	ASSERT_EQ(B_OK, extension.FindMessage("Arc/status", 0, &status));
	EXPECT_EQ(0u, status.what);
	EXPECT_STREQ("old.txt", string_of(status, "filename").c_str());
	EXPECT_STREQ("ZIP/-----", string_of(status, "format").c_str());
	EXPECT_EQ(4, int64_of(status, "size"));
	EXPECT_EQ(946684740000LL, int64_of(status, "mtime"));
	ASSERT_EQ(B_OK, extension.FindMessage("Arc/status", 1, &status));
	EXPECT_EQ(5, int64_of(status, "size"));
	EXPECT_EQ(1104537600000LL, int64_of(status, "mtime"));
	ASSERT_EQ(B_OK, extension.FindMessage("Arc/status", 2, &status));
	EXPECT_EQ(4354819080000LL, int64_of(status, "mtime"));
	EXPECT_NE(B_OK, extension.FindMessage("Arc/status", 3, &status));

	extension.RemoveName("Arc/target");
	extension.AddInt32("Arc/target", 3);
	EXPECT_EQ(B_BAD_INDEX, translator->Translate(&source, NULL, &extension, 'ArcS', &unused));
}

TEST(Packscope, HostileMemberNamesRunNothingAndStayInside)
{
	testutil::TempDir dir;
	const std::string marker = dir.File("ran");
	const std::string outside = dir.File("outside.txt");
	std::vector<fixture::Member> members = {
		{ "q\"uote\"; touch " + marker + "; \"", "" },
		{ "$(touch " + marker + ")", "" },
		{ "`touch " + marker + "`", "" },
		{ "semi;touch " + marker, "" },
		{ "new\nline", "" },
		{ "tab\there", "" },
		{ "  blanks  around  ", "" },
		{ "歌詞/日本語の名前.txt", "" },
		{ "star*[x]?\\", "" },
		{ "-x", "" },
		{ "-d", "" },
		{ "../../escape.txt", "" },
		{ "/" + outside.substr(1), "" },
		{ "^J literally", "" },
	};
	for (size_t i = 0; i < members.size(); i++)
		members[i].contents = "contents of member " + std::to_string(i);
	const std::string archive = fixture::zip_bytes(members);

	Translator translator = make_translator();
	const std::vector<std::string> names = list(translator.get(), archive);
	ASSERT_EQ(members.size(), names.size());
	EXPECT_EQ(members[0].name, names[0]);
	EXPECT_EQ("new^Jline", names[4]);
	EXPECT_EQ("tab^Ihere", names[5]);
	EXPECT_EQ("  blanks  around  ", names[6]);
	EXPECT_EQ("歌詞/日本語の名前.txt", names[7]);
	EXPECT_EQ("../../escape.txt", names[11]);

	for (size_t i = 0; i < members.size(); i++) {
		std::string contents;
		EXPECT_EQ(B_OK, extract(translator.get(), archive, (int32)i, &contents));
		EXPECT_EQ(members[i].contents, contents) << names[i];
	}

	EXPECT_FALSE(std::filesystem::exists(marker));
	EXPECT_FALSE(std::filesystem::exists(outside));
	// The work folder is left empty, and nothing appeared beside it or in
	// the current folder.
	EXPECT_TRUE(folder_listing(translator->WorkFolder()).empty());
	const std::string temp = std::filesystem::path(translator->WorkFolder())
		.parent_path().parent_path().string();
	EXPECT_FALSE(std::filesystem::exists(temp + "/escape.txt"));
	EXPECT_FALSE(std::filesystem::exists("escape.txt"));
	EXPECT_FALSE(std::filesystem::exists("../escape.txt"));
}

TEST(Packscope, WorksInAPrivateFolderOfItsOwn)
{
	BPath temp;
	ASSERT_EQ(B_OK, find_directory(B_COMMON_TEMP_DIRECTORY, &temp, true));
	std::string work;
	{
		Translator first = make_translator();
		Translator second = make_translator();
		work = first->WorkFolder();
		ASSERT_FALSE(work.empty());
		EXPECT_NE(work, second->WorkFolder());
		EXPECT_EQ(std::string(temp.Path()) + "/",
			work.substr(0, strlen(temp.Path()) + 1));
		EXPECT_EQ('/', work.back());
		struct stat st;
		ASSERT_EQ(0, stat(work.c_str(), &st));
		EXPECT_EQ(0700u, st.st_mode & 0777);
		ASSERT_EQ(0, stat(temp.Path(), &st));
		EXPECT_EQ(0700u, st.st_mode & 0777);

		// Files left in it (as by a translation cut short) go with it.
		testutil::read_file(work);  // nothing to read: a folder
		FILE* left = fopen((work + "left").c_str(), "w");
		ASSERT_NE(nullptr, left);
		fclose(left);
		std::filesystem::create_directories(work + "sub/folder");
	}
	EXPECT_FALSE(std::filesystem::exists(work));
}

TEST(Packscope, SeveralThreadsShareOneTranslator)
{
	Translator translator = make_translator();
	const std::string archive = fixture::zip_bytes(kSkin);
	std::atomic<int> right{ 0 };
	std::vector<std::thread> threads;
	for (int t = 0; t < 4; t++) {
		threads.emplace_back([&, t] {
			for (int i = 0; i < 3; i++) {
				std::string contents;
				const int32 index = 1 + (t + i) % 2;
				if (extract(translator.get(), archive, index, &contents) == B_OK
					&& contents == kSkin[(size_t)index].contents)
					right++;
			}
		});
	}
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_EQ(12, right.load());
	EXPECT_TRUE(folder_listing(translator->WorkFolder()).empty());
}

// Run by the next test in a child process whose command path has no unzip.
TEST(Packscope, WithoutUnzipChildSide)
{
	const char* out = getenv("PACKSCOPE_TEST_CHILD_OUTPUT");
	if (out == NULL)
		GTEST_SKIP() << "runs only as the child of WithoutUnzip";
	Translator translator = make_translator();
	const std::string archive = fixture::zip_bytes(kSkin);
	BMessage extension;
	extension.AddString("Arc/entry", "stale");
	status_t listed = list(translator.get(), archive, &extension);
	std::string contents;
	status_t extracted = extract(translator.get(), archive, 0, &contents);
	FILE* file = fopen(out, "w");
	ASSERT_NE(nullptr, file);
	fprintf(file, "%d %d %d %d\n", (int)listed, (int)entries_of(extension).size(),
		(int)extracted, (int)contents.size());
	fclose(file);
}

TEST(Packscope, WithoutUnzip)
{
	// The listing is empty and succeeds, extraction finds no member, and
	// standard error says what is missing.
	testutil::TempDir dir;
	const std::string out = dir.File("out");
	const std::string errors = dir.File("errors");
	std::vector<std::string> settings = { "PATH=" + dir.Path(),
		"PACKSCOPE_TEST_CHILD_OUTPUT=" + out };
	std::vector<char*> environment;
	for (std::string& setting : settings)
		environment.push_back(setting.data());
	for (char** variable = environ; *variable != NULL; variable++) {
		if (strncmp(*variable, "PATH=", 5) != 0)
			environment.push_back(*variable);
	}
	environment.push_back(NULL);
	std::string filter = "--gtest_filter=Packscope.WithoutUnzipChildSide";
	char self[] = "/proc/self/exe";
	char* arguments[] = { self, filter.data(), NULL };
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(),
		O_WRONLY | O_CREAT | O_TRUNC, 0600);
	pid_t child;
	ASSERT_EQ(0, posix_spawn(&child, self, &actions, NULL, arguments, environment.data()));
	posix_spawn_file_actions_destroy(&actions);
	int status = 0;
	ASSERT_EQ(child, waitpid(child, &status, 0));
	ASSERT_TRUE(WIFEXITED(status));
	EXPECT_EQ(0, WEXITSTATUS(status)) << testutil::read_file(errors);

	EXPECT_EQ(std::to_string(B_OK) + " 0 " + std::to_string(B_BAD_INDEX) + " 0\n",
		testutil::read_file(out));
	EXPECT_NE(std::string::npos, testutil::read_file(errors).find(
		"Packscope: the command \"unzip\" is not on the command path"))
		<< testutil::read_file(errors);
}
