#include "LineTrace.h"

#include <cstdlib>
#include <cstring>

TLineTrace::TLineTrace(bool enabled, FILE* out)
	:
	fEnabled(enabled && out != nullptr),
	fOut(out),
	fLastLine(-1),
	fLastTag(-1)
{
}

bool TLineTrace::EnabledByEnvironment()
{
	const char* value = getenv("VERSO_TRACE_LINES");
	return value != nullptr && value[0] != '\0' && strcmp(value, "0") != 0;
}

void TLineTrace::Drawn(int32 line, int32 tagMs, int32 positionMs, bigtime_t now)
{
	if (!fEnabled)
		return;
	if (line == fLastLine && tagMs == fLastTag)
		return;
	fLastLine = line;
	fLastTag = tagMs;
	if (tagMs < 0)
		return;
	// one write per line, flushed at once: a reader follows it live
	fprintf(fOut, "gen_VersoD: line %d tag %.3f s at %.3f s clock %lld.%06lld s\n",
		static_cast<int>(line), tagMs / 1000.0, positionMs / 1000.0,
		static_cast<long long>(now / 1000000), static_cast<long long>(now % 1000000));
	fflush(fOut);
}

void TLineTrace::Reset()
{
	fLastLine = -1;
	fLastTag = -1;
}
