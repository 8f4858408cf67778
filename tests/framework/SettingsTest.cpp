#include <gtest/gtest.h>

#include "TestUtil.h"
#include "framework/FileUtils.h"
#include "framework/MessageChain.h"
#include "framework/TArchivable.h"
#include "framework/TextUtils.h"
#include "framework/TThread.h"

#include <DataIO.h>
#include <File.h>
#include <Looper.h>
#include <Node.h>
#include <Path.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

using namespace orvik;

namespace {

class TCounter : public TArchivable {
public:
	bool Archive(BMessage* archive) override
	{
		if (failArchive)
			return false;
		return archive->AddInt32("count", count) == B_OK && archive->AddString("name", name.c_str()) == B_OK;
	}
	bool Unarchive(const BMessage& archive) override
	{
		bool ok = FindInt32(archive, "count", &count) == B_OK;
		ok &= FindString(archive, "name", &name) == B_OK;
		return ok;
	}
	int32 count = 7;
	std::string name = "default";
	bool failArchive = false;
};

// Points the user's settings folder at a fresh temporary folder.
class SettingsFolder {
public:
	SettingsFolder() { setenv("XDG_CONFIG_HOME", fDir.Path().c_str(), 1); }
	~SettingsFolder() { unsetenv("XDG_CONFIG_HOME"); }
	const testutil::TempDir& Dir() const { return fDir; }
private:
	testutil::TempDir fDir;
};

}

TEST(TArchivable, SaveAndLoadRoundTrip)
{
	testutil::TempDir dir;
	BEntry entry(dir.File("counter.arc").c_str());
	TCounter saved;
	saved.count = 42;
	saved.name = "日本語";
	ASSERT_TRUE(saved.Save(entry));
	// one flattened message, nothing before or after it
	const std::string bytes = testutil::read_file(dir.File("counter.arc"));
	ASSERT_GE(bytes.size(), 4u);
	EXPECT_EQ(bytes.substr(0, 4), "1BOF");
	BMessage check;
	ASSERT_EQ(check.Unflatten(bytes.data()), B_OK);
	EXPECT_EQ((size_t)check.FlattenedSize(), bytes.size());

	TCounter loaded;
	ASSERT_TRUE(loaded.Load(entry));
	EXPECT_EQ(loaded.count, 42);
	EXPECT_EQ(loaded.name, "日本語");
	// no temporary file is left behind
	EXPECT_FALSE(BEntry(dir.File("counter.arc.saving").c_str()).Exists());
	EXPECT_EQ(testutil::folder_names(dir.Path()), std::vector<std::string>{"counter.arc"});
}

TEST(TArchivable, DamagedOrMissingFilesLeaveTheObjectUntouched)
{
	testutil::TempDir dir;
	TCounter object;
	EXPECT_FALSE(object.Load(BEntry(dir.File("missing.arc").c_str())));
	EXPECT_FALSE(object.Load(BEntry(dir.Write("empty.arc", "").c_str())));
	EXPECT_FALSE(object.Load(BEntry(dir.Write("junk.arc", "this is not a message").c_str())));
	EXPECT_EQ(object.count, 7);
	EXPECT_EQ(object.name, "default");

	// a field of the wrong type keeps the default, the others are read
	BMessage partial;
	partial.AddString("count", "not a number");
	partial.AddString("name", "read");
	EXPECT_FALSE(object.Unarchive(partial));
	EXPECT_EQ(object.count, 7);
	EXPECT_EQ(object.name, "read");
}

TEST(TArchivable, DamagedFilesAreKeptAsideNotOverwritten)
{
	testutil::TempDir dir;
	BEntry entry(dir.File("c.arc").c_str());
	TCounter good;
	good.count = 5;
	ASSERT_TRUE(good.Save(entry));
	const std::string whole = testutil::read_file(dir.File("c.arc"));

	BMessage otherVersion('othr');
	otherVersion.AddFloat("count", 1.5f);
	BMallocIO other;
	ASSERT_EQ(otherVersion.Flatten(&other), B_OK);
	const std::string damaged[] = {
		whole.substr(0, whole.size() / 2),   // cut short
		"",                                   // empty
		"\x01\xff garbage \x00\x7f",         // garbage
		std::string(static_cast<const char*>(other.Buffer()), other.BufferLength()),
	};
	int n = 0;
	for (const std::string& bytes : damaged) {
		SCOPED_TRACE(n);
		dir.Write("c.arc", bytes);
		TCounter object;
		EXPECT_FALSE(object.Load(entry));
		EXPECT_EQ(object.count, 7) << "the default is used";
		// The damaged file is kept under a name of its own, never reused.
		const std::string aside = dir.File(n == 0 ? "c.arc.damaged"
			: "c.arc.damaged-" + std::to_string(n + 1));
		EXPECT_EQ(testutil::read_file(aside), bytes);
		EXPECT_FALSE(BEntry(dir.File("c.arc").c_str()).Exists());
		// The next save writes a whole new file beside it.
		ASSERT_TRUE(object.Save(entry));
		TCounter again;
		EXPECT_TRUE(again.Load(entry));
		EXPECT_EQ(testutil::read_file(aside), bytes);
		n++;
	}
}

TEST(TArchivable, FailedSaveKeepsTheOldFile)
{
	testutil::TempDir dir;
	BEntry entry(dir.File("keep.arc").c_str());
	TCounter object;
	object.count = 1;
	ASSERT_TRUE(object.Save(entry));
	const std::string before = testutil::read_file(dir.File("keep.arc"));

	object.count = 2;
	object.failArchive = true;
	EXPECT_FALSE(object.Save(entry));
	EXPECT_EQ(testutil::read_file(dir.File("keep.arc")), before);

	// an unwritable folder: the save fails and reports it
	testutil::TempDir locked;
	chmod(locked.Path().c_str(), 0500);
	object.failArchive = false;
	if (geteuid() != 0) {
		EXPECT_FALSE(object.Save(BEntry(locked.File("x.arc").c_str())));
	}
	chmod(locked.Path().c_str(), 0700);
}

// The one way the system's code saves a file: settings, presets and
// inter-application items all go through it.
TEST(SaveMessage, ReplacesWholeOrNotAtAll)
{
	testutil::TempDir dir;
	BMessage first('frst');
	first.AddString("text", std::string(300, 'a').c_str());
	BMessage second('scnd');
	const std::string target = dir.File("prefs");
	auto saved = [&] {
		BMessage read;
		BFile file(target.c_str(), B_READ_ONLY);
		return read.Unflatten(&file) == B_OK ? read.what : 0;
	};

	// Leftovers of saves that a crash interrupted, of this version or an
	// earlier one, are neither in the way nor touched.
	dir.Write("prefs.saving", "stale");
	dir.Write(".prefs.saving", "stale");
	ASSERT_EQ(mkdir(dir.File(".prefs.saving-000000000000").c_str(), 0755), 0);
	ASSERT_EQ(save_message(first, target.c_str()), B_OK);
	EXPECT_EQ(saved(), (uint32)'frst');
	EXPECT_EQ(testutil::read_file(dir.File(".prefs.saving")), "stale");

	// The permissions of the file it replaces stay; a link stays a link.
	ASSERT_EQ(chmod(target.c_str(), 0600), 0);
	ASSERT_EQ(symlink(target.c_str(), dir.File("link").c_str()), 0);
	ASSERT_EQ(save_message(second, dir.File("link").c_str()), B_OK);
	EXPECT_EQ(saved(), (uint32)'scnd');
	struct stat st;
	ASSERT_EQ(lstat(dir.File("link").c_str(), &st), 0);
	EXPECT_TRUE(S_ISLNK(st.st_mode));
	ASSERT_EQ(stat(target.c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 07777, 0600u);

	// Failures are told apart, and leave the old file.
	EXPECT_EQ(save_message(first, ""), B_BAD_VALUE);
	EXPECT_EQ(save_message(first, dir.Path().c_str()), B_IS_A_DIRECTORY);
	EXPECT_EQ(save_message(first, dir.File("missing/prefs").c_str()), B_ENTRY_NOT_FOUND);
	{
		testutil::FileSizeLimit full(64);
		EXPECT_NE(save_message(first, target.c_str()), B_OK);
	}
	EXPECT_EQ(saved(), (uint32)'scnd');

	EXPECT_EQ(testutil::folder_names(dir.Path()), (std::vector<std::string>{
		".prefs.saving", ".prefs.saving-000000000000", "link", "prefs", "prefs.saving"}));
}

TEST(GetEntry, FolderKinds)
{
	SettingsFolder settings;
	BEntry entry;
	EXPECT_FALSE(get_entry("", &entry, BASE_DIR_SETTINGS, "Shared"));
	EXPECT_FALSE(get_entry(nullptr, &entry, BASE_DIR_SETTINGS, "Shared"));

	const std::string absolute = settings.Dir().File("file.arc");
	ASSERT_TRUE(get_entry(absolute.c_str(), &entry, BASE_DIR_SETTINGS, "Shared"));
	BPath path;
	entry.GetPath(&path);
	EXPECT_EQ(std::string(path.Path()), absolute);

	ASSERT_TRUE(get_entry("VersoShared_Prefs.arc", &entry, BASE_DIR_SETTINGS, "Shared"));
	entry.GetPath(&path);
	EXPECT_EQ(std::string(path.Path()), settings.Dir().File("ORVIK/Shared/VersoShared_Prefs.arc"));
	EXPECT_TRUE(BEntry(settings.Dir().File("ORVIK/Shared").c_str()).IsDirectory());

	ASSERT_TRUE(get_entry("a.txt", &entry, BASE_DIR_PATH, settings.Dir().Path().c_str()));
	entry.GetPath(&path);
	EXPECT_EQ(std::string(path.Path()), settings.Dir().File("a.txt"));

	BEntry untouched(settings.Dir().File("a.txt").c_str());
	EXPECT_TRUE(get_entry("b.txt", &untouched, static_cast<TBaseDir>(9), nullptr));
	untouched.GetPath(&path);
	EXPECT_EQ(std::string(path.Path()), settings.Dir().File("a.txt"));
}

TEST(CopyFile, CopiesContentsAndAttributesWithoutAShell)
{
	testutil::TempDir dir;
	// a name that a shell would run
	const std::string source = dir.Write("a \"$(touch pwned)\" b.txt", "contents");
	{
		BNode node(source.c_str());
		node.WriteAttr("test:attr", B_STRING_TYPE, 0, "value", 6);
	}
	const std::string folder = dir.File("into");
	mkdir(folder.c_str(), 0700);
	ASSERT_TRUE(copy_file(source.c_str(), folder.c_str()));
	const std::string copied = folder + "/a \"$(touch pwned)\" b.txt";
	EXPECT_EQ(testutil::read_file(copied), "contents");
	EXPECT_FALSE(BEntry(dir.File("pwned").c_str()).Exists());
	EXPECT_FALSE(BEntry("pwned").Exists());

	char value[16] = {};
	BNode copy(copied.c_str());
	if (copy.ReadAttr("test:attr", B_STRING_TYPE, 0, value, sizeof(value)) > 0) {
		EXPECT_STREQ(value, "value");
	}

	EXPECT_FALSE(copy_file(dir.File("missing").c_str(), folder.c_str()));
	EXPECT_FALSE(copy_file(source.c_str(), (std::string(600, 'x')).c_str()));
}

TEST(TextUtils, AcceleratorLabels)
{
	EXPECT_EQ(merge_accelerator_key("a) ", "S", "Save"), "S) Save");
	EXPECT_EQ(merge_accelerator_key("(None)", "S", "Save"), "Save");
	EXPECT_EQ(merge_accelerator_key("a - ", "S", "Save"), "S - Save");
	EXPECT_EQ(merge_accelerator_key("[a]a ", "S", "Save"), "[S]a Save");
	EXPECT_TRUE(is_char_begin_byte('a'));
	EXPECT_TRUE(is_char_begin_byte('\xe3'));
	EXPECT_FALSE(is_char_begin_byte('\x81'));
	EXPECT_EQ(orvik::abs(-2.5), 2.5);
}

namespace {

class TLoop : public TThread {
public:
	TLoop() : TThread("test loop", B_NORMAL_PRIORITY) {}
	std::atomic<int32> rounds{0};
protected:
	int32 Execute() override
	{
		while (!fTerminateRequested) {
			rounds++;
			snooze(1000);
		}
		return 5;
	}
};

}

TEST(TThread, StartsSuspendedAndEndsOnRequest)
{
	TLoop loop;
	EXPECT_TRUE(loop.IsSuspended());
	EXPECT_FALSE(loop.IsTerminated());
	EXPECT_TRUE(loop.SetName("renamed loop"));
	ASSERT_TRUE(loop.Resume());
	EXPECT_TRUE(testutil::wait_for([&] { return loop.rounds > 2; }));
	EXPECT_TRUE(loop.Terminate());
	EXPECT_TRUE(loop.Wait());
	EXPECT_TRUE(loop.IsTerminated());
}

TEST(TThread, DestroyingARunningThreadStopsIt)
{
	TLoop* loop = new TLoop;
	loop->Resume();
	EXPECT_TRUE(testutil::wait_for([&] { return loop->rounds > 0; }));
	delete loop;  // kills the thread and waits for it

	TLoop* neverStarted = new TLoop;
	delete neverStarted;
}

namespace {

class TRecorder : public BHandler {
public:
	TRecorder() : BHandler("recorder") {}
	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'next')
			got++;
	}
	std::atomic<int32> got{0};
};

}

TEST(MessageChain, CarriesAndInvokesTheNextMessage)
{
	BLooper* looper = new BLooper("chain");
	TRecorder* recorder = new TRecorder;
	looper->AddHandler(recorder);
	looper->Run();

	BMessage request('rqst');
	ASSERT_TRUE(add_next_msg(&request, BMessage('next'), recorder));
	BMessage copy('copy');
	EXPECT_TRUE(copy_next_msg(&copy, request));
	EXPECT_FALSE(copy_next_msg(&copy, BMessage('none')));
	EXPECT_TRUE(invoke_next_msg(&copy));
	EXPECT_TRUE(invoke_next_msg(&request));
	BMessage none('none');
	EXPECT_FALSE(invoke_next_msg(&none));
	EXPECT_TRUE(testutil::wait_for([&] { return recorder->got >= 2; }));

	looper->Lock();
	looper->RemoveHandler(recorder);
	looper->Quit();
	delete recorder;
}
