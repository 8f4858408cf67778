#include "TestUtil.h"

#include <AppDefs.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <algorithm>
#include <sys/syscall.h>
#include <unistd.h>
#include <chrono>
#include <thread>

namespace testutil {

static bigtime_t now_us()
{
	using namespace std::chrono;
	return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

bool wait_for(const std::function<bool()>& done, bigtime_t timeout)
{
	const bigtime_t end = now_us() + timeout;
	while (!done()) {
		if (now_us() >= end)
			return done();
		std::this_thread::sleep_for(std::chrono::microseconds(500));
	}
	return true;
}

TempDir::TempDir()
{
	std::string tmpl = (std::filesystem::temp_directory_path() / "verso-test-XXXXXX").string();
	char* made = mkdtemp(tmpl.data());
	fPath = made ? made : "";
}

TempDir::~TempDir()
{
	if (!fPath.empty()) {
		std::error_code ec;
		std::filesystem::remove_all(fPath, ec);
	}
}

std::string TempDir::File(const std::string& name) const
{
	return fPath + "/" + name;
}

std::string TempDir::Write(const std::string& name, const std::string& contents) const
{
	std::string path = File(name);
	std::filesystem::create_directories(std::filesystem::path(path).parent_path());
	std::ofstream out(path, std::ios::binary);
	out << contents;
	return path;
}

RunWatchdog::RunWatchdog(const BMessenger& target, bigtime_t timeout)
{
	fThread = std::thread([this, target, timeout] {
		std::unique_lock<std::mutex> lock(fLock);
		if (fWake.wait_for(lock, std::chrono::microseconds(timeout), [this] { return fStop; }))
			return;
		fFired = true;
		lock.unlock();
		target.SendMessage(B_QUIT_REQUESTED);
	});
}

RunWatchdog::~RunWatchdog()
{
	Stop();
}

void RunWatchdog::Stop()
{
	{
		std::lock_guard<std::mutex> lock(fLock);
		fStop = true;
	}
	fWake.notify_all();
	if (fThread.joinable())
		fThread.join();
}

pid_t current_tid()
{
	return (pid_t)syscall(SYS_gettid);
}

bool is_blocked(pid_t tid)
{
	// The state is the first field after the name, which is in parentheses
	// and may itself hold spaces or parentheses.
	std::string stat = read_file("/proc/self/task/" + std::to_string(tid) + "/stat");
	size_t end = stat.rfind(')');
	if (end == std::string::npos || end + 2 >= stat.size())
		return false;
	char state = stat[end + 2];
	return state == 'S' || state == 'D';
}

pid_t thread_named(const std::string& name)
{
	for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
		std::ifstream comm(task.path() / "comm");
		std::string found;
		if (std::getline(comm, found) && found == name)
			return (pid_t)std::stol(task.path().filename().string());
	}
	return -1;
}

long long thread_switches(const std::string& name)
{
	const pid_t tid = thread_named(name);
	if (tid < 0)
		return -1;
	std::ifstream status("/proc/self/task/" + std::to_string(tid) + "/status");
	std::string line;
	while (std::getline(status, line)) {
		if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
			return std::stoll(line.substr(24));
	}
	return -1;
}

std::string read_file(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	if (!in)
		return std::string();
	std::ostringstream s;
	s << in.rdbuf();
	return s.str();
}

std::vector<std::string> folder_names(const std::string& path)
{
	std::vector<std::string> names;
	std::error_code ec;
	for (const auto& entry : std::filesystem::directory_iterator(path, ec))
		names.push_back(entry.path().filename().string());
	std::sort(names.begin(), names.end());
	return names;
}

FileSizeLimit::FileSizeLimit(size_t bytes)
{
	fHandler = signal(SIGXFSZ, SIG_IGN);
	rlimit limit;
	getrlimit(RLIMIT_FSIZE, &limit);
	fSoft = limit.rlim_cur;
	limit.rlim_cur = bytes;
	setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
	rlimit limit;
	getrlimit(RLIMIT_FSIZE, &limit);
	limit.rlim_cur = fSoft;
	setrlimit(RLIMIT_FSIZE, &limit);
	signal(SIGXFSZ, fHandler);
}

}
