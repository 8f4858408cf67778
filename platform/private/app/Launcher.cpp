#include "app/Launcher.h"

#include "kernel/ThreadName.h"

#include <errno.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

extern char** environ;

namespace BPrivate {

namespace {

// How long the roster waits for the opener to say whether it could open
// something. Openers that stay around (some do, until the document is
// closed) are taken as having succeeded.
const auto kOpenerVerdictTime = std::chrono::seconds(5);

struct ExitWatch {
	std::mutex lock;
	std::condition_variable ended;
	bool done = false;
	int status = 0;
};

// Reaps `pid` when it ends, and tells `watch` (if any) how it ended.
void reap(pid_t pid, std::shared_ptr<ExitWatch> watch)
{
	std::thread([pid, watch] {
		BPrivate::name_this_thread("launch watcher");
		int status = 0;
		while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
			;
		if (watch) {
			std::lock_guard<std::mutex> lock(watch->lock);
			watch->done = true;
			watch->status = status;
			watch->ended.notify_all();
		}
	}).detach();
}

pid_t spawn(const std::string& path, const std::vector<std::string>& args, bool searchPath)
{
	std::vector<char*> argv;
	argv.push_back(const_cast<char*>(path.c_str()));
	for (const std::string& arg : args)
		argv.push_back(const_cast<char*>(arg.c_str()));
	argv.push_back(NULL);
	pid_t pid = -1;
	int error = searchPath
		? posix_spawnp(&pid, path.c_str(), NULL, NULL, argv.data(), environ)
		: posix_spawn(&pid, path.c_str(), NULL, NULL, argv.data(), environ);
	return error == 0 ? pid : -1;
}

std::string find_in_path(const char* name)
{
	const char* path = getenv("PATH");
	if (path == NULL)
		path = "/usr/local/bin:/usr/bin:/bin";
	std::string folders = path;
	size_t start = 0;
	while (start <= folders.size()) {
		size_t end = folders.find(':', start);
		if (end == std::string::npos)
			end = folders.size();
		std::string candidate = folders.substr(start, end - start) + "/" + name;
		if (end > start && is_executable_file(candidate))
			return candidate;
		start = end + 1;
	}
	return std::string();
}

}

bool is_executable_file(const std::string& path)
{
	struct stat st;
	return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)
		&& access(path.c_str(), X_OK) == 0;
}

std::string opener_path()
{
	const char* opener = getenv("VERSO_OPENER");
	if (opener != NULL && opener[0] != '\0') {
		if (strchr(opener, '/') != NULL)
			return is_executable_file(opener) ? std::string(opener) : std::string();
		return find_in_path(opener);
	}
	// A headless session (the tests) never opens anything on a desktop.
	if (getenv("VERSO_HEADLESS") != NULL)
		return std::string();
	return find_in_path("xdg-open");
}

team_id start_program(const std::string& path, const std::vector<std::string>& args)
{
	pid_t pid = spawn(path, args, false);
	if (pid < 0)
		return B_LAUNCH_FAILED_EXECUTABLE;
	reap(pid, nullptr);
	return (team_id)pid;
}

status_t open_with_opener(const std::string& target)
{
	std::string opener = opener_path();
	if (opener.empty())
		return B_LAUNCH_FAILED_NO_PREFERRED_APP;
	pid_t pid = spawn(opener, {target}, false);
	if (pid < 0)
		return B_LAUNCH_FAILED_NO_PREFERRED_APP;
	auto watch = std::make_shared<ExitWatch>();
	reap(pid, watch);
	std::unique_lock<std::mutex> lock(watch->lock);
	if (!watch->ended.wait_for(lock, kOpenerVerdictTime, [&] { return watch->done; }))
		return B_OK;
	bool succeeded = WIFEXITED(watch->status) && WEXITSTATUS(watch->status) == 0;
	return succeeded ? (status_t)B_OK : (status_t)B_LAUNCH_FAILED_NO_PREFERRED_APP;
}

}
