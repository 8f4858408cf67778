// Opening a lyrics file in the editor: through the peer when it runs,
// otherwise with the preferred application, after asking to create a
// missing file.
#include "CommManTestSupport.h"

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include <sys/stat.h>

using namespace cmtest;

namespace {

BMessage open_request(const std::string& path)
{
	entry_ref ref;
	get_ref_for_path(path.c_str(), &ref);
	BMessage request(kMsgOpenVersoE);
	request.AddRef(kFieldLyricsERef, &ref);
	return request;
}

bool exists(const std::string& path, off_t* size = nullptr)
{
	struct stat info;
	if (stat(path.c_str(), &info) != 0)
		return false;
	if (size != nullptr)
		*size = info.st_size;
	return true;
}

}

using Editor = ManagerFixture;

TEST_F(Editor, ThePeerGetsTheFileAndNothingIsAskedOrLaunched)
{
	Desktop desktop;
	testutil::TempDir dir;
	const std::string path = dir.File("Song.txt");
	ConnectPeer();
	Post(open_request(path));
	BMessage refs;
	ASSERT_TRUE(fPeer->record.WaitFor(B_REFS_RECEIVED, &refs));
	Settle();

	EXPECT_EQ(fPeer->record.Codes(), (std::vector<uint32>{B_REFS_RECEIVED}));
	entry_ref ref;
	ASSERT_EQ(refs.FindRef("refs", &ref), B_OK);
	EXPECT_EQ(BPath(&ref).Path(), path);
	EXPECT_TRUE(desktop.Alerts().empty());
	EXPECT_TRUE(desktop.Opened().empty());
	EXPECT_FALSE(exists(path));
}

TEST_F(Editor, AMissingFileIsCreatedOnlyWhenTheUserSaysYes)
{
	Desktop desktop;
	testutil::TempDir dir;
	const std::string path = dir.File("Missing.txt");

	desktop.answer = 0;   // No
	Post(open_request(path));
	Settle();
	ASSERT_EQ(desktop.Alerts().size(), 1u);
	const orvik::TAlertRequest question = desktop.Alerts()[0];
	EXPECT_EQ(question.type, B_INFO_ALERT);
	EXPECT_EQ(question.escapeIndex, -1);
	EXPECT_EQ(question.buttons, (std::vector<std::string>{"N) No", "Y) Yes"}));
	EXPECT_NE(question.text.find(path), std::string::npos);
	EXPECT_NE(question.text.find("Do you want to create it?"), std::string::npos);
	EXPECT_FALSE(exists(path));
	EXPECT_TRUE(desktop.Opened().empty());

	desktop.answer = 1;   // Yes
	Post(open_request(path));
	ASSERT_TRUE(testutil::wait_for([&] { return !desktop.Opened().empty(); }));
	off_t size = -1;
	EXPECT_TRUE(exists(path, &size));
	EXPECT_EQ(size, 0);
	EXPECT_EQ(desktop.Opened(), path + "\n");
	EXPECT_EQ(desktop.Alerts().size(), 2u);
}

TEST_F(Editor, AnExistingFileOpensAsItIs)
{
	Desktop desktop;
	testutil::TempDir dir;
	const std::string path = dir.Write("Here.txt", "[00:01]la la\n");
	Post(open_request(path));
	ASSERT_TRUE(testutil::wait_for([&] { return !desktop.Opened().empty(); }));
	EXPECT_EQ(desktop.Opened(), path + "\n");
	EXPECT_EQ(testutil::read_file(path), "[00:01]la la\n");
	EXPECT_TRUE(desktop.Alerts().empty());
}

TEST_F(Editor, AFailedLaunchIsReportedWithThePath)
{
	Desktop desktop;
	desktop.FailOpener();
	testutil::TempDir dir;
	const std::string path = dir.Write("Here.txt", "text");
	Post(open_request(path));
	Settle();
	ASSERT_EQ(desktop.Alerts().size(), 1u);
	EXPECT_EQ(desktop.Alerts()[0].type, B_WARNING_ALERT);
	EXPECT_NE(desktop.Alerts()[0].text.find("The lyrics file cannot be opened:\n" + path),
		std::string::npos) << desktop.Alerts()[0].text;
}

TEST_F(Editor, ARequestWithoutAFileDoesNothing)
{
	Desktop desktop;
	Post(kMsgOpenVersoE);
	Settle();
	EXPECT_TRUE(desktop.Alerts().empty());
	EXPECT_TRUE(desktop.Opened().empty());
}
