// The entry point of the add-on: the Translation Kit asks for translators
// by index and owns what it is given.
#include "translator/Packscope.h"

extern "C" __attribute__((visibility("default"))) BTranslator*
make_nth_translator(int32 n, image_id /*you*/, uint32 /*flags*/, ...)
{
	return n == 0 ? new TPackscope : NULL;
}
