// Named ports seen from another process (the child program in child/).

#include <gtest/gtest.h>

#include <OS.h>

#include "TestUtil.h"
#include "kernel/PortRegistry.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

extern char** environ;

using testutil::wait_for;

namespace {

// The child program, driven one command line at a time.
class Child {
public:
	Child()
	{
		int toChild[2], fromChild[2];
		if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
			return;
		posix_spawn_file_actions_t actions;
		posix_spawn_file_actions_init(&actions);
		posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
		posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
		char* argv[] = {const_cast<char*>(PORT_CHILD_PATH), nullptr};
		if (posix_spawn(&fPid, PORT_CHILD_PATH, &actions, nullptr, argv, environ) != 0)
			fPid = -1;
		posix_spawn_file_actions_destroy(&actions);
		close(toChild[0]);
		close(fromChild[1]);
		fIn = toChild[1];
		fOut = fromChild[0];
	}

	~Child()
	{
		if (fPid > 0) {
			Send("quit");
			Wait();
		}
		if (fIn >= 0)
			close(fIn);
		if (fOut >= 0)
			close(fOut);
	}

	pid_t Pid() const { return fPid; }

	void Send(const std::string& command)
	{
		std::string line = command + "\n";
		(void)!write(fIn, line.data(), line.size());
	}

	// The child's next line of answer; empty after 10 s without one.
	std::string Answer()
	{
		for (;;) {
			size_t end = fBuffer.find('\n');
			if (end != std::string::npos) {
				std::string line = fBuffer.substr(0, end);
				fBuffer.erase(0, end + 1);
				return line;
			}
			pollfd fd = {fOut, POLLIN, 0};
			if (poll(&fd, 1, 10000) <= 0)
				return std::string();
			char chunk[256];
			ssize_t length = read(fOut, chunk, sizeof(chunk));
			if (length <= 0)
				return std::string();
			fBuffer.append(chunk, length);
		}
	}

	std::string Ask(const std::string& command)
	{
		Send(command);
		return Answer();
	}

	void Kill()
	{
		kill(fPid, SIGKILL);
		Wait();
	}

	void Wait()
	{
		int status;
		waitpid(fPid, &status, 0);
		fPid = -1;
	}

private:
	pid_t fPid = -1;
	int fIn = -1;
	int fOut = -1;
	std::string fBuffer;
};

std::string unique_name(const char* what)
{
	return std::string("kt:") + std::to_string(getpid()) + ":" + what;
}

bool listed(const std::string& name)
{
	std::vector<std::string> names;
	BPrivate::list_system_ports("kt:", &names);
	for (const std::string& entry : names) {
		if (entry == name)
			return true;
	}
	return false;
}

int count_entries_of(pid_t pid)
{
	const std::string prefix = std::to_string(pid) + ".";
	DIR* dir = opendir(BPrivate::runtime_directory().c_str());
	if (dir == nullptr)
		return 0;
	int count = 0;
	while (dirent* entry = readdir(dir)) {
		if (std::string(entry->d_name).compare(0, prefix.size(), prefix) == 0)
			count++;
	}
	closedir(dir);
	return count;
}

}

TEST(RemotePort, TheRuntimeFolderIsPrivate)
{
	const std::string& directory = BPrivate::runtime_directory();
	ASSERT_FALSE(directory.empty());
	struct stat st;
	ASSERT_EQ(lstat(directory.c_str(), &st), 0);
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	EXPECT_EQ(st.st_mode & 0777, 0700u);
	EXPECT_EQ(st.st_uid, geteuid());

	testutil::TempDir temp;
	const std::string loose = temp.File("loose");
	ASSERT_EQ(mkdir(loose.c_str(), 0755), 0);
	EXPECT_EQ(BPrivate::prepare_private_directory(loose), B_OK);
	ASSERT_EQ(stat(loose.c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0700u);

	// A link planted where the folder should be is refused, not followed.
	const std::string planted = temp.File("planted");
	ASSERT_EQ(symlink(loose.c_str(), planted.c_str()), 0);
	EXPECT_NE(BPrivate::prepare_private_directory(planted), B_OK);
	const std::string file = temp.Write("file", "x");
	EXPECT_NE(BPrivate::prepare_private_directory(file), B_OK);
}

TEST(RemotePort, AChildWritesToOurNamedPort)
{
	const std::string name = unique_name("ours");
	port_id port = create_port(4, name.c_str());
	ASSERT_GT(port, 0);

	Child child;
	ASSERT_GT(child.Pid(), 0);
	EXPECT_EQ(child.Ask("write " + name + " 77 hello"), "wrote 0");
	char buffer[16];
	int32 code = 0;
	ssize_t size = read_port_etc(port, &code, buffer, sizeof(buffer), B_RELATIVE_TIMEOUT, 5000000);
	ASSERT_EQ(size, 5);
	EXPECT_EQ(std::string(buffer, 5), "hello");
	EXPECT_EQ(code, 77);

	// Once the port is gone, the child's find_port no longer finds it.
	delete_port(port);
	EXPECT_EQ(child.Ask("write " + name + " 1 again"), "wrote " + std::to_string(B_NAME_NOT_FOUND));
}

TEST(RemotePort, WeWriteToAChildsPortThroughAProxy)
{
	const std::string name = unique_name("child");
	Child child;
	ASSERT_EQ(child.Ask("create " + name + " 4").compare(0, 5, "port "), 0);
	EXPECT_TRUE(listed(name));

	port_id proxy = find_port(name.c_str());
	ASSERT_GT(proxy, 0);
	EXPECT_EQ(find_port(name.c_str()), proxy);  // one proxy per remote port
	port_info info;
	ASSERT_EQ(get_port_info(proxy, &info), B_OK);
	EXPECT_EQ(info.team, child.Pid());

	EXPECT_EQ(write_port(proxy, 5, "hi", 2), B_OK);
	EXPECT_EQ(child.Ask("read"), "message 5 hi");

	// Only the owner reads its port.
	char buffer[4];
	int32 code;
	EXPECT_EQ(read_port(proxy, &code, buffer, sizeof(buffer)), B_NOT_ALLOWED);
	EXPECT_EQ(port_buffer_size(proxy), B_NOT_ALLOWED);
	EXPECT_EQ(delete_port(proxy), B_NOT_ALLOWED);

	// The child deletes its port: writes fail, and it is no longer listed.
	EXPECT_EQ(child.Ask("delete"), "deleted 0");
	EXPECT_EQ(write_port(proxy, 6, "late", 4), B_BAD_PORT_ID);
	EXPECT_FALSE(listed(name));
	EXPECT_EQ(find_port(name.c_str()), B_NAME_NOT_FOUND);
}

TEST(RemotePort, AFullRemotePortBlocksTheWriterUntilTheOwnerReads)
{
	const std::string name = unique_name("full");
	Child child;
	ASSERT_EQ(child.Ask("create " + name + " 1").compare(0, 5, "port "), 0);
	port_id proxy = find_port(name.c_str());
	ASSERT_GT(proxy, 0);

	ASSERT_EQ(write_port(proxy, 1, "one", 3), B_OK);
	// Full: a write with a time-out gives up, and its record is withdrawn.
	EXPECT_EQ(write_port_etc(proxy, 2, "two", 3, B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
	EXPECT_EQ(write_port_etc(proxy, 2, "two", 3, B_RELATIVE_TIMEOUT, 50000), B_TIMED_OUT);

	struct Blocked {
		port_id port;
		std::atomic<status_t> result{1};
	} blocked{proxy};
	thread_id writer = spawn_thread([](void* data) -> int32 {
		Blocked* blocked = static_cast<Blocked*>(data);
		blocked->result = write_port(blocked->port, 3, "three", 5);
		return 0;
	}, "remote writer", B_NORMAL_PRIORITY, &blocked);
	resume_thread(writer);

	// The owner reads; the blocked write then completes.
	EXPECT_EQ(child.Ask("read"), "message 1 one");
	status_t ignored;
	wait_for_thread(writer, &ignored);
	EXPECT_EQ(blocked.result.load(), B_OK);
	EXPECT_EQ(child.Ask("count"), "count 1");
	EXPECT_EQ(child.Ask("read"), "message 3 three");
}

TEST(RemotePort, AWriterBlockedOnAFullRemotePortCanBeKilled)
{
	const std::string name = unique_name("kill");
	Child child;
	ASSERT_EQ(child.Ask("create " + name + " 1").compare(0, 5, "port "), 0);
	port_id proxy = find_port(name.c_str());
	ASSERT_EQ(write_port(proxy, 1, "one", 3), B_OK);

	std::atomic<bool> returned{false};
	struct Blocked {
		port_id port;
		std::atomic<bool>* returned;
	} blocked{proxy, &returned};
	thread_id writer = spawn_thread([](void* data) -> int32 {
		Blocked* blocked = static_cast<Blocked*>(data);
		write_port(blocked->port, 2, "two", 3);
		*blocked->returned = true;
		return 0;
	}, "doomed writer", B_NORMAL_PRIORITY, &blocked);
	resume_thread(writer);
	// The port stays full: the writer waits for the owner's answer.
	ASSERT_TRUE(wait_for([&] {
		thread_info info;
		return get_thread_info(writer, &info) == B_OK && info.state == B_THREAD_WAITING;
	}));
	EXPECT_EQ(kill_thread(writer), B_OK);
	status_t ignored;
	EXPECT_EQ(wait_for_thread(writer, &ignored), B_OK);
	EXPECT_FALSE(returned);

	// The proxy still works after the killed writer dropped its connection.
	EXPECT_EQ(child.Ask("read"), "message 1 one");
	EXPECT_EQ(write_port(proxy, 4, "four", 4), B_OK);
	EXPECT_EQ(child.Ask("read"), "message 4 four");
}

TEST(RemotePort, RegistrationsOfADeadProcessAreRemovedWhenFound)
{
	const std::string name = unique_name("stale");
	Child child;
	ASSERT_EQ(child.Ask("create " + name + " 2").compare(0, 5, "port "), 0);
	const pid_t pid = child.Pid();
	port_id proxy = find_port(name.c_str());
	ASSERT_GT(proxy, 0);
	EXPECT_EQ(count_entries_of(pid), 2);  // the socket and its registration

	child.Kill();  // no chance to clean up after itself
	EXPECT_EQ(write_port(proxy, 1, "x", 1), B_BAD_PORT_ID);
	EXPECT_EQ(find_port(name.c_str()), B_NAME_NOT_FOUND);
	EXPECT_FALSE(listed(name));
	EXPECT_EQ(count_entries_of(pid), 0);
}

TEST(RemotePort, AProcessThatEndsNormallyTakesItsRegistrationsAlong)
{
	const std::string name = unique_name("tidy");
	pid_t pid;
	{
		Child child;
		ASSERT_EQ(child.Ask("create " + name + " 2").compare(0, 5, "port "), 0);
		pid = child.Pid();
		EXPECT_TRUE(listed(name));
	}
	EXPECT_EQ(count_entries_of(pid), 0);
}

TEST(RemotePort, FindPortPrefersThisProcesssOwnPort)
{
	const std::string name = unique_name("twice");
	Child child;
	ASSERT_EQ(child.Ask("create " + name + " 2").compare(0, 5, "port "), 0);
	port_id ours = create_port(2, name.c_str());
	EXPECT_EQ(find_port(name.c_str()), ours);
	std::vector<std::string> names;
	ASSERT_EQ(BPrivate::list_system_ports(name.c_str(), &names), B_OK);
	EXPECT_EQ(names, std::vector<std::string>{name});  // each name once
	delete_port(ours);
	port_id proxy = find_port(name.c_str());
	EXPECT_GT(proxy, 0);
	EXPECT_NE(proxy, ours);
}
