// The opt-in trace of drawn lines (VERSO_TRACE_LINES): what it writes, when,
// and that the view writes it as the lines change.
#include "ViewHarness.h"

#include "lyrics/LineTrace.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

using lyricsview::LyricsViewTest;

namespace {

std::string contents(FILE* file)
{
	fflush(file);
	rewind(file);
	std::string text;
	char buffer[256];
	size_t got;
	while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0)
		text.append(buffer, got);
	return text;
}

std::vector<std::string> lines_of(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream in(text);
	std::string line;
	while (std::getline(in, line))
		lines.push_back(line);
	return lines;
}

// The environment variable for the duration of a test.
class ScopedEnv {
public:
	ScopedEnv(const char* name, const char* value)
		:
		fName(name)
	{
		const char* old = getenv(name);
		fHad = old != nullptr;
		if (fHad)
			fOld = old;
		if (value != nullptr)
			setenv(name, value, 1);
		else
			unsetenv(name);
	}
	~ScopedEnv()
	{
		if (fHad)
			setenv(fName.c_str(), fOld.c_str(), 1);
		else
			unsetenv(fName.c_str());
	}

private:
	std::string fName;
	std::string fOld;
	bool fHad = false;
};

// Standard error goes into a file while the object lives.
class CapturedStderr {
public:
	CapturedStderr()
		:
		fFile(tmpfile()),
		fSaved(dup(STDERR_FILENO))
	{
		fflush(stderr);
		if (fFile != nullptr)
			dup2(fileno(fFile), STDERR_FILENO);
	}
	~CapturedStderr()
	{
		Restore();
		if (fFile != nullptr)
			fclose(fFile);
	}
	void Restore()
	{
		if (fSaved < 0)
			return;
		fflush(stderr);
		dup2(fSaved, STDERR_FILENO);
		close(fSaved);
		fSaved = -1;
	}
	// What was written so far, read through a descriptor of its own.
	std::string Text() const
	{
		if (fFile == nullptr)
			return std::string();
		std::string text;
		char buffer[256];
		ssize_t got;
		off_t offset = 0;
		while ((got = pread(fileno(fFile), buffer, sizeof(buffer), offset)) > 0) {
			text.append(buffer, static_cast<size_t>(got));
			offset += got;
		}
		return text;
	}

private:
	FILE* fFile;
	int fSaved;
};

}

TEST(LineTrace, WritesEachChangeOnceAndOnlyChangesATagCaused)
{
	FILE* out = tmpfile();
	ASSERT_NE(out, nullptr);
	TLineTrace trace(true, out);
	// the first line before any tag: nothing
	trace.Drawn(0, -1, 200, 1000000);
	// the same line drawn again (an expose) is no change
	trace.Drawn(1, 1700, 1712, 2500000);
	trace.Drawn(1, 1700, 1900, 2600000);
	trace.Drawn(2, 5400, 5399, 12000042);
	// a new song starting on the same line index counts again
	trace.Reset();
	trace.Drawn(2, 5400, 5420, 20000000);

	const std::vector<std::string> lines = lines_of(contents(out));
	fclose(out);
	ASSERT_EQ(lines.size(), 3u);
	EXPECT_EQ(lines[0], "gen_VersoD: line 1 tag 1.700 s at 1.712 s clock 2.500000 s");
	// a position before the tag (the displayer's extrapolation) is written
	// as it is: the lag is measured from outside
	EXPECT_EQ(lines[1], "gen_VersoD: line 2 tag 5.400 s at 5.399 s clock 12.000042 s");
	EXPECT_EQ(lines[2], "gen_VersoD: line 2 tag 5.400 s at 5.420 s clock 20.000000 s");
}

TEST(LineTrace, IsOffUnlessTheEnvironmentAsks)
{
	{
		ScopedEnv env("VERSO_TRACE_LINES", nullptr);
		EXPECT_FALSE(TLineTrace::EnabledByEnvironment());
	}
	{
		ScopedEnv env("VERSO_TRACE_LINES", "0");
		EXPECT_FALSE(TLineTrace::EnabledByEnvironment());
	}
	{
		ScopedEnv env("VERSO_TRACE_LINES", "");
		EXPECT_FALSE(TLineTrace::EnabledByEnvironment());
	}
	{
		ScopedEnv env("VERSO_TRACE_LINES", "1");
		EXPECT_TRUE(TLineTrace::EnabledByEnvironment());
	}

	FILE* out = tmpfile();
	ASSERT_NE(out, nullptr);
	TLineTrace off(false, out);
	off.Drawn(3, 3000, 3000, 1);
	EXPECT_EQ(contents(out), "");
	fclose(out);
}

TEST_F(LyricsViewTest, TracesTheLinesItDrawsWhenAsked)
{
	ScopedEnv env("VERSO_TRACE_LINES", "1");
	CapturedStderr captured;
	WriteLyrics(0,
		"intro\n"
		"[00:01.00]one\n"
		"[00:03.00]three\n"
		"[00:03.00]three again\n"
		"[00:05.00]five\n");
	StartPlayer({"First"});
	OpenView();
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "intro"; }));

	const auto traced = [&captured](const std::string& text) {
		return testutil::wait_for(
			[&] { return captured.Text().find(text) != std::string::npos; });
	};
	ASSERT_EQ(fPlayer->SetPosition(1000), B_OK);
	EXPECT_TRUE(traced("gen_VersoD: line 1 tag 1.000 s at "));
	// two tags at one time: the later line is the one drawn and written
	ASSERT_EQ(fPlayer->SetPosition(3500), B_OK);
	EXPECT_TRUE(traced("gen_VersoD: line 3 tag 3.000 s at "));
	// seeking back before the first tag draws the first line: no tag, no line
	ASSERT_EQ(fPlayer->SetPosition(0), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CurrentLine() == 0; }));
	ASSERT_EQ(fPlayer->SetPosition(5000), B_OK);
	EXPECT_TRUE(traced("gen_VersoD: line 4 tag 5.000 s at "));
	captured.Restore();

	const std::vector<std::string> lines = lines_of(captured.Text());
	std::vector<std::string> trace;
	for (const std::string& line : lines) {
		if (line.rfind("gen_VersoD: line ", 0) == 0)
			trace.push_back(line);
	}
	ASSERT_EQ(trace.size(), 3u) << captured.Text();
	for (const std::string& line : trace) {
		int index = 0;
		double tag = 0, at = 0, clock = 0;
		ASSERT_EQ(sscanf(line.c_str(), "gen_VersoD: line %d tag %lf s at %lf s clock %lf s",
			&index, &tag, &at, &clock), 4) << line;
		// the player stands still at each position, so the displayer knows
		// it exactly; the clock is the monotonic clock of this process
		EXPECT_GE(at, tag) << line;
		EXPECT_LE(clock, system_time() / 1e6) << line;
		EXPECT_GT(clock, 0) << line;
	}
}
