// What the sanitizers are told to skip in the font libraries.
//
// Leaks: fontconfig keeps its configuration for the life of the process and
// loses a little of it while loading (any program that calls FcInit shows
// this); Pango keeps its font caches the same way.
//
// Races: Pango sorts and matches fonts on worker threads of its own and
// hands the results over through GLib's futex-based locks, which the thread
// sanitizer cannot see (none of these libraries is instrumented), so it
// reports their hand-over as races inside the libraries.
//
// Weak, so that a project-wide list elsewhere takes precedence.
extern "C" __attribute__((weak, used)) const char*
__lsan_default_suppressions()
{
	return "leak:libfontconfig.so\n"
		"leak:libpangoft2-1.0.so\n";
}

extern "C" __attribute__((weak, used)) const char*
__tsan_default_suppressions()
{
	return "race:libfontconfig.so\n"
		"race:libpangoft2-1.0.so\n"
		"race:libpango-1.0.so\n"
		"race:libcairo.so\n";
}
