// watch_node and stop_watching through a looper: B_NODE_MONITOR messages
// with the platform's fields, delivered to the watching handler.
#include <AppDefs.h>
#include <Entry.h>
#include <Handler.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <NodeMonitor.h>

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <vector>

using testutil::TempDir;

namespace {

// Keeps a copy of every message the looper hands it.
class CollectingHandler : public BHandler {
public:
	CollectingHandler() : BHandler("collector") {}
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(*message);
	}
	bool WaitFor(int32 opcode, BMessage* found,
	             const std::function<bool(const BMessage&)>& match = nullptr)
	{
		return testutil::wait_for([&] {
			std::lock_guard<std::mutex> guard(fLock);
			for (const BMessage& message : fMessages) {
				int32 code;
				if (message.what == B_NODE_MONITOR && message.FindInt32("opcode", &code) == B_OK
				    && code == opcode && (!match || match(message))) {
					*found = message;
					return true;
				}
			}
			return false;
		});
	}
private:
	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

class NodeMonitor : public ::testing::Test {
protected:
	void SetUp() override
	{
		char* real = realpath(fTmp.Path().c_str(), nullptr);
		fBase = real;
		free(real);
		fLooper = new BLooper("node monitor test");
		fLooper->AddHandler(&fHandler);
		fLooper->Run();
	}
	void TearDown() override
	{
		stop_watching(&fHandler, fLooper);
		fLooper->Lock();
		fLooper->RemoveHandler(&fHandler);
		fLooper->Quit();
	}

	TempDir fTmp;
	std::string fBase;
	BLooper* fLooper = nullptr;
	CollectingHandler fHandler;
};

}

TEST_F(NodeMonitor, MessagesCarryThePlatformsFields)
{
	std::string path = fTmp.Write("song.lrc", "x");
	node_ref file, folder;
	ASSERT_EQ(B_OK, BEntry(path.c_str()).GetNodeRef(&file));
	ASSERT_EQ(B_OK, BEntry(fBase.c_str()).GetNodeRef(&folder));
	ASSERT_EQ(B_OK, watch_node(&file, B_WATCH_ALL, &fHandler, fLooper));
	ASSERT_EQ(B_OK, watch_node(&folder, B_WATCH_DIRECTORY, &fHandler));

	FILE* out = fopen(path.c_str(), "a");
	ASSERT_NE(nullptr, out);
	fputs("more", out);
	fclose(out);
	BMessage message;
	ASSERT_TRUE(fHandler.WaitFor(B_STAT_CHANGED, &message));
	EXPECT_EQ((int32)file.device, message.FindInt32("device"));
	EXPECT_EQ((int64)file.node, message.FindInt64("node"));

	std::string created = fTmp.Write("other.txt", "o");
	ASSERT_TRUE(fHandler.WaitFor(B_ENTRY_CREATED, &message));
	EXPECT_STREQ("other.txt", message.FindString("name"));
	EXPECT_EQ((int64)folder.node, message.FindInt64("directory"));

	ASSERT_EQ(0, rename(path.c_str(), (fBase + "/moved.lrc").c_str()));
	ASSERT_TRUE(fHandler.WaitFor(B_ENTRY_MOVED, &message));
	EXPECT_EQ((int64)folder.node, message.FindInt64("from directory"));
	EXPECT_EQ((int64)folder.node, message.FindInt64("to directory"));
	EXPECT_STREQ("moved.lrc", message.FindString("name"));
	EXPECT_EQ((int64)file.node, message.FindInt64("node"));

	ASSERT_EQ(0, unlink((fBase + "/moved.lrc").c_str()));
	ASSERT_TRUE(fHandler.WaitFor(B_ENTRY_REMOVED, &message, [&](const BMessage& m) {
		return m.FindInt64("node") == (int64)file.node; }));
	EXPECT_EQ((int64)folder.node, message.FindInt64("directory"));
	EXPECT_FALSE(message.HasString("name"));
}

TEST_F(NodeMonitor, RefusesBadTargetsAndUnknownNodes)
{
	node_ref folder;
	ASSERT_EQ(B_OK, BEntry(fBase.c_str()).GetNodeRef(&folder));
	EXPECT_EQ(B_BAD_VALUE, watch_node(&folder, B_WATCH_DIRECTORY, BMessenger()));
	EXPECT_NE(B_OK, watch_node(nullptr, B_WATCH_NAME, &fHandler, fLooper));
	node_ref unknown(folder.device, 999999999);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, watch_node(&unknown, B_WATCH_STAT, &fHandler, fLooper));
	EXPECT_EQ(B_OK, stop_watching(&fHandler, fLooper));
}
