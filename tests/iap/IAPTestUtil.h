// Helpers for the shared-preference tests: a settings folder of the test's
// own, a looper that keeps what it receives, and the item files.
#ifndef IAP_TEST_UTIL_H
#define IAP_TEST_UTIL_H

#include "TestUtil.h"

#include <AppDefs.h>
#include <File.h>
#include <Looper.h>
#include <Message.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace iaptest {

// Points the settings folder at a fresh temporary folder for the life of
// the object.
class SettingsFolder {
public:
	SettingsFolder()
	{
		const char* old = getenv("XDG_CONFIG_HOME");
		if (old != nullptr)
			fOld = old;
		setenv("XDG_CONFIG_HOME", fDir.Path().c_str(), 1);
	}
	~SettingsFolder()
	{
		if (fOld)
			setenv("XDG_CONFIG_HOME", fOld->c_str(), 1);
		else
			unsetenv("XDG_CONFIG_HOME");
	}
	const std::string& Path() const { return fDir.Path(); }
	// Where the item `name` keeps its value.
	std::string ItemFile(const std::string& name) const
	{
		return fDir.Path() + "/ORVIK/Shared/" + name + ".arc";
	}
	bool HasItemFile(const std::string& name) const
	{
		struct stat info;
		return stat(ItemFile(name).c_str(), &info) == 0;
	}
	// The message in the item's file; false when there is none.
	bool ReadItemFile(const std::string& name, BMessage* msg) const
	{
		BFile file(ItemFile(name).c_str(), B_READ_ONLY);
		return file.InitCheck() == B_OK && msg->Unflatten(&file) == B_OK;
	}
	void WriteItemFile(const std::string& name, const std::string& bytes) const
	{
		mkdir((fDir.Path() + "/ORVIK").c_str(), 0700);
		mkdir((fDir.Path() + "/ORVIK/Shared").c_str(), 0700);
		BFile file(ItemFile(name).c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
		file.Write(bytes.data(), bytes.size());
	}

private:
	testutil::TempDir fDir;
	std::optional<std::string> fOld;
};

// Keeps a copy of every message it receives, for the test's thread. Like
// the common window, it does not quit on B_QUIT_REQUESTED (it notes it).
class CollectingLooper : public BLooper {
public:
	CollectingLooper() : BLooper("iap test target") {}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(*message);
	}
	bool QuitRequested() override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(BMessage(B_QUIT_REQUESTED));
		return false;
	}
	size_t Count() const
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages.size();
	}
	std::vector<BMessage> Messages() const
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages;
	}
	std::vector<uint32> Codes() const
	{
		std::lock_guard<std::mutex> lock(fLock);
		std::vector<uint32> codes;
		for (const BMessage& message : fMessages)
			codes.push_back(message.what);
		return codes;
	}

private:
	mutable std::mutex fLock;
	std::vector<BMessage> fMessages;
};

// Starts a collecting looper; quit it with quit_looper.
inline CollectingLooper* start_looper()
{
	CollectingLooper* looper = new CollectingLooper();
	looper->Run();
	return looper;
}

inline void quit_looper(BLooper* looper)
{
	if (looper->Lock())
		looper->Quit();
}

}

#endif
