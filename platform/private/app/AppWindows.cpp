#include "app/AppWindows.h"

#include <algorithm>
#include <mutex>

namespace BPrivate {

namespace {

struct WindowList {
	std::mutex lock;
	std::vector<AppWindow> windows;
};

WindowList& window_list()
{
	static WindowList* list = new WindowList;
	return *list;
}

}

void register_window(BWindow* window, BLooper* looper)
{
	if (window == nullptr || looper == nullptr)
		return;
	WindowList& list = window_list();
	std::lock_guard<std::mutex> lock(list.lock);
	list.windows.push_back(AppWindow{window, looper});
}

void unregister_window(BWindow* window)
{
	WindowList& list = window_list();
	std::lock_guard<std::mutex> lock(list.lock);
	list.windows.erase(std::remove_if(list.windows.begin(), list.windows.end(),
		[window](const AppWindow& w) { return w.window == window; }),
		list.windows.end());
}

std::vector<AppWindow> app_windows()
{
	WindowList& list = window_list();
	std::lock_guard<std::mutex> lock(list.lock);
	return list.windows;
}

}
