// Notices between the windows, to the peer with the preference record, the
// language changes and the inter-application preference changes.
#include "CommManTestSupport.h"

#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "plugin/TAppPrivacy.h"
#include "prefs/PrefStore.h"

#include <Application.h>

#include <sys/time.h>
#include <utime.h>

#include <algorithm>
#include <set>

using namespace cmtest;

namespace {

// The codes of the table that may reach a window or the peer; anything else
// a window gets (from the platform) is left out of the comparisons.
const std::set<uint32> kRouted = {
	'Spsc', 'Spac', 'pdbc', 'Ssic', 'piic', 'Sprc', 0x53706563, 'Spcc', 'Sptc', 'Splc', 'Sedr',
	'Sssr', '_lgc', '_nlc', '_ipc', 'plgc', B_REFS_RECEIVED,
};

std::vector<uint32> routed(const Record& record)
{
	std::vector<uint32> codes;
	for (uint32 code : record.Codes()) {
		if (kRouted.count(code) != 0)
			codes.push_back(code);
	}
	return codes;
}

}

class Routing : public ManagerFixture {
protected:
	void OpenBoth()
	{
		Post(kMsgOpenMainWin);
		Post(kMsgPrepareOpenPrefWin);
		ASSERT_TRUE(testutil::wait_for([this] { return Main() != nullptr && Pref() != nullptr; }));
	}

	// Waits until every message the manager sent to the windows has been
	// handled there: a notice both windows get, sent last.
	void SettleWindows()
	{
		Settle();
		BMessage marker(kMsgLanguageReloaded);
		marker.AddBool("marker", true);
		const size_t main = markers(Main()->record);
		const size_t pref = markers(Pref()->record);
		Post(marker);
		// A notice that was still on its way may arrive before the marker,
		// so the wait is for the marker itself.
		ASSERT_TRUE(testutil::wait_for([&] { return markers(Main()->record) > main; }));
		ASSERT_TRUE(testutil::wait_for([&] { return markers(Pref()->record) > pref; }));
	}

	static size_t markers(const Record& record)
	{
		const std::vector<BMessage> messages = record.Messages();
		return std::count_if(messages.begin(), messages.end(),
			[](const BMessage& message) { return message.HasBool("marker"); });
	}
};

TEST_F(Routing, PreferenceNoticesReachTheOtherWindowBareAndThePeerWithTheRecord)
{
	OpenBoth();
	// Alone, the notices still reach the windows.
	Post(kMsgPrefAppearanceChanged);
	ASSERT_TRUE(Main()->record.WaitFor(kMsgPrefAppearanceChanged));

	ConnectPeer();
	const std::vector<uint32> codes = {
		'Spsc', 'Spac', 'pdbc', 'Ssic', 'piic', 'Sprc', 0x53706563, 'Spcc', 'Sptc', 'Splc', 'Sedr',
		'Sssr',
	};
	for (uint32 code : codes) {
		BMessage notice(code);
		if (code == kMsgPrefOKPressed)
			notice.AddString(kFieldStatBarStr, "Saved");
		Post(notice);
	}
	ASSERT_TRUE(fPeer->record.WaitForCount(codes.size()));
	SettleWindows();

	std::vector<uint32> peerCodes = fPeer->record.Codes();
	peerCodes.resize(codes.size());   // the marker may follow
	EXPECT_EQ(peerCodes, codes);
	EXPECT_EQ(routed(Main()->record),
		(std::vector<uint32>{'Spac', 'Spsc', 'Spac', 'pdbc', 'Sprc', '_lgc'}));
	EXPECT_EQ(routed(Pref()->record), (std::vector<uint32>{'Ssic', 'piic', '_lgc'}));

	// The windows get the bare code; the peer gets the settings with it.
	for (const BMessage& message : Main()->record.Messages())
		EXPECT_FALSE(message.HasString("LLTF"));
	for (const BMessage& message : Pref()->record.Messages())
		EXPECT_FALSE(message.HasString("LLTF"));
	for (const BMessage& message : fPeer->record.Messages()) {
		EXPECT_TRUE(message.HasString("LLTF"));
		EXPECT_TRUE(message.HasBool("SoTp"));
	}
	BMessage ok = fPeer->record.Messages()[codes.size() - 1];
	EXPECT_STREQ(ok.FindString(kFieldStatBarStr), "Saved");
}

TEST_F(Routing, LanguageNoticesReachBothWindowsAndThePeer)
{
	OpenBoth();
	ConnectPeer();
	Post(kMsgLanguageReloaded);
	ASSERT_TRUE(fPeer->record.WaitFor(kMsgLanguageReloaded));
	// The folder changed, the configured file did not: the preference window
	// rereads the folder, nothing is reloaded.
	gAppPrivacy->UpdateLanguageInfos();
	Post(kMsgLanguageFolderChanged);
	SettleWindows();
	ASSERT_TRUE(fPeer->record.WaitForCount(2));

	EXPECT_EQ(routed(Main()->record), (std::vector<uint32>{'_lgc', '_lgc'}));
	EXPECT_EQ(routed(Pref()->record), (std::vector<uint32>{'_lgc', '_nlc', '_lgc'}));
	EXPECT_EQ(fPeer->record.Codes(), (std::vector<uint32>{'_lgc', '_lgc'}));
}

TEST_F(Routing, LanguageIsReloadedOnlyWhenItsFileChanged)
{
	Desktop desktop;   // a failed load is reported through an alert
	testutil::TempDir dir;
	const std::string file = dir.Write("Mine.llt", "[Language]\nName = Mine\n");
	{
		TPrefLock pref;
		pref->languageFile = file;
	}
	gAppPrivacy->UpdateLanguageInfos();
	OpenBoth();

	Post(kMsgLanguageChosen);
	SettleWindows();
	EXPECT_EQ(routed(Main()->record), (std::vector<uint32>{'_lgc'}));   // the marker only

	// The same file, written again: reloaded, and the windows are told.
	struct timeval times[2] = {{2000000000, 0}, {2000000000, 0}};
	ASSERT_EQ(utimes(file.c_str(), times), 0);
	Post(kMsgLanguageChosen);
	SettleWindows();
	EXPECT_EQ(routed(Main()->record), (std::vector<uint32>{'_lgc', '_lgc', '_lgc'}));
	EXPECT_FALSE(gAppPrivacy->ShouldBeLanguageChanged());

	// Leave the language as the other tests expect it.
	{
		TPrefLock pref;
		pref->languageFile.clear();
	}
	gAppPrivacy->UpdateLanguageInfos();
	gLLT->Load((std::string(VERSO_SOURCE_DIR) + "/data/Language/English.llt").c_str());
}

TEST_F(Routing, InterAppChangesReachTheStoreBeforeTheWindows)
{
	OpenBoth();
	ASSERT_EQ(gIAP->SetString("AccKeyFormat", "a) "), B_OK);

	// As the common preference window broadcasts it: to the application.
	BMessage change(kMsgInterAppPrefChanged);
	change.AddString("IAP:SrcApp", "application/x-vnd.someone-else");
	change.AddString("IAP:SrcIAPItem", "AccKeyFormat");
	change.AddString("AccKeyFormat", "a - ");
	ASSERT_EQ(BMessenger(be_app).SendMessage(&change), B_OK);

	ASSERT_TRUE(Main()->record.WaitFor(kMsgInterAppPrefChanged));
	ASSERT_TRUE(Pref()->record.WaitFor(kMsgInterAppPrefChanged));
	SettleWindows();
	EXPECT_EQ(Main()->formatSeenWithIAP, "a - ");
	EXPECT_EQ(Pref()->formatSeenWithIAP, "a - ");
	std::string format;
	gIAP->GetString("AccKeyFormat", &format);
	EXPECT_EQ(format, "a - ");
	EXPECT_EQ(routed(Main()->record), (std::vector<uint32>{'_ipc', '_lgc'}));
	ASSERT_EQ(gIAP->SetString("AccKeyFormat", "a) "), B_OK);
}
