// Misuse of loopers and handlers: with the checks on (as in every test
// program) the call stops the program with a report naming it; with them off
// the report is a line on standard error and the call is refused.
#include <Application.h>
#include <Handler.h>
#include <Looper.h>
#include <MessageFilter.h>
#include <OS.h>

#include <gtest/gtest.h>

#include "support/Misuse.h"

#include <string>
#include <thread>

namespace {

// A looper that runs, so that the test's thread no longer holds its lock.
BLooper* running_looper(const char* name)
{
	BLooper* looper = new BLooper(name);
	looper->Run();
	return looper;
}

void quit(BLooper* looper)
{
	if (looper->Lock())
		looper->Quit();
}

class MisuseDeath : public ::testing::Test {
protected:
	void SetUp() override
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		ASSERT_TRUE(BPrivate::misuse_checks_on());
	}
};

}

TEST_F(MisuseDeath, LockedCallsWithoutTheLockNameTheCall)
{
	EXPECT_DEATH({
		BLooper* looper = running_looper("unlocked");
		BHandler handler("h");
		looper->AddHandler(&handler);
	}, "BLooper::AddHandler: the looper \"unlocked\" must be locked");

	EXPECT_DEATH({
		BLooper* looper = running_looper("unlocked");
		looper->Unlock();
	}, "BLooper::Unlock: the caller does not hold the lock");

	EXPECT_DEATH({
		BLooper* looper = running_looper("unlocked");
		BHandler handler("h");
		looper->Lock();
		looper->AddHandler(&handler);
		looper->Unlock();
		handler.AddFilter(new BMessageFilter('abcd'));
	}, "BHandler::AddFilter: the looper must be locked");
}

TEST_F(MisuseDeath, RunFromAnotherThreadOrTwice)
{
	EXPECT_DEATH({
		BLooper* looper = new BLooper("made here");
		std::thread other([looper] { looper->Run(); });
		other.join();
	}, "BLooper::Run: only the thread that made the looper may run it");

	EXPECT_DEATH({
		BLooper* looper = running_looper("twice");
		looper->Lock();
		looper->Run();
	}, "BLooper::Run: the looper runs already");
}

TEST_F(MisuseDeath, HandlerOfAnotherLooper)
{
	EXPECT_DEATH({
		BLooper* first = running_looper("first");
		BLooper* second = running_looper("second");
		BHandler handler("h");
		first->Lock();
		first->AddHandler(&handler);
		first->Unlock();
		second->Lock();
		second->AddHandler(&handler);
	}, "BLooper::AddHandler: the handler belongs to another looper");
}

// With the checks off, the misuse is refused and reported on stderr, and
// the looper stays usable.
TEST(Misuse, ChecksOffReportOnStandardErrorAndRefuse)
{
	BPrivate::set_misuse_checks(false);
	BLooper* looper = running_looper("lenient");
	BHandler handler("h");

	::testing::internal::CaptureStderr();
	looper->AddHandler(&handler);
	looper->Unlock();
	std::string output = ::testing::internal::GetCapturedStderr();
	BPrivate::set_misuse_checks(true);

	EXPECT_NE(output.find("BLooper::AddHandler: the looper \"lenient\" must be locked"),
		std::string::npos) << output;
	EXPECT_NE(output.find("BLooper::Unlock: the caller does not hold the lock"),
		std::string::npos) << output;
	EXPECT_EQ(handler.Looper(), nullptr);
	EXPECT_EQ(looper->CountHandlers(), 1);

	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(&handler);
	EXPECT_EQ(handler.Looper(), looper);
	looper->RemoveHandler(&handler);
	looper->Unlock();
	quit(looper);
}
