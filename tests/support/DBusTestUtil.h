// A private session bus and background programs for the tests that talk
// to media players over D-Bus. Everything started here is stopped when its
// object goes away; nothing waits without a time-out.
#ifndef DBUS_TEST_UTIL_H
#define DBUS_TEST_UTIL_H

#include <SupportDefs.h>

#include <sys/types.h>

#include <string>
#include <vector>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GVariant GVariant;

namespace dbustest {

// A program running in the background, with the environment of the test.
class Process {
public:
	explicit Process(const std::vector<std::string>& argv);
	// Stops it (SIGTERM, then SIGKILL) if it still runs.
	~Process();

	bool IsRunning() const { return fPid > 0; }
	pid_t Pid() const { return fPid; }
	// SIGTERM and waits for the end; SIGKILL when it has not ended within
	// `timeout`. True when it ended of its own accord.
	bool Stop(bigtime_t timeout = 3000000);

private:
	pid_t fPid;
};

// A session bus of its own (dbus-daemon with a configuration written
// here), which DBUS_SESSION_BUS_ADDRESS names while it runs, so that the
// programs the test starts and the code under test meet on it.
class PrivateBus {
public:
	PrivateBus();
	~PrivateBus();

	bool IsRunning() const { return !fAddress.empty(); }
	const std::string& Address() const { return fAddress; }
	// A connection of the test's own (owned by the bus object).
	GDBusConnection* Connection() const { return fConnection; }

	// Calls a method and waits at most 5 s; the reply (to be unreffed by
	// the caller), or NULL after an error. `parameters` is consumed.
	GVariant* Call(const std::string& name, const char* interface, const char* method,
		GVariant* parameters = NULL);
	// A property's value (to be unreffed), or NULL.
	GVariant* Get(const std::string& name, const char* interface, const char* property);
	// Whether `name` has an owner on the bus.
	bool HasOwner(const std::string& name);

private:
	std::string fFolder;
	std::string fAddress;
	std::string fOldAddress;
	bool fHadAddress;
	pid_t fPid;
	GDBusConnection* fConnection;
};

// Runs a program to its end, at most `timeout`, and collects what it
// prints on stdout. True when it ended with status 0.
bool run(const std::vector<std::string>& argv, std::string* output,
	bigtime_t timeout = 10000000);

// Where Debian keeps mpv's MPRIS script; empty when it is not installed.
std::string mpv_mpris_script();

}

#endif
