// BTranslatorRoster: reference counting of translators, what it reports
// about them, loading add-ons of both forms from a translators folder, the
// default roster and its folders, archiving, and use from several threads.
#include <gtest/gtest.h>

#include <Bitmap.h>
#include <DataIO.h>
#include <Entry.h>
#include <Message.h>
#include <Path.h>
#include <TranslationUtils.h>
#include <Translator.h>
#include <TranslatorFormats.h>
#include <TranslatorRoster.h>

#include "ImageFixtures.h"
#include "translation/TranslatorFolders.h"
#include "TestUtil.h"

#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// An application's own translator: recognises text starting with `prefix`.
class TestTranslator : public BTranslator {
public:
	TestTranslator(const char* prefix, std::atomic<int>* deleted)
		: fPrefix(prefix), fDeleted(deleted) {}

	const char* TranslatorName() const override { return "Test"; }
	const char* TranslatorInfo() const override { return "In the test program"; }
	int32 TranslatorVersion() const override { return 1; }
	const translation_format* InputFormats(int32* count) const override
	{
		*count = 0;
		return NULL;
	}
	const translation_format* OutputFormats(int32* count) const override
	{
		*count = 0;
		return NULL;
	}
	status_t Identify(BPositionIO* source, const translation_format*, BMessage*,
		translator_info* info, uint32) override
	{
		char head[16] = {};
		size_t length = strlen(fPrefix);
		if (source->Read(head, length) != (ssize_t)length || memcmp(head, fPrefix, length) != 0)
			return B_NO_TRANSLATOR;
		info->type = 'test';
		info->quality = 0.5f;
		info->capability = 0.5f;
		return B_OK;
	}
	status_t Translate(BPositionIO*, const translator_info*, BMessage*, uint32,
		BPositionIO* destination) override
	{
		return destination->Write("ok", 2) == 2 ? B_OK : B_IO_ERROR;
	}

protected:
	~TestTranslator() override { (*fDeleted)++; }

private:
	const char* fPrefix;
	std::atomic<int>* fDeleted;
};

std::vector<std::string>
translator_names(BTranslatorRoster& roster)
{
	translator_id* ids = NULL;
	int32 count = 0;
	EXPECT_EQ(B_OK, roster.GetAllTranslators(&ids, &count));
	std::vector<std::string> names;
	for (int32 i = 0; i < count; i++) {
		const char* name = NULL;
		EXPECT_EQ(B_OK, roster.GetTranslatorInfo(ids[i], &name, NULL, NULL));
		names.push_back(name);
	}
	delete[] ids;
	return names;
}

translator_id
find_translator(BTranslatorRoster& roster, const std::string& wanted)
{
	translator_id* ids = NULL;
	int32 count = 0;
	roster.GetAllTranslators(&ids, &count);
	translator_id found = 0;
	for (int32 i = 0; i < count; i++) {
		const char* name = NULL;
		if (roster.GetTranslatorInfo(ids[i], &name, NULL, NULL) == B_OK && wanted == name)
			found = ids[i];
	}
	delete[] ids;
	return found;
}

std::string
translate_text(BTranslatorRoster& roster, const std::string& text, uint32 type,
	status_t* status = NULL)
{
	BMemoryIO source(text.data(), text.size());
	BMallocIO out;
	status_t result = roster.Translate(&source, NULL, NULL, &out, type);
	if (status != NULL)
		*status = result;
	if (result != B_OK || out.BufferLength() == 0)
		return std::string();
	return std::string((const char*)out.Buffer(), out.BufferLength());
}

// A translators folder holding both test add-ons and a file that is none.
struct TranslatorsFolder {
	testutil::TempDir dir;

	TranslatorsFolder()
	{
		namespace fs = std::filesystem;
		fs::copy_file(TEST_TRANSLATOR_ADDON, dir.File("PrefixTranslators"));
		fs::copy_file(TEST_OLD_TRANSLATOR_ADDON, dir.File("OldStyle"));
		dir.Write("README", "not an add-on");
	}
};

}

TEST(TranslatorRoster, ApplicationTranslatorsAreSharedByReference)
{
	std::atomic<int> deleted{ 0 };
	auto* kept = new TestTranslator("keep:", &deleted);
	auto* given = new TestTranslator("give:", &deleted);
	EXPECT_EQ(1, kept->ReferenceCount());
	{
		BTranslatorRoster roster;
		EXPECT_EQ(B_OK, roster.AddTranslator(kept));
		EXPECT_EQ(B_OK, roster.AddTranslator(kept)) << "added once only";
		EXPECT_EQ(2, kept->ReferenceCount());
		EXPECT_EQ(B_OK, roster.AddTranslator(given));
		EXPECT_EQ(given, given->Release()) << "the roster still holds it";
		EXPECT_EQ(B_BAD_VALUE, roster.AddTranslator(NULL));

		EXPECT_EQ("ok", translate_text(roster, "give: this", 0));
		EXPECT_EQ("ok", translate_text(roster, "keep: this", 0));
		EXPECT_EQ(0, deleted.load());
	}
	// The roster released both: the given one is gone, the kept one lives.
	EXPECT_EQ(1, deleted.load());
	EXPECT_EQ(1, kept->ReferenceCount());
	EXPECT_EQ(kept, kept->Acquire());
	EXPECT_EQ(kept, kept->Release());
	EXPECT_EQ(NULL, kept->Release());
	EXPECT_EQ(2, deleted.load());
}

TEST(TranslatorRoster, DescribesBuiltInTranslators)
{
	BTranslatorRoster empty;
	EXPECT_TRUE(translator_names(empty).empty());

	BTranslatorRoster roster;
	ASSERT_EQ(B_OK, roster.AddTranslators(NULL));
	ASSERT_EQ(B_OK, roster.AddTranslators(NULL));
	// The built-in translators come first; the translators folder beside
	// the test program (the build's own add-ons) may add more. Nothing is
	// there twice, whatever the number of calls.
	std::vector<std::string> names = translator_names(roster);
	ASSERT_GE(names.size(), 4u);
	EXPECT_EQ((std::vector<std::string>{ "PNG Images", "JPEG Images", "GIF Images", "BMP Images" }),
		std::vector<std::string>(names.begin(), names.begin() + 4));
	std::vector<std::string> sorted = names;
	std::sort(sorted.begin(), sorted.end());
	EXPECT_EQ(sorted.end(), std::adjacent_find(sorted.begin(), sorted.end()))
		<< "loaded twice";

	// PNG reads and writes; JPEG only reads.
	const translation_format* formats = NULL;
	int32 count = 0;
	translator_id png = find_translator(roster, "PNG Images");
	ASSERT_EQ(B_OK, roster.GetInputFormats(png, &formats, &count));
	ASSERT_EQ(2, count);
	EXPECT_EQ((uint32)B_PNG_FORMAT, formats[0].type);
	EXPECT_EQ((uint32)B_TRANSLATOR_BITMAP, formats[1].type);
	ASSERT_EQ(B_OK, roster.GetOutputFormats(png, &formats, &count));
	EXPECT_EQ(2, count);
	translator_id jpeg = find_translator(roster, "JPEG Images");
	ASSERT_EQ(B_OK, roster.GetOutputFormats(jpeg, &formats, &count));
	ASSERT_EQ(1, count);
	EXPECT_EQ((uint32)B_TRANSLATOR_BITMAP, formats[0].type);

	const translator_id unknown = 9999;
	EXPECT_EQ(B_NO_TRANSLATOR, roster.GetInputFormats(unknown, &formats, &count));
	EXPECT_EQ(B_NO_TRANSLATOR, roster.GetTranslatorInfo(unknown, NULL, NULL, NULL));
	BView* view = NULL;
	BRect extent;
	EXPECT_EQ(B_ERROR, roster.MakeConfigurationView(png, NULL, &view, &extent));
	EXPECT_EQ(B_BAD_VALUE, roster.MakeConfigurationView(png, NULL, NULL, &extent));
	BMessage settings;
	EXPECT_EQ(B_ERROR, roster.GetConfigurationMessage(png, &settings));
	entry_ref ref;
	EXPECT_EQ(B_ENTRY_NOT_FOUND, roster.GetRefFor(png, &ref));
}

TEST(TranslatorRoster, LoadsBothAddOnFormsFromAFolder)
{
	TranslatorsFolder folder;
	testutil::TempDir logDir;
	const std::string log = logDir.File("log");
	setenv("VERSO_TEST_ADDON_LOG", log.c_str(), 1);
	{
		BTranslatorRoster roster;
		ASSERT_EQ(B_OK, roster.AddTranslators(folder.dir.Path().c_str()));
		ASSERT_EQ(B_OK, roster.AddTranslators(folder.dir.Path().c_str()));
		std::vector<std::string> names = translator_names(roster);
		std::sort(names.begin(), names.end());
		EXPECT_EQ((std::vector<std::string>{ "Counter", "Old Style", "Upper" }), names)
			<< "each add-on loaded once, the other file skipped";

		// Both new-style translators can read the text; the better one wins.
		std::string text = "lower:Hello";
		BMemoryIO source(text.data(), text.size());
		translator_info info;
		ASSERT_EQ(B_OK, roster.Identify(&source, NULL, &info));
		EXPECT_EQ(find_translator(roster, "Upper"), info.translator);
		translator_info* list = NULL;
		int32 count = 0;
		ASSERT_EQ(B_OK, roster.GetTranslators(&source, NULL, &list, &count));
		ASSERT_EQ(2, count);
		EXPECT_EQ(find_translator(roster, "Upper"), list[0].translator);
		EXPECT_EQ(find_translator(roster, "Counter"), list[1].translator);
		delete[] list;
		ASSERT_EQ(B_OK, roster.GetTranslators(&source, NULL, &list, &count, 0, NULL, 'CNT '));
		ASSERT_EQ(1, count);
		delete[] list;

		EXPECT_EQ("HELLO", translate_text(roster, text, 'UPPR'));
		EXPECT_EQ("5", translate_text(roster, text, 'CNT '));
		EXPECT_EQ("olleh", translate_text(roster, "old:hello", 'OLD!'));

		// A chosen translator, with an extension message it fills in.
		BMessage extension;
		BMallocIO out;
		source.Seek(0, SEEK_SET);
		ASSERT_EQ(B_OK, roster.Translate(find_translator(roster, "Counter"), &source,
			&extension, &out, 'CNT '));
		int32 counted = -1;
		EXPECT_EQ(B_OK, extension.FindInt32("count", &counted));
		EXPECT_EQ(5, counted);
		EXPECT_EQ(B_NO_TRANSLATOR, roster.Translate(find_translator(roster, "Old Style"),
			&source, NULL, &out, 'OLD!')) << "it does not recognise the text";

		// The older form's optional symbols and formats.
		translator_id old = find_translator(roster, "Old Style");
		BMessage settings;
		ASSERT_EQ(B_OK, roster.GetConfigurationMessage(old, &settings));
		const char* style = NULL;
		ASSERT_EQ(B_OK, settings.FindString("style", &style));
		EXPECT_STREQ("old", style);
		const translation_format* formats = NULL;
		ASSERT_EQ(B_OK, roster.GetOutputFormats(old, &formats, &count));
		ASSERT_EQ(1, count);
		EXPECT_EQ((uint32)'OLD!', formats[0].type);
		int32 version = 0;
		ASSERT_EQ(B_OK, roster.GetTranslatorInfo(old, NULL, NULL, &version));
		EXPECT_EQ(0x100, version);

		entry_ref ref;
		ASSERT_EQ(B_OK, roster.GetRefFor(old, &ref));
		EXPECT_STREQ("OldStyle", ref.name);
	}
	unsetenv("VERSO_TEST_ADDON_LOG");
	std::string written = testutil::read_file(log);
	EXPECT_NE(std::string::npos, written.find("deleted Upper"));
	EXPECT_NE(std::string::npos, written.find("deleted Counter"));
}

TEST(TranslatorRoster, AddTranslatorsReportsBadPaths)
{
	TranslatorsFolder folder;
	BTranslatorRoster roster;
	EXPECT_EQ(B_BAD_VALUE, roster.AddTranslators("relative/path"));
	EXPECT_EQ(B_BAD_VALUE, roster.AddTranslators(""));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, roster.AddTranslators(folder.dir.File("missing").c_str()));
	EXPECT_LT(roster.AddTranslators(folder.dir.File("README").c_str()), 0)
		<< "a named file that is no add-on";
	// One bad entry of a list does not stop the others.
	std::string list = folder.dir.File("missing") + ":" + folder.dir.File("OldStyle");
	EXPECT_EQ(B_ENTRY_NOT_FOUND, roster.AddTranslators(list.c_str()));
	EXPECT_EQ((std::vector<std::string>{ "Old Style" }), translator_names(roster));
}

TEST(TranslatorRoster, ArchiveRecordsAddOnPaths)
{
	TranslatorsFolder folder;
	BTranslatorRoster roster;
	ASSERT_EQ(B_OK, roster.AddTranslators(folder.dir.File("OldStyle").c_str()));
	BMessage archive;
	ASSERT_EQ(B_OK, roster.Archive(&archive));
	const char* path = NULL;
	ASSERT_EQ(B_OK, archive.FindString("be:translator_path", &path));
	EXPECT_NE(nullptr, strstr(path, "OldStyle"));

	std::unique_ptr<BArchivable> object(instantiate_object(&archive));
	auto* copy = dynamic_cast<BTranslatorRoster*>(object.get());
	ASSERT_NE(nullptr, copy);
	EXPECT_EQ((std::vector<std::string>{ "Old Style" }), translator_names(*copy));
}

// Runs the roster child program `program` with `settings` added to the
// environment (and XDG_DATA_HOME, TRANSLATORS and VERSO_TEST_ADDON_LOG
// taken from there only); what it wrote, or "" when it failed.
static std::string run_roster_child(const std::string& program,
	std::vector<std::string> settings, const std::string& output)
{
	std::vector<char*> environment;
	for (std::string& setting : settings)
		environment.push_back(setting.data());
	for (char** variable = environ; *variable != NULL; variable++) {
		if (strncmp(*variable, "XDG_DATA_HOME=", 14) != 0
			&& strncmp(*variable, "TRANSLATORS=", 12) != 0
			&& strncmp(*variable, "VERSO_TEST_ADDON_LOG=", 21) != 0)
			environment.push_back(*variable);
	}
	environment.push_back(NULL);
	char* arguments[] = { (char*)program.c_str(), (char*)output.c_str(), NULL };
	pid_t child;
	if (posix_spawn(&child, program.c_str(), NULL, NULL, arguments,
			environment.data()) != 0) {
		ADD_FAILURE() << "cannot start " << program;
		return std::string();
	}
	int status = 0;
	if (waitpid(child, &status, 0) != child || !WIFEXITED(status)
		|| WEXITSTATUS(status) != 0) {
		ADD_FAILURE() << program << " failed, status " << status;
		return std::string();
	}
	return testutil::read_file(output);
}

TEST(TranslatorRoster, DefaultRosterReadsTheTranslatorsFolders)
{
	// The user's folder under XDG_DATA_HOME holds the new-style add-on,
	// TRANSLATORS names a folder with the older one. The child program
	// lists the default roster and uses it; at its exit the roster's
	// translators are released.
	testutil::TempDir dataHome;
	testutil::TempDir extra;
	std::filesystem::create_directories(dataHome.File("verso/translators"));
	std::filesystem::copy_file(TEST_TRANSLATOR_ADDON,
		dataHome.File("verso/translators/PrefixTranslators"));
	std::filesystem::copy_file(TEST_OLD_TRANSLATOR_ADDON, extra.File("OldStyle"));
	const std::string log = extra.File("log");

	EXPECT_EQ("PNG Images\nJPEG Images\nGIF Images\nBMP Images\n"
		"Upper\nCounter\nOld Style\ntranslated 0 ABC\n",
		run_roster_child(TEST_ROSTER_CHILD, {
			"XDG_DATA_HOME=" + dataHome.Path(),
			"TRANSLATORS=relative:" + extra.Path(),
			"VERSO_TEST_ADDON_LOG=" + log,
		}, extra.File("output")));
	std::string written = testutil::read_file(log);
	EXPECT_NE(std::string::npos, written.find("deleted Upper")) << written;
	EXPECT_NE(std::string::npos, written.find("deleted Counter")) << written;
}

TEST(TranslatorRoster, InstalledProgramReadsItsOwnLibraryFolder)
{
	// Laid out as an installed program: <prefix>/bin/rosterchild, with its
	// translators in <prefix>/lib/rosterchild/Translators. Nothing in the
	// environment names that folder.
	EXPECT_EQ((std::vector<std::string>{ "/usr/bin/Translators",
		"/usr/lib/melodeck/Translators" }),
		BPrivate::program_translator_paths("/usr/bin/melodeck"));
	EXPECT_EQ((std::vector<std::string>{ "/opt/x/tools/Translators" }),
		BPrivate::program_translator_paths("/opt/x/tools/melodeck"));
	EXPECT_EQ((std::vector<std::string>{ "/sbin/Translators" }),
		BPrivate::program_translator_paths("/sbin/prog"));
	EXPECT_TRUE(BPrivate::program_translator_paths("bin/melodeck").empty());
	EXPECT_TRUE(BPrivate::program_translator_paths("").empty());

	testutil::TempDir prefix;
	testutil::TempDir dataHome;
	std::filesystem::create_directories(prefix.File("bin"));
	std::filesystem::create_directories(prefix.File("lib/rosterchild/Translators"));
	const std::string program = prefix.File("bin/rosterchild");
	std::filesystem::copy_file(TEST_ROSTER_CHILD, program);
	std::filesystem::permissions(program, std::filesystem::perms::owner_exec,
		std::filesystem::perm_options::add);
	std::filesystem::copy_file(TEST_TRANSLATOR_ADDON,
		prefix.File("lib/rosterchild/Translators/PrefixTranslators"));

	EXPECT_EQ("PNG Images\nJPEG Images\nGIF Images\nBMP Images\n"
		"Upper\nCounter\ntranslated 0 ABC\n",
		run_roster_child(program, { "XDG_DATA_HOME=" + dataHome.Path() },
			prefix.File("output")));
}

TEST(TranslatorRoster, DecodesFromSeveralThreadsAtOnce)
{
	BTranslatorRoster roster;
	ASSERT_EQ(B_OK, roster.AddTranslators(NULL));
	const std::vector<std::string> images = {
		fixture::png_bytes(fixture::kPngInterlaced, 31, 17),
		fixture::jpeg_bytes(32, 16, false),
		fixture::gif_bytes(31, 17, true),
		fixture::bmp_bytes(fixture::kBmp8Rle, 31, 17),
	};
	std::atomic<int> decoded{ 0 };
	std::vector<std::thread> threads;
	for (int t = 0; t < 4; t++) {
		threads.emplace_back([&, t] {
			for (int i = 0; i < 12; i++) {
				const std::string& bytes = images[(t + i) % images.size()];
				BMemoryIO stream(bytes.data(), bytes.size());
				std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(&stream, &roster));
				if (bitmap != nullptr && bitmap->IsValid())
					decoded++;
			}
		});
	}
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_EQ(48, decoded.load());
}
