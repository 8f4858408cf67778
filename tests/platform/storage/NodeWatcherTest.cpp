// The node monitor's engine, seen by listeners that collect what they get.
#include <Entry.h>
#include <NodeMonitor.h>
#include <TypeConstants.h>
#include <Node.h>

#include "storage/NodeWatcher.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

using BPrivate::NodeEvent;
using testutil::TempDir;

namespace {

class Collector : public BPrivate::NodeListener {
public:
	bool Equals(const NodeListener& other) const override { return &other == this; }
	void Deliver(const NodeEvent& event) override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fEvents.push_back(event);
	}
	std::vector<NodeEvent> Events()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fEvents;
	}
	// Waits for an event with `opcode` that also passes `match`.
	bool WaitFor(int32 opcode, const std::function<bool(const NodeEvent&)>& match = nullptr,
	             NodeEvent* found = nullptr)
	{
		return testutil::wait_for([&] {
			for (const NodeEvent& event : Events()) {
				if (event.opcode == opcode && (!match || match(event))) {
					if (found)
						*found = event;
					return true;
				}
			}
			return false;
		});
	}
	int Count(int32 opcode)
	{
		int count = 0;
		for (const NodeEvent& event : Events())
			count += event.opcode == opcode;
		return count;
	}
	void Clear()
	{
		std::lock_guard<std::mutex> guard(fLock);
		fEvents.clear();
	}
private:
	std::mutex fLock;
	std::vector<NodeEvent> fEvents;
};

node_ref node_of(const std::string& path)
{
	node_ref ref;
	BEntry entry(path.c_str());
	EXPECT_EQ(B_OK, entry.GetNodeRef(&ref)) << path;
	return ref;
}

std::string canonical(const std::string& path)
{
	char* real = realpath(path.c_str(), nullptr);
	std::string result = real ? real : "";
	free(real);
	return result;
}

void append(const std::string& path, const std::string& text)
{
	FILE* file = fopen(path.c_str(), "a");
	ASSERT_NE(nullptr, file);
	fputs(text.c_str(), file);
	fclose(file);
}

class NodeWatcher : public ::testing::Test {
protected:
	void SetUp() override { fBase = canonical(fTmp.Path()); }
	void TearDown() override
	{
		for (auto& listener : fListeners)
			BPrivate::stop_watching_listener(*listener);
	}
	std::shared_ptr<Collector> Watch(const std::string& path, uint32 flags)
	{
		auto collector = std::make_shared<Collector>();
		node_ref ref = node_of(path);
		EXPECT_EQ(B_OK, BPrivate::watch_node_path(ref, flags, collector));
		fListeners.push_back(collector);
		return collector;
	}

	TempDir fTmp;
	std::string fBase;
	std::vector<std::shared_ptr<Collector>> fListeners;
};

}

TEST_F(NodeWatcher, FileAndFolderWatchersSeeWritesRenamesAndRemoval)
{
	std::string path = fTmp.Write("song.lrc", "[00:01]one\n");
	node_ref file = node_of(path);
	node_ref folder = node_of(fBase);
	auto fileWatcher = Watch(path, B_WATCH_NAME | B_WATCH_STAT);
	auto folderWatcher = Watch(fBase, B_WATCH_DIRECTORY);

	append(path, "[00:02]two\n");
	EXPECT_TRUE(fileWatcher->WaitFor(B_STAT_CHANGED, [&](const NodeEvent& e) {
		return e.node == file.node; }));

	ASSERT_EQ(0, rename(path.c_str(), (fBase + "/renamed.lrc").c_str()));
	NodeEvent moved;
	ASSERT_TRUE(fileWatcher->WaitFor(B_ENTRY_MOVED, nullptr, &moved));
	EXPECT_EQ(file.node, moved.node);
	EXPECT_EQ(folder.node, moved.fromDirectory);
	EXPECT_EQ(folder.node, moved.toDirectory);
	EXPECT_EQ("renamed.lrc", moved.name);
	EXPECT_TRUE(folderWatcher->WaitFor(B_ENTRY_MOVED, [&](const NodeEvent& e) {
		return e.node == file.node && e.name == "renamed.lrc"; }));

	ASSERT_EQ(0, unlink((fBase + "/renamed.lrc").c_str()));
	NodeEvent removed;
	ASSERT_TRUE(fileWatcher->WaitFor(B_ENTRY_REMOVED, nullptr, &removed));
	EXPECT_EQ(file.node, removed.node);
	EXPECT_EQ(folder.node, removed.directory);
	EXPECT_FALSE(removed.hasName);
	EXPECT_TRUE(folderWatcher->WaitFor(B_ENTRY_REMOVED, [&](const NodeEvent& e) {
		return e.node == file.node && e.directory == folder.node; }));

	std::string created = fTmp.Write("new.txt", "n");
	NodeEvent made;
	ASSERT_TRUE(folderWatcher->WaitFor(B_ENTRY_CREATED, [](const NodeEvent& e) {
		return e.name == "new.txt"; }, &made));
	EXPECT_EQ(folder.node, made.directory);
	EXPECT_EQ(node_of(created).node, made.node);

	// Each listener heard only what it asked for.
	EXPECT_EQ(0, fileWatcher->Count(B_ENTRY_CREATED));
	EXPECT_EQ(0, folderWatcher->Count(B_STAT_CHANGED));
}

TEST_F(NodeWatcher, AFileRewrittenByRenameIsReportedAndStillWatched)
{
	std::string path = fTmp.Write("song.lrc", "old");
	node_ref oldNode = node_of(path);
	auto watcher = Watch(path, B_WATCH_NAME | B_WATCH_STAT);

	// What editors do: write a copy, rename it over the original.
	std::string temp = fTmp.Write("song.lrc.tmp", "new contents");
	node_ref newNode = node_of(temp);
	ASSERT_EQ(0, rename(temp.c_str(), path.c_str()));

	EXPECT_TRUE(watcher->WaitFor(B_ENTRY_REMOVED, [&](const NodeEvent& e) {
		return e.node == oldNode.node; }));
	NodeEvent changed;
	ASSERT_TRUE(watcher->WaitFor(B_STAT_CHANGED, [&](const NodeEvent& e) {
		return e.node == newNode.node; }, &changed));
	EXPECT_EQ("song.lrc", changed.name);
	EXPECT_TRUE(changed.hasDirectory);

	// The watch went on with the new file.
	watcher->Clear();
	append(path, "more");
	EXPECT_TRUE(watcher->WaitFor(B_STAT_CHANGED, [&](const NodeEvent& e) {
		return e.node == newNode.node; }));
}

TEST_F(NodeWatcher, AttributeAndStatChangesAreTold)
{
	std::string path = fTmp.Write("a.txt", "x");
	auto watcher = Watch(path, B_WATCH_STAT | B_WATCH_ATTR);

	ASSERT_EQ(0, chmod(path.c_str(), 0600));
	EXPECT_TRUE(watcher->WaitFor(B_STAT_CHANGED));

	BNode node(path.c_str());
	int32 value = 7;
	if (node.WriteAttr("mark", B_INT32_TYPE, 0, &value, sizeof(value)) == B_UNSUPPORTED)
		GTEST_SKIP() << "no extended attributes on this file system";
	EXPECT_TRUE(watcher->WaitFor(B_ATTR_CHANGED));
}

TEST_F(NodeWatcher, SeveralWatchersEachGetMessagesAndStopAlone)
{
	std::string path = fTmp.Write("f.txt", "x");
	int32 before = BPrivate::watched_node_count();
	auto first = Watch(path, B_WATCH_STAT);
	auto second = Watch(path, B_WATCH_STAT);
	EXPECT_EQ(before + 1, BPrivate::watched_node_count());

	append(path, "1");
	EXPECT_TRUE(first->WaitFor(B_STAT_CHANGED));
	EXPECT_TRUE(second->WaitFor(B_STAT_CHANGED));

	ASSERT_EQ(B_OK, BPrivate::stop_watching_listener(*first));
	first->Clear();
	second->Clear();
	append(path, "2");
	EXPECT_TRUE(second->WaitFor(B_STAT_CHANGED));
	EXPECT_EQ(0u, first->Events().size());

	// B_STOP_WATCHING for one node ends the last watch of it.
	ASSERT_EQ(B_OK, BPrivate::watch_node_path(node_of(path), B_STOP_WATCHING, second));
	EXPECT_EQ(before, BPrivate::watched_node_count());
}

TEST_F(NodeWatcher, MovesOutOfWatchedFoldersAreRemovalsAndUnknownNodesAreRefused)
{
	TempDir other;
	std::string path = fTmp.Write("leaving.txt", "x");
	node_ref file = node_of(path);
	auto folderWatcher = Watch(fBase, B_WATCH_DIRECTORY);
	ASSERT_EQ(0, rename(path.c_str(), (canonical(other.Path()) + "/arrived.txt").c_str()));
	EXPECT_TRUE(folderWatcher->WaitFor(B_ENTRY_REMOVED, [&](const NodeEvent& e) {
		return e.node == file.node; }));

	auto collector = std::make_shared<Collector>();
	node_ref unknown(file.device, 999999999);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BPrivate::watch_node_path(unknown, B_WATCH_STAT, collector));
	EXPECT_EQ(B_UNSUPPORTED, BPrivate::watch_node_path(file, B_WATCH_MOUNT, collector));
}
