// One report for a program that misuses the platform: a looper locked by
// somebody else, a looper run from the wrong thread, a view drawn into
// without its window's lock, and the like. Such a call is a fault of the
// caller, never a condition to handle at run time.
//
// With the checks on, report_misuse() calls debugger() with a message that
// names the call ("BLooper::AddHandler: the looper "x" must be locked by the
// caller"); debugger() prints it on standard error and stops the program, so
// a test can expect it with a death test. With the checks off, the same
// message goes to standard error and the call carries on (refusing the
// misuse where it can).
//
// Whether the checks are on:
//  - BE_CHECK_MISUSE=1 in the environment turns them on, BE_CHECK_MISUSE=0
//    off, whatever the build;
//  - otherwise they are on in Debug builds and in the sanitizer builds (the
//    build defines BE_CHECK_MISUSE_DEFAULT=1) and off in the others.
// Every test program sets BE_CHECK_MISUSE=1 in its main() before anything
// else runs (the programs it starts inherit it), so the suite runs with the
// checks on in every build.
//
// The environment is read once, at the first report or query; tests may
// force the setting with set_misuse_checks(). All functions are safe to call
// from any thread.
#ifndef PRIVATE_SUPPORT_MISUSE_H
#define PRIVATE_SUPPORT_MISUSE_H

namespace BPrivate {

// Reports that `call` (e.g. "BLooper::Unlock") was misused; `what` says how.
// Does not return when the checks are on.
void report_misuse(const char* call, const char* what);

// Whether report_misuse() stops the program.
bool misuse_checks_on();

// Overrides the environment and the build (for tests).
void set_misuse_checks(bool on);

}

#endif
