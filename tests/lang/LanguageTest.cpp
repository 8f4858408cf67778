// The current language: built-in or file, the path rewrite, the 10 tries
// and their alert, language lists, the node monitor, and readers of gLLT
// while it is replaced.
#include "LangTestUtil.h"
#include "lang/Language.h"
#include "lang/TNodeMonitorHandler.h"
#include "prefs/PrefStore.h"

#include "TestUtil.h"

#include <AppDefs.h>
#include <Directory.h>
#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <NodeMonitor.h>
#include <OS.h>
#include <Path.h>

#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <thread>

using langtest::llt;

namespace {

const char* const kJapanese = "日本語 (Japanese)";

class Language : public ::testing::Test {
protected:
	void SetUp() override
	{
		char* real = realpath(fDir.Path().c_str(), nullptr);
		fBase = real;
		free(real);
		fPlugin = fBase + "/add-ons/gen_VersoD";
		ASSERT_EQ(create_directory((fBase + "/add-ons/Language").c_str(), 0755), B_OK);
		langtest::write_plugin(fPlugin, langtest::shipped_language("Japanese.llt"));
		gPref = new TPref;
		gLLT = new TLLT;
	}
	void TearDown() override
	{
		delete gLLT;
		gLLT = nullptr;
		delete gPref;
		gPref = nullptr;
	}

	std::string Folder() const { return fBase + "/add-ons/Language/"; }
	std::string WriteLanguage(const std::string& name, const std::string& text) const
	{
		return fDir.Write("add-ons/Language/" + name, text);
	}
	void SetPreference(const std::string& path)
	{
		TPrefLock pref;
		pref->languageFile = path;
	}
	std::string Preference()
	{
		TPrefLock pref;
		return pref->languageFile;
	}

	testutil::TempDir fDir;
	std::string fBase;
	std::string fPlugin;
};

}

TEST_F(Language, EmptyPreferenceLoadsTheBuiltInLanguage)
{
	// Not even a broken language folder is looked at.
	ASSERT_EQ(rmdir((fBase + "/add-ons/Language").c_str()), 0);
	fDir.Write("add-ons/Language", "not a folder");
	SetPreference("");
	int loads = 0;
	set_language_loaded_hook([&loads] { loads++; });

	EXPECT_TRUE(load_language(fPlugin.c_str()));
	set_language_loaded_hook(nullptr);
	EXPECT_EQ(gLLT->LanguageName(), kJapanese);
	EXPECT_STREQ(gLLT->Text("PopMItem_Encoding_4"), "自動判別");
	EXPECT_EQ(Preference(), "");
	EXPECT_EQ(loads, 1);
}

TEST_F(Language, APathElsewhereIsLoadedFromTheLanguageFolderAndRewritten)
{
	WriteLanguage("French.llt", llt("Français", "Button_OK = D'accord\n"));
	SetPreference("/some/other/folder/French.llt");
	load_language(fPlugin.c_str());
	EXPECT_EQ(gLLT->LanguageName(), "Français");
	EXPECT_STREQ(gLLT->Text("Button_OK"), "D'accord");
	EXPECT_EQ(Preference(), Folder() + "French.llt");

	// The default preference is a bare file name.
	WriteLanguage("English.llt", langtest::shipped_language("English.llt"));
	SetPreference("English.llt");
	load_language(fPlugin.c_str());
	EXPECT_EQ(gLLT->LanguageName(), "English");
	EXPECT_STREQ(gLLT->Text("Button_OK"), "OK");
	EXPECT_STREQ(gLLT->Text("About_Win_Win_Title_1"), "About ");
	// Nothing of French is left over.
	EXPECT_EQ(gLLT->TextMap().count("Button_OK"), 1u);
	EXPECT_EQ(Preference(), Folder() + "English.llt");
}

TEST_F(Language, AFileThatNeverLoadsIsTriedTenTimesThenReported)
{
	langtest::AlertRecorder alerts;
	WriteLanguage("Good.llt", llt("Good", "k = v\n"));
	SetPreference("Good.llt");
	load_language(fPlugin.c_str());
	ASSERT_STREQ(gLLT->Text("k"), "v");

	WriteLanguage("Broken.llt", "[Informations]\nHeader = LLT File Format 99\n");
	SetPreference("/elsewhere/Broken.llt");
	const bigtime_t start = system_time();
	EXPECT_TRUE(load_language(fPlugin.c_str()));
	const bigtime_t elapsed = system_time() - start;

	EXPECT_GE(elapsed, 9 * 20000);   // nine pauses of 20 ms between the tries
	const auto requests = alerts.Requests();
	ASSERT_EQ(requests.size(), 1u);
	EXPECT_EQ(requests[0].text,
		"* Verso Displayer *\n\nCan't load language file:\n" + Folder() + "Broken.llt");
	EXPECT_EQ(requests[0].buttons, std::vector<std::string>{"U - Understand"});
	EXPECT_EQ(requests[0].shortcuts, std::vector<char>{'u'});   // no Escape button
	EXPECT_EQ(requests[0].type, B_WARNING_ALERT);

	// The table is empty, the preference keeps the path for the next try.
	EXPECT_STREQ(gLLT->Text("k"), "! ERROR !");
	EXPECT_EQ(gLLT->LanguageName(), "");
	EXPECT_EQ(Preference(), Folder() + "Broken.llt");
}

TEST_F(Language, ListsLanguagesByName)
{
	WriteLanguage("English.llt", langtest::shipped_language("English.llt"));
	WriteLanguage("Deutsch-a.llt", llt("Deutsch", "k = a\n"));
	WriteLanguage("Deutsch-b.llt", llt("Deutsch", "k = b\n"));
	WriteLanguage("NihongoCopy.llt", llt(kJapanese, "k = a file\n"));
	WriteLanguage("nodot_llt", llt("No Dot", ""));
	WriteLanguage("Upper.LLT", llt("Upper", ""));
	WriteLanguage("Broken.llt", "[Informations]\nHeader = nothing\n");
	WriteLanguage("notes.txt", llt("Text", ""));

	// Of two files of one name the one read later counts.
	std::string laterDeutsch;
	BDirectory folder(Folder().c_str());
	BEntry entry;
	while (folder.GetNextEntry(&entry) == B_OK) {
		char name[B_FILE_NAME_LENGTH];
		entry.GetName(name);
		if (strncmp(name, "Deutsch", 7) == 0)
			laterDeutsch = Folder() + name;
	}

	std::map<std::string, std::string> languages;
	get_lang_files_plug(fPlugin.c_str(), &languages);
	const std::map<std::string, std::string> expected = {
		{"Deutsch", laterDeutsch},
		{"English", Folder() + "English.llt"},
		{"No Dot", Folder() + "nodot_llt"},
		{kJapanese, ""},   // the built-in language hides the file of its name
	};
	EXPECT_EQ(languages, expected);

	// Over a given folder, with the running program's own resources (none).
	std::map<std::string, std::string> plain;
	orvik::get_lang_files(Folder().c_str(), &plain);
	EXPECT_EQ(plain.size(), 4u);
	EXPECT_EQ(plain[kJapanese], Folder() + "NihongoCopy.llt");
}

namespace {

// Keeps the 'what' and opcode of every message its own handler posts.
class RecordingLooper : public BLooper {
public:
	RecordingLooper() : BLooper("language monitor test") {}
	void MessageReceived(BMessage* message) override
	{
		if (message->what != '_nlc') {
			BLooper::MessageReceived(message);
			return;
		}
		int32 opcode = 0;
		message->FindInt32("opcode", &opcode);
		std::lock_guard<std::mutex> lock(fLock);
		fOpcodes.push_back(opcode);
	}
	std::vector<int32> Opcodes()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fOpcodes;
	}
	bool WaitFor(int32 opcode)
	{
		return testutil::wait_for([&] {
			for (int32 seen : Opcodes()) {
				if (seen == opcode)
					return true;
			}
			return false;
		});
	}
private:
	std::mutex fLock;
	std::vector<int32> fOpcodes;
};

class LanguageMonitor : public Language {
protected:
	void SetUp() override
	{
		Language::SetUp();
		fLooper = new RecordingLooper;
		fHandler = new TNodeMonitorHandler('_nlc');
		fLooper->AddHandler(fHandler);
		fLooper->Run();
	}
	void TearDown() override
	{
		stop_watching(fHandler, fLooper);
		fLooper->Lock();
		fLooper->RemoveHandler(fHandler);
		delete fHandler;
		fLooper->Quit();
		Language::TearDown();
	}
	RecordingLooper* fLooper = nullptr;
	TNodeMonitorHandler* fHandler = nullptr;
};

}

TEST_F(LanguageMonitor, AttributeChangesAreDroppedOtherChangesForwarded)
{
	BMessage attribute(B_NODE_MONITOR);
	attribute.AddInt32("opcode", B_ATTR_CHANGED);
	BMessage stat(B_NODE_MONITOR);
	stat.AddInt32("opcode", B_STAT_CHANGED);
	ASSERT_EQ(fLooper->PostMessage(&attribute, fHandler), B_OK);
	ASSERT_EQ(fLooper->PostMessage(&stat, fHandler), B_OK);

	// Handled in order: once the stat change is through, the attribute
	// change has been seen too.
	ASSERT_TRUE(fLooper->WaitFor(B_STAT_CHANGED));
	EXPECT_EQ(fLooper->Opcodes(), std::vector<int32>{B_STAT_CHANGED});
}

TEST_F(LanguageMonitor, WatchesTheFolderAndTheChosenFile)
{
	const std::string file = WriteLanguage("Mine.llt", llt("Mine", "k = 1\n"));
	SetPreference(file);
	set_node_monitor_language(fPlugin, fHandler);

	fDir.Write("add-ons/Language/Mine.llt", llt("Mine", "k = 2\n"));
	EXPECT_TRUE(fLooper->WaitFor(B_STAT_CHANGED));

	WriteLanguage("New.llt", llt("New", ""));
	EXPECT_TRUE(fLooper->WaitFor(B_ENTRY_CREATED));

	// Re-aiming drops the old watches: the built-in language watches the
	// folder alone.
	SetPreference("");
	set_node_monitor_language(fPlugin, fHandler);
	WriteLanguage("Other.llt", llt("Other", ""));
	EXPECT_TRUE(fLooper->WaitFor(B_ENTRY_CREATED));
}

TEST_F(Language, WindowsNeverSeeAHalfLoadedLanguage)
{
	WriteLanguage("English.llt", langtest::shipped_language("English.llt"));
	const std::string english = Folder() + "English.llt";
	SetPreference("");
	load_language(fPlugin.c_str());

	std::atomic<bool> done(false);
	std::atomic<int> mixed(0);
	std::thread reader([&] {
		while (!done) {
			// A window reads a few texts in a row; each must be a whole text
			// of one of the two languages.
			const std::string ok = gLLT->Text("Button_Yes");
			const std::string name = gLLT->LanguageName();
			if ((ok != "Yes" && ok != "はい") || (name != "English" && name != kJapanese))
				mixed++;
		}
	});
	for (int i = 0; i < 40; i++) {
		SetPreference(i % 2 == 0 ? english : "");
		load_language(fPlugin.c_str());
	}
	done = true;
	reader.join();
	EXPECT_EQ(mixed, 0);
}
