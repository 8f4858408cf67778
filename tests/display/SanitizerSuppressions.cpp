// What the sanitizers are told to skip in libraries that are not ours.
//
// Leaks: libbe sets up its system fonts when it is loaded, and fontconfig
// loses a little of its configuration while doing so. SDL's input-method
// support talks to D-Bus, and libdbus keeps its process-wide allocations
// after SDL_Quit (SDL 2.26 has no way to ask for dbus_shutdown).
//
// Races: the font libraries hand work between their own threads through
// locks the thread sanitizer cannot see, as none of them is instrumented.
//
// Weak, so that a project-wide list elsewhere takes precedence.
extern "C" __attribute__((weak, used)) const char*
__lsan_default_suppressions()
{
	return "leak:libfontconfig.so\n"
		"leak:libpangoft2-1.0.so\n"
		"leak:libdbus-1.so\n";
}

extern "C" __attribute__((weak, used)) const char*
__tsan_default_suppressions()
{
	return "race:libfontconfig.so\n"
		"race:libpangoft2-1.0.so\n"
		"race:libpango-1.0.so\n"
		"race:libcairo.so\n";
}
