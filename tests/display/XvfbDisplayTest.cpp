// A real SDL window on a virtual X server: what is presented must appear on
// the X screen at the window's position.
#include <gtest/gtest.h>

#include "DisplayTestUtil.h"
#include "TestUtil.h"

#include "display/DisplayServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

using namespace display;
using displaytest::Picture;
using displaytest::Recorder;

namespace {

std::string find_program(const char* name)
{
	const char* path = getenv("PATH");
	std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
	size_t start = 0;
	while (start <= dirs.size()) {
		size_t end = dirs.find(':', start);
		if (end == std::string::npos)
			end = dirs.size();
		std::string candidate = dirs.substr(start, end - start) + "/" + name;
		if (access(candidate.c_str(), X_OK) == 0)
			return candidate;
		start = end + 1;
	}
	return "";
}

// An Xvfb server on a free display number, stopped when the object goes.
class VirtualX {
public:
	bool Start(const std::string& program)
	{
		int fds[2];
		if (pipe(fds) != 0)
			return false;
		fcntl(fds[0], F_SETFD, FD_CLOEXEC);
		// Xvfb picks a free display itself and writes its number to the fd.
		std::string fd = std::to_string(fds[1]);
		const char* args[] = { program.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
			"640x480x24", "-nolisten", "tcp", "-nocursor", nullptr };
		posix_spawn_file_actions_t actions;
		posix_spawn_file_actions_init(&actions);
		posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
		int spawned = posix_spawn(&fPid, program.c_str(), &actions, nullptr,
			(char* const*)args, environ);
		posix_spawn_file_actions_destroy(&actions);
		close(fds[1]);
		if (spawned != 0) {
			fPid = -1;
			close(fds[0]);
			return false;
		}
		std::string number;
		struct pollfd wait = { fds[0], POLLIN, 0 };
		while (poll(&wait, 1, 10000) == 1) {
			char c;
			if (read(fds[0], &c, 1) != 1 || c == '\n')
				break;
			number += c;
		}
		close(fds[0]);
		if (number.empty())
			return false;
		fDisplay = ":" + number;
		return true;
	}

	~VirtualX()
	{
		if (fPid > 0) {
			kill(fPid, SIGTERM);
			waitpid(fPid, nullptr, 0);
		}
	}

	const std::string& Display() const { return fDisplay; }

private:
	pid_t fPid = -1;
	std::string fDisplay;
};

class ScopedEnv {
public:
	ScopedEnv(const char* name, const char* value) : fName(name)
	{
		const char* old = getenv(name);
		fHad = old != nullptr;
		if (fHad)
			fOld = old;
		setenv(name, value, 1);
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
	bool fHad;
};

// True when the screen shows the picture's four quadrant colours around
// the given position (sampled away from the edges).
bool screen_shows(::Display* display, int32 x, int32 y, const Picture& picture)
{
	XImage* image = XGetImage(display, DefaultRootWindow(display), x, y,
		picture.width, picture.height, AllPlanes, ZPixmap);
	if (image == nullptr)
		return false;
	bool same = true;
	const int32 points[][2] = { { 4, 4 }, { picture.width - 5, 4 },
		{ 4, picture.height - 5 }, { picture.width - 5, picture.height - 5 },
		{ picture.width / 2 + 1, picture.height / 2 + 1 } };
	for (const auto& point : points) {
		unsigned long pixel = XGetPixel(image, point[0], point[1]) & 0xffffff;
		uint32 expected = picture.pixels[(size_t)point[1] * picture.width + point[0]]
			& 0xffffff;
		if (pixel != expected)
			same = false;
	}
	XDestroyImage(image);
	return same;
}

}

TEST(XvfbDisplay, PresentedPixelsAppearOnTheXScreen)
{
	std::string xvfb = find_program("Xvfb");
	if (xvfb.empty())
		GTEST_SKIP() << "Xvfb is not installed";
	VirtualX server;
	ASSERT_TRUE(server.Start(xvfb)) << "Xvfb did not start";
	ScopedEnv display("DISPLAY", server.Display().c_str());
	ScopedEnv backend("VERSO_DISPLAY", "sdl");

	::Display* x11 = XOpenDisplay(server.Display().c_str());
	ASSERT_NE(x11, nullptr);
	{
		std::shared_ptr<DisplayServer> displayServer = DisplayServer::Get();
		ASSERT_STREQ(displayServer->BackendName(), "sdl");
		int32 width = 0;
		int32 height = 0;
		displayServer->GetScreenSize(&width, &height);
		EXPECT_EQ(width, 640);
		EXPECT_EQ(height, 480);

		Recorder recorder;
		WindowParams params;
		params.title = "pattern";
		params.x = 120;
		params.y = 90;
		params.width = 64;
		params.height = 48;
		window_id id = displayServer->CreateWindow(params, &recorder);
		ASSERT_GT(id, 0);

		Picture picture(64, 48);
		picture.FillQuadrants(0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00);
		PixelRect all = { 0, 0, 64, 48 };
		ASSERT_EQ(displayServer->Present(id, picture.Source(), &all, 1), B_OK);
		ASSERT_EQ(displayServer->ShowWindow(id), B_OK);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(x11, 120, 90, picture); }))
			<< "the pattern is not on the screen at the window's position";

		// A later present of part of the window shows up too.
		Picture white(64, 48);
		white.Fill(0xffffffff);
		PixelRect topLeft = { 0, 0, 32, 24 };
		displayServer->Present(id, white.Source(), &topLeft, 1);
		picture.FillQuadrants(0xffffffff, 0xff00ff00, 0xff0000ff, 0xffffff00);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(x11, 120, 90, picture); }));

		// Moved by the program: the picture follows and the move is reported.
		displayServer->MoveWindow(id, 300, 200);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(x11, 300, 200, picture); }));
		displayServer->Sync();
		std::vector<DisplayEvent> moves = recorder.Take(EventType::kWindowMoved);
		ASSERT_FALSE(moves.empty());
		EXPECT_EQ(moves.back().screenX, 300);
		EXPECT_EQ(moves.back().screenY, 200);

		EXPECT_EQ(displayServer->DestroyWindow(id), B_OK);
	}
	XCloseDisplay(x11);
}
