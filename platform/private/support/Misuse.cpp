#include "support/Misuse.h"

#include <OS.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <string>

#ifndef BE_CHECK_MISUSE_DEFAULT
#define BE_CHECK_MISUSE_DEFAULT 0
#endif

namespace BPrivate {

namespace {

enum { kUnknown = -1, kOff = 0, kOn = 1 };
std::atomic<int> sChecks{kUnknown};

int read_setting()
{
	const char* value = getenv("BE_CHECK_MISUSE");
	if (value != nullptr && strcmp(value, "1") == 0)
		return kOn;
	if (value != nullptr && strcmp(value, "0") == 0)
		return kOff;
	return BE_CHECK_MISUSE_DEFAULT ? kOn : kOff;
}

}

bool misuse_checks_on()
{
	int state = sChecks.load(std::memory_order_acquire);
	if (state == kUnknown) {
		int expected = kUnknown;
		sChecks.compare_exchange_strong(expected, read_setting(),
			std::memory_order_acq_rel);
		state = sChecks.load(std::memory_order_acquire);
	}
	return state == kOn;
}

void set_misuse_checks(bool on)
{
	sChecks.store(on ? kOn : kOff, std::memory_order_release);
}

void report_misuse(const char* call, const char* what)
{
	std::string message = call != nullptr ? call : "?";
	message += ": ";
	message += what != nullptr ? what : "misused";
	if (misuse_checks_on())
		debugger(message.c_str());
	fprintf(stderr, "%s\n", message.c_str());
}

}
