// load_image: programs run with an argument vector (no shell), their
// standard streams set by the caller, and their exit status collected with
// wait_for_thread.
#include <gtest/gtest.h>

#include <OS.h>
#include <image.h>

#include "TestUtil.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// Runs a program to its end and gives its exit status.
status_t run(const std::vector<std::string>& arguments, const image_stdio* stdio,
	const char** envp = nullptr)
{
	std::vector<const char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(argument.c_str());
	argv.push_back(nullptr);
	thread_id thread = load_image_with_stdio((int32)arguments.size(), argv.data(),
		envp, stdio);
	if (thread < 0)
		return thread;
	status_t result = B_ERROR;
	EXPECT_EQ(B_OK, wait_for_thread(thread, &result));
	return result;
}

}

TEST(LoadImage, PassesEveryArgumentAsItStandsWithoutAShell)
{
	testutil::TempDir dir;
	const std::string out = dir.File("out");
	const std::string marker = dir.File("ran");
	// Words a shell would act on, and blanks, quotes, a line feed and
	// non-ASCII text, each one argument of printf.
	const std::vector<std::string> words = {
		"a b", "q\"uote", "$(touch " + marker + ")", "`touch " + marker + "`",
		"x; touch " + marker, "new\nline", "*", "日本語", ""
	};
	std::vector<std::string> arguments = { "printf", "[%s]" };
	arguments.insert(arguments.end(), words.begin(), words.end());
	image_stdio stdio = { nullptr, out.c_str(), nullptr };
	ASSERT_EQ(0, run(arguments, &stdio));

	std::string expected;
	for (const std::string& word : words)
		expected += "[" + word + "]";
	EXPECT_EQ(expected, testutil::read_file(out));
	EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(LoadImage, StartsOnlyWhenResumedAndGivesTheExitStatus)
{
	testutil::TempDir dir;
	const std::string out = dir.File("out");
	const char* argv[] = { "sh", "-c", "echo started; exit 7", nullptr };
	image_stdio stdio = { nullptr, out.c_str(), nullptr };
	thread_id thread = load_image_with_stdio(3, argv, nullptr, &stdio);
	ASSERT_GT(thread, 0);
	// Created suspended: nothing has run, so the output file is not there.
	EXPECT_FALSE(std::filesystem::exists(out));
	ASSERT_EQ(B_OK, resume_thread(thread));
	status_t result = B_ERROR;
	ASSERT_EQ(B_OK, wait_for_thread(thread, &result));
	EXPECT_EQ(7, result);
	EXPECT_EQ("started\n", testutil::read_file(out));
}

TEST(LoadImage, StreamsEnvironmentAndSignals)
{
	testutil::TempDir dir;
	const std::string in = dir.Write("in", "from the input\n");
	const std::string both = dir.File("both");
	image_stdio stdio = { in.c_str(), both.c_str(), both.c_str() };
	const char* envp[] = { "ONLY=this", nullptr };
	// Output and error into one file; the environment is exactly the one
	// given; the input comes from the file.
	EXPECT_EQ(0, run({ "/bin/sh", "-c", "cat; echo \"$ONLY${HOME:-}\" >&2" }, &stdio, envp));
	EXPECT_EQ("from the input\nthis\n", testutil::read_file(both));

	// A program ended by a signal.
	EXPECT_EQ(B_INTERRUPTED, run({ "/bin/sh", "-c", "kill -9 $$" }, nullptr));
}

TEST(LoadImage, KeepsTheCallersOtherFilesToItself)
{
	testutil::TempDir dir;
	const std::string out = dir.File("out");
	// A descriptor without close-on-exec, as a library might leave one.
	int open = dup(2);
	ASSERT_GE(open, 3);
	image_stdio stdio = { nullptr, out.c_str(), nullptr };
	// ls lists its own descriptors: the three streams and the folder it reads.
	EXPECT_EQ(0, run({ "ls", "/proc/self/fd" }, &stdio));
	close(open);
	EXPECT_EQ("0\n1\n2\n3\n", testutil::read_file(out));
}

TEST(LoadImage, RefusesWhatItCannotRun)
{
	EXPECT_EQ(B_BAD_VALUE, load_image(0, nullptr, nullptr));
	const char* missing[] = { "no-such-program-for-the-test", nullptr };
	EXPECT_EQ(B_ENTRY_NOT_FOUND, load_image(1, missing, nullptr));
	testutil::TempDir dir;
	const std::string text = dir.Write("text", "echo not a program\n");
	ASSERT_EQ(0, chmod(text.c_str(), 0644));
	const char* notExecutable[] = { text.c_str(), nullptr };
	EXPECT_EQ(B_ENTRY_NOT_FOUND, load_image(1, notExecutable, nullptr));
	const char* folder[] = { "/usr/bin", nullptr };
	EXPECT_EQ(B_ENTRY_NOT_FOUND, load_image(1, folder, nullptr));
}

TEST(LoadImage, NeverWritesThroughALinkPlantedAtTheOutput)
{
	testutil::TempDir dir;
	const std::string victim = dir.Write("victim", "keep me");
	const std::string link = dir.File("out");
	ASSERT_EQ(0, symlink(victim.c_str(), link.c_str()));
	image_stdio stdio = { nullptr, link.c_str(), nullptr };
	status_t result = run({ "printf", "overwritten" }, &stdio);
	EXPECT_LT(result, 0);
	EXPECT_EQ("keep me", testutil::read_file(victim));

	// A new output file is private to the user.
	const std::string fresh = dir.File("fresh");
	stdio.output_path = fresh.c_str();
	ASSERT_EQ(0, run({ "printf", "x" }, &stdio));
	struct stat st;
	ASSERT_EQ(0, stat(fresh.c_str(), &st));
	EXPECT_EQ(0600u, st.st_mode & 0777);
}
