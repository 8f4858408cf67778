// What the fuzz targets share: a check that stops the run with a message,
// and the name of the entry point. libFuzzer calls LLVMFuzzerTestOneInput;
// the test programs, which replay the seeds of several targets in one
// program, give each target's entry a name of its own through FUZZ_ENTRY.
#ifndef FUZZ_FUZZ_CHECK_H
#define FUZZ_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>

#ifndef FUZZ_ENTRY
#define FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

namespace fuzzcheck {

inline void check(bool condition, const char* target, const char* what)
{
	if (!condition) {
		fprintf(stderr, "%s: %s\n", target, what);
		abort();
	}
}

}

#endif
