#include "DBusTestUtil.h"

#include <OS.h>

#include <gio/gio.h>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

extern char** environ;

namespace dbustest {

namespace {

// The program's path, looked up in PATH as a shell would.
std::string find_program(const std::string& name)
{
	if (name.find('/') != std::string::npos)
		return name;
	const char* path = getenv("PATH");
	std::string folders = path != NULL ? path : "/usr/bin:/bin";
	size_t start = 0;
	while (start <= folders.size()) {
		size_t end = folders.find(':', start);
		if (end == std::string::npos)
			end = folders.size();
		const std::string candidate = folders.substr(start, end - start) + "/" + name;
		if (access(candidate.c_str(), X_OK) == 0)
			return candidate;
		start = end + 1;
	}
	return std::string();
}

// Starts a program whose stdout goes to `outFd` (-1: nowhere). It is ended
// when the thread that started it ends, so that a test that stops halfway
// (a sanitizer's halt) leaves nothing running.
pid_t spawn(const std::vector<std::string>& argv, int outFd)
{
	const std::string program = find_program(argv[0]);
	if (program.empty()) {
		fprintf(stderr, "cannot start %s: not found\n", argv[0].c_str());
		return -1;
	}
	std::vector<char*> args;
	for (const std::string& arg : argv)
		args.push_back(const_cast<char*>(arg.c_str()));
	args.push_back(NULL);
	const pid_t parent = getpid();
	const pid_t pid = fork();
	if (pid < 0) {
		fprintf(stderr, "cannot start %s: %s\n", argv[0].c_str(), strerror(errno));
		return -1;
	}
	if (pid == 0) {
		// only what is safe between fork and exec
		prctl(PR_SET_PDEATHSIG, SIGTERM);
		if (getppid() != parent)
			_exit(127);
		const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
		dup2(null, STDIN_FILENO);
		// the children's chatter stays out of the test's output
		dup2(outFd >= 0 ? outFd : null, STDOUT_FILENO);
		execve(program.c_str(), args.data(), environ);
		_exit(127);
	}
	return pid;
}

// Waits for the child to end, at most `timeout`.
bool wait_child(pid_t pid, bigtime_t timeout, int* exitStatus = NULL)
{
	const bigtime_t end = system_time() + timeout;
	while (true) {
		int status = 0;
		const pid_t done = waitpid(pid, &status, WNOHANG);
		if (done == pid && exitStatus != NULL)
			*exitStatus = status;
		if (done == pid || (done < 0 && errno != EINTR))
			return true;
		if (system_time() >= end)
			return false;
		// polling a child's end: there is nothing else to wait on here
		usleep(10000);
	}
}

bool stop_child(pid_t pid, bigtime_t timeout)
{
	kill(pid, SIGTERM);
	if (wait_child(pid, timeout))
		return true;
	kill(pid, SIGKILL);
	wait_child(pid, 5000000);
	return false;
}

}

Process::Process(const std::vector<std::string>& argv)
	:
	fPid(spawn(argv, -1))
{
}

Process::~Process()
{
	Stop();
}

bool Process::Stop(bigtime_t timeout)
{
	if (fPid <= 0)
		return true;
	const bool ended = stop_child(fPid, timeout);
	fPid = -1;
	return ended;
}

PrivateBus::PrivateBus()
	:
	fHadAddress(getenv("DBUS_SESSION_BUS_ADDRESS") != NULL),
	fPid(-1),
	fConnection(NULL)
{
	if (fHadAddress)
		fOldAddress = getenv("DBUS_SESSION_BUS_ADDRESS");
	char folder[] = "/tmp/melodeck-bus-XXXXXX";
	if (mkdtemp(folder) == NULL)
		return;
	fFolder = folder;
	const std::string config = fFolder + "/session.conf";
	{
		std::ofstream out(config);
		out << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
			" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
			"<busconfig>\n"
			"  <type>session</type>\n"
			"  <listen>unix:dir=" << fFolder << "</listen>\n"
			"  <auth>EXTERNAL</auth>\n"
			"  <policy context=\"default\">\n"
			"    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
			"    <allow eavesdrop=\"true\"/>\n"
			"    <allow own=\"*\"/>\n"
			"  </policy>\n"
			"</busconfig>\n";
	}
	int pipeFds[2];
	if (pipe2(pipeFds, O_CLOEXEC) != 0)
		return;
	fPid = spawn({"dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"},
		pipeFds[1]);
	close(pipeFds[1]);
	// the address is the first line it prints
	std::string line;
	const bigtime_t end = system_time() + 10000000;
	while (fPid > 0 && line.find('\n') == std::string::npos) {
		const bigtime_t left = end - system_time();
		if (left <= 0)
			break;
		pollfd fd = {pipeFds[0], POLLIN, 0};
		if (poll(&fd, 1, (int)(left / 1000)) <= 0)
			break;
		char buffer[256];
		const ssize_t got = read(pipeFds[0], buffer, sizeof(buffer));
		if (got <= 0)
			break;
		line.append(buffer, got);
	}
	close(pipeFds[0]);
	const size_t newline = line.find('\n');
	if (newline == std::string::npos || newline == 0) {
		fprintf(stderr, "dbus-daemon gave no address\n");
		return;
	}
	fAddress = line.substr(0, newline);
	setenv("DBUS_SESSION_BUS_ADDRESS", fAddress.c_str(), 1);
	GError* error = NULL;
	fConnection = g_dbus_connection_new_for_address_sync(fAddress.c_str(),
		(GDBusConnectionFlags)(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
			| G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION), NULL, NULL, &error);
	if (fConnection == NULL) {
		fprintf(stderr, "cannot connect to the test's bus: %s\n", error->message);
		g_clear_error(&error);
		fAddress.clear();
	} else
		g_dbus_connection_set_exit_on_close(fConnection, FALSE);
}

PrivateBus::~PrivateBus()
{
	if (fConnection != NULL) {
		g_dbus_connection_close_sync(fConnection, NULL, NULL);
		g_object_unref(fConnection);
	}
	if (fPid > 0)
		stop_child(fPid, 3000000);
	if (fHadAddress)
		setenv("DBUS_SESSION_BUS_ADDRESS", fOldAddress.c_str(), 1);
	else
		unsetenv("DBUS_SESSION_BUS_ADDRESS");
	if (!fFolder.empty()) {
		std::error_code ignored;
		std::filesystem::remove_all(fFolder, ignored);
	}
}

GVariant* PrivateBus::Call(const std::string& name, const char* interface,
	const char* method, GVariant* parameters)
{
	if (fConnection == NULL) {
		if (parameters != NULL)
			g_variant_unref(g_variant_ref_sink(parameters));
		return NULL;
	}
	GError* error = NULL;
	GVariant* reply = g_dbus_connection_call_sync(fConnection, name.c_str(),
		"/org/mpris/MediaPlayer2", interface, method, parameters, NULL,
		G_DBUS_CALL_FLAGS_NONE, 5000, NULL, &error);
	if (reply == NULL) {
		fprintf(stderr, "%s.%s on %s: %s\n", interface, method, name.c_str(), error->message);
		g_clear_error(&error);
	}
	return reply;
}

GVariant* PrivateBus::Get(const std::string& name, const char* interface,
	const char* property)
{
	GVariant* reply = Call(name, "org.freedesktop.DBus.Properties", "Get",
		g_variant_new("(ss)", interface, property));
	if (reply == NULL)
		return NULL;
	GVariant* value = NULL;
	g_variant_get(reply, "(v)", &value);
	g_variant_unref(reply);
	return value;
}

bool PrivateBus::HasOwner(const std::string& name)
{
	if (fConnection == NULL)
		return false;
	GVariant* reply = g_dbus_connection_call_sync(fConnection, "org.freedesktop.DBus",
		"/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
		g_variant_new("(s)", name.c_str()), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
		5000, NULL, NULL);
	if (reply == NULL)
		return false;
	gboolean has = FALSE;
	g_variant_get(reply, "(b)", &has);
	g_variant_unref(reply);
	return has;
}

bool run(const std::vector<std::string>& argv, std::string* output, bigtime_t timeout)
{
	int pipeFds[2];
	if (pipe2(pipeFds, O_CLOEXEC) != 0)
		return false;
	const pid_t pid = spawn(argv, pipeFds[1]);
	close(pipeFds[1]);
	if (pid <= 0) {
		close(pipeFds[0]);
		return false;
	}
	std::string text;
	const bigtime_t end = system_time() + timeout;
	while (true) {
		const bigtime_t left = end - system_time();
		if (left <= 0)
			break;
		pollfd fd = {pipeFds[0], POLLIN, 0};
		if (poll(&fd, 1, (int)(left / 1000)) <= 0)
			break;
		char buffer[512];
		const ssize_t got = read(pipeFds[0], buffer, sizeof(buffer));
		if (got <= 0)
			break;   // the program has ended (or closed its output)
		text.append(buffer, got);
	}
	close(pipeFds[0]);
	if (output != NULL)
		*output = text;
	int status = -1;
	const bigtime_t left = std::max<bigtime_t>(end - system_time(), 0);
	if (!wait_child(pid, left, &status)) {
		stop_child(pid, 1000000);
		return false;
	}
	return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string mpv_mpris_script()
{
	for (const char* path : {"/usr/lib/mpv-mpris/mpris.so", "/etc/mpv/scripts/mpris.so"}) {
		struct stat st;
		if (stat(path, &st) == 0)
			return path;
	}
	return std::string();
}

}
