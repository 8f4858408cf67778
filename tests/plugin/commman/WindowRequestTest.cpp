// Opening, re-showing and closing the windows the manager owns, with the
// rectangles its requests carry.
#include "CommManTestSupport.h"

#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "plugin/AppGlobals.h"
#include "prefs/PrefStore.h"

using namespace cmtest;

namespace {

BRect below_top(BRect frame)
{
	frame.top += 20;
	return frame;
}

}

class WindowRequest : public ManagerFixture {
protected:
	RecordingWin* OpenMain()
	{
		Post(kMsgOpenMainWin);
		EXPECT_TRUE(testutil::wait_for([this] { return Main() != nullptr && !hidden(Main()); }));
		return Main();
	}
};

TEST_F(WindowRequest, LyricsWindowOpensOnTheSavedFrameOnceAndReappears)
{
	RecordingWin* main = OpenMain();
	ASSERT_NE(main, nullptr);
	EXPECT_EQ(main->made, BRect(300, 400, 499, 504));

	hide(main);
	Post(kMsgOpenMainWin);
	EXPECT_TRUE(testutil::wait_for([&] { return !hidden(main); }));
	EXPECT_EQ(MainMade(), 1);
}

TEST_F(WindowRequest, PreferenceWindowBesideTheLyricsWindowAndShownAgainInPlace)
{
	RecordingWin* main = OpenMain();
	ASSERT_NE(main, nullptr);
	const BRect lyrics = frame_of(main);

	Post(kMsgPrepareOpenPrefWin);
	ASSERT_TRUE(testutil::wait_for([this] { return Pref() != nullptr && !hidden(Pref()); }));
	RecordingWin* pref = Pref();
	EXPECT_EQ(pref->made, below_top(lyrics));
	if (pref->Lock()) {
		EXPECT_EQ(pref->Target(), fManager);
		EXPECT_EQ(pref->Feel(), B_FLOATING_ALL_WINDOW_FEEL);
		pref->Unlock();
	}

	// Hidden and moved by the user: the context menu's request only shows
	// it again, where it is.
	hide(pref);
	move_to(pref, BPoint(40, 60));
	Post(kMsgPrefsRqtd);
	EXPECT_TRUE(testutil::wait_for([&] { return !hidden(pref); }));
	EXPECT_EQ(frame_of(pref).LeftTop(), BPoint(40, 60));
	EXPECT_EQ(PrefMade(), 1);
}

TEST_F(WindowRequest, DialogsWithoutTheLyricsWindowGetTheEmptyRectangle)
{
	Post(kMsgPrepareOpenPrefWin);
	Post(kMsgPrepareOpenAboutWin);
	ASSERT_TRUE(testutil::wait_for([this] { return Pref() != nullptr && About() != nullptr; }));
	EXPECT_EQ(Pref()->made, BRect(0, 20, -1, -1));
	EXPECT_EQ(About()->made, BRect(0, 20, -1, -1));
}

TEST_F(WindowRequest, DialogRequestsWithoutTheirFieldsAreIgnored)
{
	Desktop desktop;
	BMessage noFlag(kMsgOpenPrefWin);
	BMessage noFrame(kMsgOpenPrefWin);
	noFrame.AddBool(kFieldBesideDlg, true);
	Post(noFlag);
	Post(noFrame);
	noFlag.what = kMsgOpenAboutWin;
	noFrame.what = kMsgOpenAboutWin;
	Post(noFlag);
	Post(noFrame);
	Settle();
	EXPECT_EQ(PrefMade(), 0);
	EXPECT_EQ(AboutMade(), 0);
	EXPECT_TRUE(desktop.Alerts().empty());
}

TEST_F(WindowRequest, PreferenceWindowThatCannotBeMadeIsReportedAndTriedAgain)
{
	Desktop desktop;
	fPrefFails = true;
	Post(kMsgPrepareOpenPrefWin);
	Settle();
	ASSERT_EQ(desktop.Alerts().size(), 1u);
	EXPECT_EQ(desktop.Alerts()[0].type, B_WARNING_ALERT);
	EXPECT_NE(desktop.Alerts()[0].text.find("The preference window cannot be opened."),
		std::string::npos);

	fPrefFails = false;
	Post(kMsgPrefsRqtd);
	EXPECT_TRUE(testutil::wait_for([this] { return Pref() != nullptr && !hidden(Pref()); }));
}

TEST_F(WindowRequest, AboutWindowGetsTheProgramInformationFromEitherRequest)
{
	RecordingWin* main = OpenMain();
	ASSERT_NE(main, nullptr);
	Post(kMsgPrepareOpenAboutWin);
	ASSERT_TRUE(testutil::wait_for([this] { return About() != nullptr && !hidden(About()); }));
	EXPECT_EQ(About()->made, below_top(frame_of(main)));
	auto infos = AboutInfos();
	ASSERT_EQ(infos.size(), 1u);
	EXPECT_EQ(infos[0].name, gAppName);
	EXPECT_EQ(infos[0].version, gAppVer);
	EXPECT_EQ(infos[0].rights, std::string(gCrightPrfx) + "ORVIK");
	EXPECT_EQ(infos[0].table, gLLT);

	hide(About());
	Post(B_ABOUT_REQUESTED);
	EXPECT_TRUE(testutil::wait_for([this] { return !hidden(About()); }));
	EXPECT_EQ(AboutMade(), 1);

	// A language change renews the information of the open about window.
	Post(kMsgLanguageReloaded);
	Settle();
	EXPECT_EQ(AboutInfos().size(), 2u);
}

TEST_F(WindowRequest, AboutWithoutItsWindowShowsTheProgramInformation)
{
	Desktop desktop;
	if (fManager->Lock()) {
		fManager->SetAboutWindowMaker(nullptr, nullptr);
		fManager->Unlock();
	}
	Post(kMsgPrepareOpenAboutWin);
	Settle();
	ASSERT_EQ(desktop.Alerts().size(), 1u);
	const orvik::TAlertRequest alert = desktop.Alerts()[0];
	EXPECT_EQ(alert.type, B_INFO_ALERT);
	EXPECT_NE(alert.text.find(gAppName), std::string::npos);
	EXPECT_NE(alert.text.find(gAppVer), std::string::npos);
	EXPECT_NE(alert.text.find(std::string(gCrightPrfx) + "ORVIK"), std::string::npos);
}

TEST_F(WindowRequest, CloseRequestsQuitTheWindowsInTheirOrder)
{
	// Nothing to close yet: nothing happens.
	Post(kMsgClosePrefWin);
	Post(kMsgCloseAboutWin);
	Post(kMsgCloseMainWin);
	Settle();
	EXPECT_TRUE(fQuits.Names().empty());

	OpenMain();
	Post(kMsgPrepareOpenPrefWin);
	Post(kMsgPrepareOpenAboutWin);
	ASSERT_TRUE(testutil::wait_for([this] { return Pref() != nullptr && About() != nullptr; }));

	Post(kMsgCloseAboutWin);
	Post(kMsgClosePrefWin);
	Post(kMsgCloseCommonPrefWin);
	Post(kMsgCloseMainWin);
	Settle();
	EXPECT_EQ(fQuits.Names(), (std::vector<std::string>{"about", "preferences", "lyrics"}));
	if (fManager->Lock()) {
		EXPECT_EQ(fManager->MainWindow(), nullptr);
		EXPECT_EQ(fManager->PrefWindow(), nullptr);
		EXPECT_EQ(fManager->AboutWindow(), nullptr);
		fManager->Unlock();
	}

	// After a close, a request makes a new window.
	Post(kMsgPrepareOpenPrefWin);
	EXPECT_TRUE(testutil::wait_for([this] { return PrefMade() == 2; }));
}

TEST_F(WindowRequest, CommonPreferencesOpenBelowTheLyricsWindowsTop)
{
	std::mutex lock;
	std::vector<BRect> asked;
	gIAP->SetWindowMaker([&](BRect frame) -> TIAPPortManager* {
		std::lock_guard<std::mutex> guard(lock);
		asked.push_back(frame);
		return nullptr;
	});
	RecordingWin* main = OpenMain();
	ASSERT_NE(main, nullptr);
	Post(kMsgCommonPrefsRqtd);
	Settle();
	gIAP->SetWindowMaker(nullptr);
	std::lock_guard<std::mutex> guard(lock);
	ASSERT_EQ(asked.size(), 1u);
	EXPECT_EQ(asked[0], below_top(frame_of(main)));
}

TEST_F(WindowRequest, HelpAndTheAuthorsPageOpenTheHelpDocument)
{
	Desktop desktop;
	Post(kMsgAuthorWebRqtd);
	ASSERT_TRUE(testutil::wait_for([&] { return !desktop.Opened().empty(); }));
	const std::string opened = desktop.Opened();
	EXPECT_EQ(opened.rfind("file://", 0), 0u) << opened;
	EXPECT_NE(opened.find("/VersoD.htm\n"), std::string::npos) << opened;
	EXPECT_EQ(TVersoDCommMan::AuthorWebAddress() + "\n", opened);

	// Without the plug-in file there is no help document beside it: the
	// user is told so.
	Post(kMsgHelpRqtd);
	Settle();
	ASSERT_EQ(desktop.Alerts().size(), 1u);
	EXPECT_NE(desktop.Alerts()[0].text.find("VersoD.htm"), std::string::npos);
}
