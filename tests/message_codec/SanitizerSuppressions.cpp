// libbe sets up its system fonts when it is loaded, and fontconfig loses a
// little of its configuration while doing so (any program that calls FcInit
// shows this). That leak is the library's, not the codec's; it is skipped
// here so that the leak checker still watches everything else.
//
// Weak, so that a project-wide list elsewhere takes precedence.
extern "C" __attribute__((weak, used)) const char*
__lsan_default_suppressions()
{
	return "leak:libfontconfig.so\n";
}
