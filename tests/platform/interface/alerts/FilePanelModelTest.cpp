// The file panel's folder model: what it lists, in which order, what may be
// selected and sent, and how it moves between folders.
#include <gtest/gtest.h>

#include "TestUtil.h"

#include <FilePanel.h>
#include <Path.h>

#include "storage/FilePanelModel.h"

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using BPrivate::FilePanelModel;
using BPrivate::PanelEntry;

namespace {

std::vector<std::string> names(const FilePanelModel& model)
{
	std::vector<std::string> out;
	for (int32 i = 0; i < model.CountItems(); i++)
		out.push_back(model.ItemAt(i)->name);
	return out;
}

std::string path_of(const entry_ref& ref)
{
	BPath path(&ref);
	return path.InitCheck() == B_OK ? path.Path() : "";
}

// A folder with files, folders, links of each kind, a FIFO and a hidden file.
struct Folder {
	testutil::TempDir dir;
	Folder()
	{
		dir.Write("b.lrc", "[00:01]b");
		dir.Write("A.txt", "a");
		dir.Write("c.txt", "c");
		dir.Write(".hidden", "h");
		mkdir(dir.File("Zeta").c_str(), 0755);
		mkdir(dir.File("alpha").c_str(), 0755);
		dir.Write("alpha/inner.txt", "i");
		symlink(dir.File("c.txt").c_str(), dir.File("link-to-file").c_str());
		symlink(dir.File("alpha").c_str(), dir.File("link-to-folder").c_str());
		symlink(dir.File("missing").c_str(), dir.File("dangling").c_str());
		mkfifo(dir.File("pipe").c_str(), 0644);
	}
	int32 Index(const FilePanelModel& model, const char* name) { return model.IndexOf(name); }
};

}

TEST(FilePanelModel, ListsFoldersFirstByNameWithoutHiddenFiles)
{
	Folder folder;
	FilePanelModel model(0, true);
	ASSERT_EQ(model.SetFolder(folder.dir.Path().c_str()), B_OK);
	EXPECT_EQ(names(model), (std::vector<std::string>{"alpha", "link-to-folder", "Zeta",
		"A.txt", "b.lrc", "c.txt", "dangling", "link-to-file", "pipe"}));
	entry_ref ref;
	ASSERT_EQ(model.GetFolderRef(&ref), B_OK);

	// Numbers in names go by their value.
	testutil::TempDir numbered;
	for (const char* name : {"song 10.lrc", "song 9.lrc", "Song 2.lrc", "song 010b.lrc"})
		numbered.Write(name, "");
	FilePanelModel byNumber(0, true);
	ASSERT_EQ(byNumber.SetFolder(numbered.Path().c_str()), B_OK);
	EXPECT_EQ(names(byNumber), (std::vector<std::string>{"Song 2.lrc", "song 9.lrc",
		"song 10.lrc", "song 010b.lrc"}));
	char resolved[PATH_MAX];
	ASSERT_NE(realpath(folder.dir.Path().c_str(), resolved), nullptr);
	EXPECT_EQ(path_of(ref), resolved);
}

TEST(FilePanelModel, FlavorsDecideWhatIsSentAndLinksSendTheirTarget)
{
	Folder folder;
	char dirPath[PATH_MAX];
	ASSERT_NE(realpath(folder.dir.Path().c_str(), dirPath), nullptr);
	std::string dir = dirPath;

	// Files only (the default): folders can be selected but are not sent;
	// a link to a file sends the file; a FIFO and a dangling link are grey.
	FilePanelModel files(0, true);
	ASSERT_EQ(files.SetFolder(dir.c_str()), B_OK);
	auto item = [&](FilePanelModel& m, const char* name) { return m.ItemAt(m.IndexOf(name)); };
	EXPECT_FALSE(item(files, "alpha")->sendable);
	EXPECT_TRUE(item(files, "alpha")->Selectable());
	EXPECT_TRUE(item(files, "link-to-folder")->isFolder);
	EXPECT_TRUE(item(files, "link-to-file")->sendable);
	EXPECT_FALSE(item(files, "pipe")->Selectable());
	EXPECT_FALSE(item(files, "dangling")->Selectable());
	EXPECT_FALSE(files.Select(files.IndexOf("pipe")));
	EXPECT_EQ(files.CountSelected(), 0);

	files.Select(files.IndexOf("alpha"));
	files.Select(files.IndexOf("link-to-file"), false, true);
	std::vector<entry_ref> refs = files.SelectedRefs();
	ASSERT_EQ(refs.size(), 1u);
	EXPECT_EQ(path_of(refs[0]), dir + "/c.txt");

	// Folders and links: the folder is sent, and links as themselves.
	FilePanelModel both(B_DIRECTORY_NODE | B_SYMLINK_NODE, true);
	ASSERT_EQ(both.SetFolder(dir.c_str()), B_OK);
	EXPECT_TRUE(both.AllowsFolders());
	EXPECT_FALSE(item(both, "A.txt")->Selectable());
	EXPECT_TRUE(item(both, "dangling")->sendable);
	both.Select(both.IndexOf("alpha"));
	both.Select(both.IndexOf("link-to-file"), false, true);
	refs = both.SelectedRefs();
	ASSERT_EQ(refs.size(), 2u);
	EXPECT_EQ(path_of(refs[0]), dir + "/alpha");
	EXPECT_EQ(path_of(refs[1]), dir + "/link-to-file");
}

TEST(FilePanelModel, SelectsSingleRangesAndToggles)
{
	Folder folder;
	FilePanelModel model(0, true);
	ASSERT_EQ(model.SetFolder(folder.dir.Path().c_str()), B_OK);
	int32 a = model.IndexOf("A.txt");
	int32 c = model.IndexOf("c.txt");

	EXPECT_TRUE(model.Select(a));
	EXPECT_FALSE(model.Select(a));            // nothing changed
	EXPECT_TRUE(model.Select(c, true));       // Shift: A.txt to c.txt
	EXPECT_EQ(model.CountSelected(), 3);
	EXPECT_TRUE(model.Select(model.IndexOf("b.lrc"), false, true));   // Control: b off
	EXPECT_EQ(model.SelectedRefs().size(), 2u);
	// A range skips what cannot be selected.
	model.Select(c);
	model.Select(model.IndexOf("pipe"), true);
	EXPECT_EQ(model.CountSelected(), 2);      // c.txt and link-to-file

	EXPECT_TRUE(model.SelectAll());
	EXPECT_EQ(model.CountSelected(), 7);      // all but the FIFO and the dangling link
	EXPECT_TRUE(model.DeselectAll());
	EXPECT_EQ(model.FirstSelected(), -1);
	EXPECT_FALSE(model.Select(-1));
	EXPECT_FALSE(model.Select(model.CountItems()));

	// One at a time: Shift and Control act as plain clicks.
	FilePanelModel single(0, false);
	ASSERT_EQ(single.SetFolder(folder.dir.Path().c_str()), B_OK);
	single.Select(a);
	single.Select(c, true);
	single.Select(single.IndexOf("b.lrc"), false, true);
	EXPECT_EQ(single.CountSelected(), 1);
	EXPECT_FALSE(single.SelectAll());
}

TEST(FilePanelModel, MovesBetweenFoldersAndKeepsStateOnErrors)
{
	Folder folder;
	FilePanelModel model(0, true);
	ASSERT_EQ(model.SetFolder(folder.dir.File("alpha").c_str()), B_OK);
	EXPECT_EQ(names(model), std::vector<std::string>{"inner.txt"});

	// Up: the folder we came from is selected.
	ASSERT_EQ(model.GoUp(), B_OK);
	ASSERT_GE(model.FirstSelected(), 0);
	EXPECT_EQ(model.ItemAt(model.FirstSelected())->name, "alpha");

	// Folders that cannot be listed leave the model as it was.
	std::string before = model.FolderPath();
	EXPECT_NE(model.SetFolder(folder.dir.File("nowhere").c_str()), B_OK);
	EXPECT_EQ(model.SetFolder(folder.dir.File("A.txt").c_str()), B_NOT_A_DIRECTORY);
	EXPECT_EQ(model.SetFolder(""), B_BAD_VALUE);
	EXPECT_EQ(model.FolderPath(), before);
	EXPECT_EQ(model.CountSelected(), 1);

	// A reload sees new entries and keeps the selection.
	folder.dir.Write("new.txt", "n");
	ASSERT_EQ(model.Reload(), B_OK);
	EXPECT_GE(model.IndexOf("new.txt"), 0);
	EXPECT_EQ(model.ItemAt(model.FirstSelected())->name, "alpha");

	ASSERT_EQ(model.SetFolder("/"), B_OK);
	EXPECT_EQ(model.GoUp(), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(model.FolderPath(), "/");
}

TEST(FilePanelModel, RefFilterSeesEachEntryWithItsStat)
{
	class LyricsOnly : public BRefFilter {
	public:
		bool Filter(const entry_ref* ref, BNode*, struct stat* st, const char*) override
		{
			seen++;
			if (S_ISDIR(st->st_mode))
				return true;
			std::string name = ref->name;
			return name.size() > 4 && name.compare(name.size() - 4, 4, ".lrc") == 0;
		}
		int seen = 0;
	};
	Folder folder;
	LyricsOnly filter;
	FilePanelModel model(0, true);
	model.SetRefFilter(&filter);
	ASSERT_EQ(model.SetFolder(folder.dir.Path().c_str()), B_OK);
	EXPECT_EQ(filter.seen, 9);
	// Links are given with their own stat: a link to a folder is not a folder.
	EXPECT_EQ(names(model), (std::vector<std::string>{"alpha", "Zeta", "b.lrc"}));
}
