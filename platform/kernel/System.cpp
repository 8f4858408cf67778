// The team (this process) and the machine.

#include <OS.h>

#include "kernel/KernelStats.h"

#include <algorithm>
#include <atomic>
#include <string>

#include <dirent.h>
#include <link.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <pthread.h>
#include <unistd.h>

using namespace BPrivate;

namespace {

int32 count_entries(const char* path, bool numericOnly)
{
	DIR* dir = opendir(path);
	if (dir == nullptr)
		return 0;
	int32 count = 0;
	while (dirent* entry = readdir(dir)) {
		if (numericOnly ? (entry->d_name[0] >= '0' && entry->d_name[0] <= '9')
				: entry->d_name[0] != '.')
			count++;
	}
	closedir(dir);
	return count;
}

int64 read_number(const char* path, const char* key)
{
	FILE* file = fopen(path, "re");
	if (file == nullptr)
		return 0;
	char line[256];
	long long value = 0;
	const size_t keyLength = key != nullptr ? strlen(key) : 0;
	while (fgets(line, sizeof(line), file) != nullptr) {
		if (key == nullptr || strncmp(line, key, keyLength) == 0) {
			value = atoll(line + keyLength);
			break;
		}
	}
	fclose(file);
	return value;
}

}

namespace {

// The process id, asked of the kernel once (the messaging path needs it
// for every message); a child made by fork asks again.
std::atomic<pid_t> sTeam{0};

void forget_team()
{
	sTeam.store(0, std::memory_order_relaxed);
}

}

[[gnu::hot]] team_id current_team(void)
{
	pid_t team = sTeam.load(std::memory_order_relaxed);
	if (team == 0) {
		static const int registered = pthread_atfork(NULL, NULL, forget_team);
		(void)registered;
		team = getpid();
		sTeam.store(team, std::memory_order_relaxed);
	}
	return team;
}

status_t get_team_info(team_id team, team_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (team < 0)
		return B_BAD_TEAM_ID;
	const pid_t self = getpid();
	if (team == B_CURRENT_TEAM)
		team = self;
	// Another team is a process that runs now, a zombie included until it
	// is reaped; its images are not counted.
	const std::string proc = team == self ? std::string("/proc/self")
		: "/proc/" + std::to_string(team);
	struct stat status;
	if (team != self && stat(proc.c_str(), &status) != 0)
		return B_BAD_TEAM_ID;
	memset(info, 0, sizeof(*info));
	info->team = team;
	info->thread_count = count_entries((proc + "/task").c_str(), false);
	info->image_count = 0;
	if (team == self) {
		dl_iterate_phdr([](dl_phdr_info*, size_t, void* count) {
			++*static_cast<int32*>(count);
			return 0;
		}, &info->image_count);
	}
	info->area_count = 0;
	info->debugger_nub_thread = -1;
	info->debugger_nub_port = -1;
	info->uid = team == self ? getuid() : status.st_uid;
	info->gid = team == self ? getgid() : status.st_gid;

	// The command line, arguments separated by spaces, cut to fit.
	FILE* file = fopen((proc + "/cmdline").c_str(), "re");
	if (file != nullptr) {
		char buffer[4096];
		size_t length = fread(buffer, 1, sizeof(buffer), file);
		fclose(file);
		size_t used = 0;
		for (size_t i = 0; i < length; i++) {
			if (buffer[i] == '\0') {
				info->argc++;
				buffer[i] = ' ';
			}
		}
		while (length > 0 && buffer[length - 1] == ' ')
			length--;
		used = std::min(length, sizeof(info->args) - 1);
		memcpy(info->args, buffer, used);
		info->args[used] = '\0';
	}
	return B_OK;
}

status_t get_system_info(system_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	memset(info, 0, sizeof(*info));

	// Boot time as a real time in microseconds.
	info->boot_time = read_number("/proc/stat", "btime ") * 1000000;
	const long cpus = sysconf(_SC_NPROCESSORS_ONLN);
	info->cpu_count = cpus > 0 ? (int32)cpus : 1;

	struct sysinfo system;
	if (sysinfo(&system) == 0) {
		const int64 unit = system.mem_unit > 0 ? system.mem_unit : 1;
		info->max_pages = (int64)system.totalram * unit / B_PAGE_SIZE;
		info->used_pages = ((int64)system.totalram - (int64)system.freeram) * unit / B_PAGE_SIZE;
		info->used_threads = system.procs;
	}
	info->max_threads = (int32)read_number("/proc/sys/kernel/threads-max", nullptr);
	info->used_teams = count_entries("/proc", true);
	info->max_teams = (int32)read_number("/proc/sys/kernel/pid_max", nullptr);
	info->used_sems = semaphore_count();
	info->max_sems = 65536;
	info->used_ports = port_total_count();
	info->max_ports = B_MAX_PORT_COUNT;

	utsname name;
	if (uname(&name) == 0) {
		const size_t length = std::min(strlen(name.sysname), sizeof(info->kernel_name) - 1);
		memcpy(info->kernel_name, name.sysname, length);
	}
	return B_OK;
}

void debugger(const char* message)
{
	fprintf(stderr, "debugger() called: %s\n", message != nullptr ? message : "");
	fflush(stderr);
	abort();
}
