#include "DisplayTestUtil.h"

#include <png.h>

#include <string.h>

#include <algorithm>

namespace displaytest {

using namespace display;

void Recorder::DisplayEventReceived(const DisplayEvent& event)
{
	std::lock_guard<std::mutex> lock(fLock);
	fEvents.push_back(event);
}

std::vector<DisplayEvent> Recorder::Take()
{
	std::lock_guard<std::mutex> lock(fLock);
	std::vector<DisplayEvent> events;
	events.swap(fEvents);
	return events;
}

std::vector<DisplayEvent> Recorder::Take(EventType type)
{
	std::vector<DisplayEvent> matching;
	for (DisplayEvent& event : Take()) {
		if (event.type == type)
			matching.push_back(event);
	}
	return matching;
}

Picture::Picture(int32 width, int32 height)
	:
	width(width),
	height(height),
	pixels((size_t)width * height, 0xff000000u)
{
}

void Picture::Fill(uint32 color)
{
	std::fill(pixels.begin(), pixels.end(), color);
}

void Picture::FillQuadrants(uint32 topLeft, uint32 topRight, uint32 bottomLeft,
	uint32 bottomRight)
{
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			bool right = x >= width / 2;
			bool bottom = y >= height / 2;
			pixels[(size_t)y * width + x] = bottom
				? (right ? bottomRight : bottomLeft) : (right ? topRight : topLeft);
		}
	}
}

PixelSource Picture::Source() const
{
	return PixelSource{ pixels.data(), width, height, width * 4 };
}

bool read_png(const std::string& path, std::vector<uint32>* pixels, int32* width,
	int32* height)
{
	png_image image;
	memset(&image, 0, sizeof(image));
	image.version = PNG_IMAGE_VERSION;
	if (!png_image_begin_read_from_file(&image, path.c_str()))
		return false;
	image.format = PNG_FORMAT_BGRA;
	pixels->assign((size_t)image.width * image.height, 0);
	if (!png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr))
		return false;
	*width = image.width;
	*height = image.height;
	return true;
}

}

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace displaytest {

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

bool VirtualX::Start(const std::string& program)
{
	int fds[2];
	if (pipe(fds) != 0)
		return false;
	fcntl(fds[0], F_SETFD, FD_CLOEXEC);
	// Xvfb picks a free display itself and writes its number to the fd.
	std::string fd = std::to_string(fds[1]);
	// It ends by itself when its last client goes, so that a test that
	// stops short leaves no server behind, and it holds none of the test's
	// output open, which its runner waits on.
	const char* args[] = { program.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
		"640x480x24", "-nolisten", "tcp", "-nocursor", "-terminate", nullptr };
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
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

VirtualX::~VirtualX()
{
	if (fPid > 0) {
		kill(fPid, SIGTERM);
		waitpid(fPid, nullptr, 0);
	}
}

ScopedEnv::ScopedEnv(const char* name, const char* value)
	:
	fName(name)
{
	const char* old = getenv(name);
	fHad = old != nullptr;
	if (fHad)
		fOld = old;
	setenv(name, value, 1);
}

ScopedEnv::~ScopedEnv()
{
	if (fHad)
		setenv(fName.c_str(), fOld.c_str(), 1);
	else
		unsetenv(fName.c_str());
}

}
