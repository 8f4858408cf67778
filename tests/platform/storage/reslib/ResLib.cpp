// A tiny shared library that gets resources appended after it is linked.
extern "C" int storage_reslib_answer()
{
	return 42;
}
