// Saves killed at random moments: a process writes two versions of a file
// in turn, as fast as it can, through the displayer's own save functions,
// and is killed (SIGKILL) after a random short delay, 250 times for each
// kind of file (the writers are forked by one child program, which saves
// the cost of a program's start at every kill). After every kill the file must be exactly one of
// the two versions, byte for byte, and read as that version by the reader
// the displayer uses, whatever temporary files the killed save left beside
// it. A save after all the kills leaves no temporary file behind.
//
// The random delays come from a seed printed at the start; CRASH_SEED=N
// repeats a run, CRASH_KILLS=N changes the number of kills per kind.
#include "TestUtil.h"
#include "child/SaveVersions.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

using savetest::Kind;

struct Child {
	pid_t pid = -1;
	int in = -1;    // the child's stdin
	int out = -1;   // the child's stdout
};

Child spawn_child(Kind kind, const char* mode)
{
	Child child;
	int toChild[2], fromChild[2];
	if (pipe2(toChild, O_CLOEXEC) != 0)
		return child;
	if (pipe2(fromChild, O_CLOEXEC) != 0) {
		close(toChild[0]);
		close(toChild[1]);
		return child;
	}
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
	posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
	const char* argv[] = {CRASHSAFETY_CHILD_PATH, savetest::kind_name(kind), mode, nullptr};
	if (posix_spawn(&child.pid, CRASHSAFETY_CHILD_PATH, &actions, nullptr,
			const_cast<char**>(argv), environ) != 0)
		child.pid = -1;
	posix_spawn_file_actions_destroy(&actions);
	close(toChild[0]);
	close(fromChild[1]);
	child.in = toChild[1];
	child.out = fromChild[0];
	return child;
}

// What the child printed before it ended or went quiet for `timeoutMs`;
// reads until a newline.
std::string read_line(int fd, int timeoutMs)
{
	std::string line;
	for (;;) {
		pollfd p{fd, POLLIN, 0};
		if (poll(&p, 1, timeoutMs) <= 0)
			return line;
		char c;
		if (read(fd, &c, 1) != 1 || c == '\n')
			return line;
		line += c;
	}
}

int wait_child(Child& child)
{
	close(child.in);
	int status = 0;
	while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
	}
	close(child.out);
	child.pid = -1;
	return status;
}

// The number after `word` in `line` ("ready 123"), or `fallback`.
long number_after(const std::string& line, const char* word, long fallback)
{
	const std::string prefix = std::string(word) + " ";
	if (line.compare(0, prefix.size(), prefix) != 0)
		return fallback;
	return strtol(line.c_str() + prefix.size(), nullptr, 10);
}

// The names beside the target file other than the target itself.
std::vector<std::string> strays(const std::string& target)
{
	const size_t slash = target.find_last_of('/');
	const std::string folder = target.substr(0, slash);
	const std::string leaf = target.substr(slash + 1);
	std::vector<std::string> names;
	if (DIR* dir = opendir(folder.c_str())) {
		while (dirent* entry = readdir(dir)) {
			const std::string name = entry->d_name;
			if (name != "." && name != ".." && name != leaf)
				names.push_back(name);
		}
		closedir(dir);
	}
	return names;
}

unsigned long env_number(const char* name, unsigned long fallback)
{
	const char* text = getenv(name);
	return text != nullptr && *text != '\0' ? strtoul(text, nullptr, 10) : fallback;
}

unsigned long run_seed()
{
	static const unsigned long seed = env_number("CRASH_SEED", std::random_device{}());
	return seed;
}

class CrashSafety : public ::testing::TestWithParam<Kind> {
protected:
	void SetUp() override
	{
		// In memory where the machine allows: a kill needs no disk to be
		// felt, and a thousand saves that wait for the disk take minutes.
		const char* oldTemp = getenv("TMPDIR");
		const std::optional<std::string> savedTemp = oldTemp != nullptr
			? std::optional<std::string>(oldTemp) : std::nullopt;
		if (access("/dev/shm", W_OK) == 0)
			setenv("TMPDIR", "/dev/shm", 1);
		fHome.emplace();
		if (savedTemp)
			setenv("TMPDIR", savedTemp->c_str(), 1);
		else
			unsetenv("TMPDIR");
		ASSERT_FALSE(fHome->Path().empty());

		const char* old = getenv("XDG_CONFIG_HOME");
		if (old != nullptr)
			fOldHome = old;
		setenv("XDG_CONFIG_HOME", fHome->Path().c_str(), 1);
	}
	void TearDown() override
	{
		if (fOldHome)
			setenv("XDG_CONFIG_HOME", fOldHome->c_str(), 1);
		else
			unsetenv("XDG_CONFIG_HOME");
	}

	// Runs the child's "refs": the two versions, saved in full. Returns
	// the microseconds one save took, 0 on failure.
	long SaveReferences(Kind kind)
	{
		Child child = spawn_child(kind, "refs");
		if (child.pid < 0)
			return 0;
		const std::string took = read_line(child.out, 60000);
		const int status = wait_child(child);
		if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
			return 0;
		return strtol(took.c_str(), nullptr, 10);
	}

	std::optional<testutil::TempDir> fHome;
	std::optional<std::string> fOldHome;
};

TEST_P(CrashSafety, EveryKillLeavesOneWholeVersion)
{
	const Kind kind = GetParam();
	const std::string name = savetest::kind_name(kind);
	const unsigned long seed = run_seed() + (unsigned long)kind;
	const unsigned long kills = env_number("CRASH_KILLS", 250);
	printf("[ crash    ] %s: seed %lu (CRASH_SEED=%lu repeats the run)\n", name.c_str(), seed,
		run_seed());

	const long saveMicros = SaveReferences(kind);
	ASSERT_GT(saveMicros, 0) << "the uninterrupted saves failed";
	const std::string target = savetest::target_path(kind);
	const std::string refs[2] = {testutil::read_file(savetest::reference_path(0)),
		testutil::read_file(savetest::reference_path(1))};
	ASSERT_FALSE(refs[0].empty());
	ASSERT_FALSE(refs[1].empty());
	ASSERT_NE(refs[0], refs[1]);

	// Kills land anywhere in the first two or three saves of each child.
	// On a loaded machine a writer's first save may take longer than the
	// saves measured above; while one version has not been seen yet, the
	// span grows every 50 kills.
	std::mt19937 random(seed);
	long span = std::max(saveMicros * 5 / 2, 200L);

	Child server = spawn_child(kind, "serve");
	ASSERT_GE(server.pid, 0) << "cannot start the child";
	struct Stop {
		Child& child;
		~Stop() { wait_child(child); }
	} stop{server};

	int found[2] = {0, 0};
	unsigned long leftTemporary = 0;
	for (unsigned long kill = 0; kill < kills; kill++) {
		ASSERT_EQ(write(server.in, "go\n", 3), 3) << "the child is gone";
		const pid_t writer = (pid_t)number_after(read_line(server.out, 30000), "ready", -1);
		ASSERT_GT(writer, 0) << "no writer started (kill " << kill << ")";
		// The moment of the kill is what is random here; no result is
		// awaited.
		if (kill > 0 && kill % 50 == 0 && (found[0] == 0 || found[1] == 0))
			span *= 2;
		const long micros = std::uniform_int_distribution<long>(0, span)(random);
		const timespec pause{micros / 1000000, (micros % 1000000) * 1000};
		nanosleep(&pause, nullptr);
		::kill(writer, SIGKILL);
		const int status = (int)number_after(read_line(server.out, 30000), "ended", -1);
		ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
			<< "the writer ended by itself before the kill (status " << status << ")";

		const std::string bytes = testutil::read_file(target);
		int version = -1;
		for (int v = 0; v < 2; v++) {
			if (bytes == refs[v])
				version = v;
		}
		ASSERT_NE(version, -1) << name << " after kill " << kill << " (" << micros
			<< " µs, seed " << seed << "): " << bytes.size()
			<< " bytes, neither version (" << refs[0].size() << " or " << refs[1].size() << ")";
		found[version]++;
		if (!strays(target).empty())
			leftTemporary++;

		// The reader takes the file as it is, temporary files beside it or not.
		std::string error;
		ASSERT_EQ(savetest::read_version(kind, &error), version)
			<< name << " after kill " << kill << " (seed " << seed << "): " << error;
	}
	printf("[ crash    ] %s: %lu kills, save %ld µs, kills within %ld µs, found A %d times,"
		" B %d times; %lu kills left a temporary file\n", name.c_str(), kills, saveMicros,
		span, found[0], found[1], leftTemporary);
	// Both versions were seen: the kills did hit the saves.
	if (kills >= 50) {
		EXPECT_GT(found[0], 0);
		EXPECT_GT(found[1], 0);
	}

	// A save after the kills works, and clears what the killed ones left.
	ASSERT_GT(SaveReferences(kind), 0) << "saving after the kills failed";
	EXPECT_EQ(testutil::read_file(target), refs[1]);
	const std::vector<std::string> left = strays(target);
	EXPECT_TRUE(left.empty()) << left.size() << " files left beside the " << name
		<< " file, the first " << (left.empty() ? "" : left.front());
}

INSTANTIATE_TEST_SUITE_P(Files, CrashSafety,
	::testing::Values(Kind::kSettings, Kind::kWindow, Kind::kPreset, Kind::kCommon),
	[](const ::testing::TestParamInfo<Kind>& info) {
		return std::string(savetest::kind_name(info.param));
	});

}
