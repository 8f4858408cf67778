#include "storage/NodeWatcher.h"

#include <NodeMonitor.h>

#include "storage/PathUtil.h"
#include "kernel/ThreadName.h"

#include <dirent.h>
#include <errno.h>
#include <poll.h>
#include <string.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace BPrivate {

NodeListener::~NodeListener()
{
}

namespace {

// Every kernel watch asks for everything the engine may need; what a
// listener did not ask for is filtered here.
const uint32 kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY
                     | IN_ATTRIB | IN_DONT_FOLLOW | IN_EXCL_UNLINK;

// How long the second half of a rename may take to arrive before the first
// half is taken as a move out of every watched folder.
const int kMovePairingMs = 10;

struct Subscription {
	std::shared_ptr<NodeListener> listener;
	uint32 flags;
};

struct WatchedNode {
	node_ref node;
	std::string path;
	bool isDirectory = false;
	bool gone = false;          // its removal has been reported
	struct stat last = {};      // tells stat changes from attribute changes
	int selfWd = -1;
	int parentWd = -1;
	std::vector<Subscription> subs;
};

struct KernelWatch {
	std::string path;
	node_ref node;
	int users = 0;
	bool scanned = false;
	std::map<std::string, ino_t> names;   // a folder's entries, for removals
};

struct PendingMove {
	uint32 cookie;
	int wd;
	std::string name;
};

// One change and everyone to tell about it, each listener once.
struct Happening {
	NodeEvent event;
	std::vector<std::shared_ptr<NodeListener>> to;

	void Add(const WatchedNode* node, uint32 flag)
	{
		if (node == nullptr)
			return;
		for (const Subscription& sub : node->subs) {
			if ((sub.flags & flag) == 0)
				continue;
			bool known = false;
			for (const auto& listener : to)
				known = known || listener->Equals(*sub.listener);
			if (!known)
				to.push_back(sub.listener);
		}
	}
};

typedef std::vector<Happening> Outbox;

bool is_below(const std::string& path, const std::string& dir)
{
	return path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0
	       && (dir == "/" || path[dir.size()] == '/');
}

class Engine {
public:
	status_t Watch(const node_ref& node, uint32 flags,
	               const std::shared_ptr<NodeListener>& listener);
	status_t Stop(const NodeListener& listener);
	int32 Count();

private:
	status_t start_locked();
	int add_kernel_watch_locked(const std::string& path, bool folder);
	void release_kernel_watch_locked(int wd);
	void drop_node_locked(const node_ref& node);
	WatchedNode* node_at_locked(const std::string& path);
	WatchedNode* folder_node_locked(const KernelWatch& watch);

	void run();
	void handle_locked(const struct inotify_event* event, Outbox* out);
	void flush_pending_locked(Outbox* out);
	void entry_appeared_locked(int wd, const std::string& name, Outbox* out);
	void entry_vanished_locked(int wd, const std::string& name, Outbox* out);
	void entry_moved_locked(const PendingMove& from, int toWd, const std::string& name,
	                        Outbox* out);
	void replaced_locked(const node_ref& old, const struct stat& st,
	                     const KernelWatch& folder, const std::string& name, Outbox* out);
	void folder_stat_changed_locked(const WatchedNode* folder, Outbox* out);
	void self_changed_locked(int wd, uint32 mask, Outbox* out);
	void rename_paths_locked(const std::string& from, const std::string& to);

	std::mutex fLock;
	int fFd = -1;
	bool fStarted = false;
	std::map<node_ref, WatchedNode> fNodes;
	std::map<int, KernelWatch> fWatches;
	std::optional<PendingMove> fPending;
};

Engine& engine()
{
	// Never destroyed: its reader thread runs for the life of the process.
	static Engine* instance = new Engine;
	return *instance;
}

// ---- Watching

status_t Engine::start_locked()
{
	if (fStarted)
		return B_OK;
	fFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
	if (fFd < 0)
		return errno_status();
	std::thread reader(&Engine::run, this);
	reader.detach();
	fStarted = true;
	return B_OK;
}

int Engine::add_kernel_watch_locked(const std::string& path, bool folder)
{
	// A folder's own contents never change by writes; writes to its
	// entries are seen through their own watches. Left out, they do not
	// wake the reader for every write to some other file in a busy folder.
	int wd = inotify_add_watch(fFd, path.c_str(), folder ? kMask & ~IN_MODIFY : kMask);
	if (wd < 0)
		return -1;
	KernelWatch& watch = fWatches[wd];
	if (watch.users == 0) {
		watch.path = path;
		struct stat st;
		if (lstat(path.c_str(), &st) == 0)
			watch.node = node_ref(short_dev(st.st_dev), st.st_ino);
	}
	watch.users++;
	if (folder && !watch.scanned) {
		// The entries' nodes, so that a removal can say which node went.
		watch.scanned = true;
		if (DIR* dir = opendir(path.c_str())) {
			while (struct dirent* ent = readdir(dir)) {
				if (strcmp(ent->d_name, ".") != 0 && strcmp(ent->d_name, "..") != 0)
					watch.names[ent->d_name] = ent->d_ino;
			}
			closedir(dir);
		}
	}
	return wd;
}

void Engine::release_kernel_watch_locked(int wd)
{
	auto it = fWatches.find(wd);
	if (it == fWatches.end())
		return;
	if (--it->second.users > 0)
		return;
	inotify_rm_watch(fFd, wd);
	fWatches.erase(it);
}

void Engine::drop_node_locked(const node_ref& node)
{
	auto it = fNodes.find(node);
	if (it == fNodes.end())
		return;
	release_kernel_watch_locked(it->second.selfWd);
	release_kernel_watch_locked(it->second.parentWd);
	fNodes.erase(it);
}

status_t Engine::Watch(const node_ref& node, uint32 flags,
                       const std::shared_ptr<NodeListener>& listener)
{
	if (flags == B_STOP_WATCHING) {
		std::lock_guard<std::mutex> guard(fLock);
		auto it = fNodes.find(node);
		if (it == fNodes.end())
			return B_BAD_VALUE;
		auto& subs = it->second.subs;
		for (auto sub = subs.begin(); sub != subs.end(); ) {
			if (sub->listener->Equals(*listener))
				sub = subs.erase(sub);
			else
				++sub;
		}
		if (subs.empty())
			drop_node_locked(node);
		return B_OK;
	}

	std::string path;
	status_t status = lookup_node(node.device, node.node, &path);
	if (status != B_OK)
		return status;

	std::lock_guard<std::mutex> guard(fLock);
	auto it = fNodes.find(node);
	if (it == fNodes.end()) {
		status = start_locked();
		if (status != B_OK)
			return status;
		struct stat st;
		if (lstat(path.c_str(), &st) != 0)
			return errno_status();
		WatchedNode watched;
		watched.node = node_ref(short_dev(node.device), node.node);
		watched.path = path;
		watched.isDirectory = S_ISDIR(st.st_mode);
		watched.last = st;
		watched.selfWd = add_kernel_watch_locked(path, watched.isDirectory);
		if (watched.selfWd < 0)
			return errno_status();
		if (path != "/") {
			std::string dir, leaf;
			split_path(path, &dir, &leaf);
			watched.parentWd = add_kernel_watch_locked(dir, true);
			if (watched.parentWd < 0) {
				status = errno_status();
				release_kernel_watch_locked(watched.selfWd);
				return status;
			}
		}
		it = fNodes.emplace(watched.node, std::move(watched)).first;
	}
	for (Subscription& sub : it->second.subs) {
		if (sub.listener->Equals(*listener)) {
			sub.flags |= flags;
			return B_OK;
		}
	}
	it->second.subs.push_back({listener, flags});
	return B_OK;
}

status_t Engine::Stop(const NodeListener& listener)
{
	std::lock_guard<std::mutex> guard(fLock);
	std::vector<node_ref> empty;
	for (auto& [ref, node] : fNodes) {
		for (auto sub = node.subs.begin(); sub != node.subs.end(); ) {
			if (sub->listener->Equals(listener))
				sub = node.subs.erase(sub);
			else
				++sub;
		}
		if (node.subs.empty())
			empty.push_back(ref);
	}
	for (const node_ref& ref : empty)
		drop_node_locked(ref);
	return B_OK;
}

int32 Engine::Count()
{
	std::lock_guard<std::mutex> guard(fLock);
	return (int32)fNodes.size();
}

WatchedNode* Engine::node_at_locked(const std::string& path)
{
	for (auto& [ref, node] : fNodes) {
		if (node.path == path)
			return &node;
	}
	return nullptr;
}

WatchedNode* Engine::folder_node_locked(const KernelWatch& watch)
{
	auto it = fNodes.find(watch.node);
	if (it == fNodes.end() || !it->second.isDirectory)
		return nullptr;
	return &it->second;
}

// ---- The reader thread

void Engine::run()
{
	BPrivate::name_this_thread("node monitor");
	alignas(struct inotify_event) char buffer[16384];
	for (;;) {
		bool pending;
		{
			std::lock_guard<std::mutex> guard(fLock);
			pending = fPending.has_value();
		}
		struct pollfd fds = {fFd, POLLIN, 0};
		int ready = poll(&fds, 1, pending ? kMovePairingMs : -1);
		if (ready < 0 && errno != EINTR)
			return;

		Outbox out;
		{
			std::lock_guard<std::mutex> guard(fLock);
			if (ready == 0) {
				flush_pending_locked(&out);
			} else if (ready > 0) {
				ssize_t length = read(fFd, buffer, sizeof(buffer));
				for (ssize_t offset = 0; length > 0 && offset < length; ) {
					const struct inotify_event* event
						= (const struct inotify_event*)(buffer + offset);
					handle_locked(event, &out);
					offset += sizeof(struct inotify_event) + event->len;
				}
			}
		}
		for (const Happening& happening : out) {
			for (const auto& listener : happening.to)
				listener->Deliver(happening.event);
		}
	}
}

void Engine::handle_locked(const struct inotify_event* event, Outbox* out)
{
	// The two halves of a rename follow each other; anything else between
	// them means the entry left the watched folders.
	if (fPending && !((event->mask & IN_MOVED_TO) && event->cookie == fPending->cookie))
		flush_pending_locked(out);

	if (event->mask & IN_IGNORED) {
		// The kernel dropped the watch (the node is gone).
		for (auto& [ref, node] : fNodes) {
			if (node.selfWd == event->wd)
				node.selfWd = -1;
			if (node.parentWd == event->wd)
				node.parentWd = -1;
		}
		fWatches.erase(event->wd);
		return;
	}
	if (fWatches.find(event->wd) == fWatches.end())
		return;

	if (event->len > 0 && event->name[0] != '\0') {
		std::string name = event->name;
		if (event->mask & IN_CREATE)
			entry_appeared_locked(event->wd, name, out);
		else if (event->mask & IN_DELETE)
			entry_vanished_locked(event->wd, name, out);
		else if (event->mask & IN_MOVED_FROM)
			fPending = PendingMove{event->cookie, event->wd, name};
		else if (event->mask & IN_MOVED_TO) {
			if (fPending) {
				PendingMove from = *fPending;
				fPending.reset();
				entry_moved_locked(from, event->wd, name, out);
			} else {
				entry_appeared_locked(event->wd, name, out);
			}
		}
		// Writes and attribute changes of an entry are reported through the
		// entry's own watch.
		return;
	}
	self_changed_locked(event->wd, event->mask, out);
}

void Engine::flush_pending_locked(Outbox* out)
{
	if (!fPending)
		return;
	PendingMove from = *fPending;
	fPending.reset();
	entry_vanished_locked(from.wd, from.name, out);
}

void Engine::folder_stat_changed_locked(const WatchedNode* folder, Outbox* out)
{
	if (folder == nullptr)
		return;
	Happening happening;
	happening.event.opcode = B_STAT_CHANGED;
	happening.event.device = folder->node.device;
	happening.event.node = folder->node.node;
	happening.Add(folder, B_WATCH_STAT);
	if (!happening.to.empty())
		out->push_back(std::move(happening));
}

void Engine::entry_appeared_locked(int wd, const std::string& name, Outbox* out)
{
	KernelWatch& watch = fWatches[wd];
	std::string path = join_path(watch.path, name.c_str());
	struct stat st;
	bool exists = lstat(path.c_str(), &st) == 0;
	ino_t node = exists ? st.st_ino : 0;
	watch.names[name] = node;

	WatchedNode* folder = folder_node_locked(watch);
	Happening happening;
	happening.event.opcode = B_ENTRY_CREATED;
	happening.event.device = watch.node.device;
	happening.event.directory = watch.node.node;
	happening.event.node = node;
	happening.event.name = name;
	happening.event.hasDirectory = happening.event.hasName = true;
	happening.Add(folder, B_WATCH_DIRECTORY);
	if (!happening.to.empty())
		out->push_back(std::move(happening));
	folder_stat_changed_locked(folder, out);

	WatchedNode* named = node_at_locked(path);
	if (named != nullptr && exists && named->node.node != st.st_ino)
		replaced_locked(named->node, st, watch, name, out);
}

void Engine::entry_vanished_locked(int wd, const std::string& name, Outbox* out)
{
	auto it = fWatches.find(wd);
	if (it == fWatches.end())
		return;
	KernelWatch& watch = it->second;
	std::string path = join_path(watch.path, name.c_str());
	ino_t node = 0;
	auto known = watch.names.find(name);
	if (known != watch.names.end()) {
		node = known->second;
		watch.names.erase(known);
	}
	WatchedNode* named = node_at_locked(path);
	if (named != nullptr)
		node = named->node.node;

	WatchedNode* folder = folder_node_locked(watch);
	Happening happening;
	happening.event.opcode = B_ENTRY_REMOVED;
	happening.event.device = watch.node.device;
	happening.event.directory = watch.node.node;
	happening.event.node = node;
	happening.event.hasDirectory = true;
	happening.Add(folder, B_WATCH_DIRECTORY);
	if (named != nullptr && !named->gone) {
		happening.Add(named, B_WATCH_NAME);
		named->gone = true;
	}
	if (!happening.to.empty())
		out->push_back(std::move(happening));
	folder_stat_changed_locked(folder, out);
}

void Engine::entry_moved_locked(const PendingMove& from, int toWd, const std::string& name,
                                Outbox* out)
{
	auto fromIt = fWatches.find(from.wd);
	if (fromIt == fWatches.end()) {
		entry_appeared_locked(toWd, name, out);
		return;
	}
	KernelWatch& source = fromIt->second;
	KernelWatch& target = fWatches[toWd];
	std::string fromPath = join_path(source.path, from.name.c_str());
	std::string toPath = join_path(target.path, name.c_str());

	struct stat st;
	bool exists = lstat(toPath.c_str(), &st) == 0;
	ino_t node = 0;
	if (auto known = source.names.find(from.name); known != source.names.end()) {
		node = known->second;
		source.names.erase(known);
	}
	if (exists)
		node = st.st_ino;
	target.names[name] = node;

	WatchedNode* moved = node_at_locked(fromPath);
	WatchedNode* covered = node_at_locked(toPath);
	if (covered == moved)
		covered = nullptr;
	std::optional<node_ref> coveredRef;
	if (covered != nullptr)
		coveredRef = covered->node;

	WatchedNode* sourceFolder = folder_node_locked(source);
	WatchedNode* targetFolder = folder_node_locked(target);
	Happening happening;
	happening.event.opcode = B_ENTRY_MOVED;
	happening.event.device = source.node.device;
	happening.event.fromDirectory = source.node.node;
	happening.event.toDirectory = target.node.node;
	happening.event.node = node;
	happening.event.name = name;
	happening.event.hasName = true;
	happening.Add(sourceFolder, B_WATCH_DIRECTORY);
	happening.Add(targetFolder, B_WATCH_DIRECTORY);
	happening.Add(moved, B_WATCH_NAME);
	if (!happening.to.empty())
		out->push_back(std::move(happening));
	folder_stat_changed_locked(sourceFolder, out);
	if (targetFolder != sourceFolder)
		folder_stat_changed_locked(targetFolder, out);

	if (moved != nullptr) {
		node_ref movedRef = moved->node;
		rename_paths_locked(fromPath, toPath);
		WatchedNode& watched = fNodes[movedRef];
		watched.gone = false;
		if (source.node != target.node) {
			// It lives in another folder now: watch that one for its name.
			release_kernel_watch_locked(watched.parentWd);
			watched.parentWd = add_kernel_watch_locked(target.path, true);
		}
	}
	if (coveredRef && exists) {
		auto covering = fWatches.find(toWd);
		if (covering != fWatches.end())
			replaced_locked(*coveredRef, st, covering->second, name, out);
	}
}

void Engine::replaced_locked(const node_ref& old, const struct stat& st,
                             const KernelWatch& folder, const std::string& name, Outbox* out)
{
	auto it = fNodes.find(old);
	if (it == fNodes.end())
		return;

	// The old node lost its name...
	Happening removed;
	removed.event.opcode = B_ENTRY_REMOVED;
	removed.event.device = folder.node.device;
	removed.event.directory = folder.node.node;
	removed.event.node = old.node;
	removed.event.hasDirectory = true;
	if (!it->second.gone)
		removed.Add(&it->second, B_WATCH_NAME);
	if (!removed.to.empty())
		out->push_back(std::move(removed));

	// ...and the watch goes on with the node that has it now.
	Happening changed;
	changed.event.opcode = B_STAT_CHANGED;
	changed.event.device = short_dev(st.st_dev);
	changed.event.node = st.st_ino;
	changed.event.directory = folder.node.node;
	changed.event.name = name;
	changed.event.hasDirectory = changed.event.hasName = true;
	changed.Add(&it->second, B_WATCH_STAT);
	if (!changed.to.empty())
		out->push_back(std::move(changed));

	WatchedNode watched = std::move(it->second);
	fNodes.erase(it);
	release_kernel_watch_locked(watched.selfWd);
	watched.node = node_ref(short_dev(st.st_dev), st.st_ino);
	watched.isDirectory = S_ISDIR(st.st_mode);
	watched.last = st;
	watched.gone = false;
	watched.selfWd = add_kernel_watch_locked(watched.path, watched.isDirectory);
	register_node(st.st_dev, st.st_ino, watched.path);

	auto existing = fNodes.find(watched.node);
	if (existing == fNodes.end()) {
		fNodes.emplace(watched.node, std::move(watched));
		return;
	}
	// The new node was watched already (it was renamed over this one):
	// its listeners and these become one.
	for (Subscription& sub : watched.subs) {
		bool merged = false;
		for (Subscription& other : existing->second.subs) {
			if (other.listener->Equals(*sub.listener)) {
				other.flags |= sub.flags;
				merged = true;
			}
		}
		if (!merged)
			existing->second.subs.push_back(sub);
	}
	release_kernel_watch_locked(watched.selfWd);
	release_kernel_watch_locked(watched.parentWd);
}

void Engine::self_changed_locked(int wd, uint32 mask, Outbox* out)
{
	for (auto& [ref, node] : fNodes) {
		if (node.selfWd != wd)
			continue;
		bool statChanged = (mask & IN_MODIFY) != 0;
		bool attrChanged = false;
		if (mask & IN_ATTRIB) {
			// inotify says only "metadata": an attribute change touches the
			// status-change time alone, anything else is a stat change.
			struct stat st;
			if (lstat(node.path.c_str(), &st) == 0 && st.st_ino == node.node.node) {
				const struct stat& last = node.last;
				bool other = st.st_mode != last.st_mode || st.st_uid != last.st_uid
				             || st.st_gid != last.st_gid || st.st_size != last.st_size
				             || st.st_nlink != last.st_nlink
				             || st.st_mtim.tv_sec != last.st_mtim.tv_sec
				             || st.st_mtim.tv_nsec != last.st_mtim.tv_nsec
				             || st.st_atim.tv_sec != last.st_atim.tv_sec
				             || st.st_atim.tv_nsec != last.st_atim.tv_nsec;
				statChanged = statChanged || other;
				attrChanged = !other;
				node.last = st;
			} else {
				statChanged = true;
			}
		} else if (statChanged) {
			struct stat st;
			if (lstat(node.path.c_str(), &st) == 0 && st.st_ino == node.node.node)
				node.last = st;
		}
		if (statChanged) {
			Happening happening;
			happening.event.opcode = B_STAT_CHANGED;
			happening.event.device = node.node.device;
			happening.event.node = node.node.node;
			happening.Add(&node, B_WATCH_STAT);
			if (!happening.to.empty())
				out->push_back(std::move(happening));
		}
		if (attrChanged) {
			Happening happening;
			happening.event.opcode = B_ATTR_CHANGED;
			happening.event.device = node.node.device;
			happening.event.node = node.node.node;
			happening.Add(&node, B_WATCH_ATTR);
			if (!happening.to.empty())
				out->push_back(std::move(happening));
		}
	}
}

void Engine::rename_paths_locked(const std::string& from, const std::string& to)
{
	auto renamed = [&](std::string& path) {
		if (path == from)
			path = to;
		else if (is_below(path, from))
			path = to + path.substr(from.size());
	};
	for (auto& [ref, node] : fNodes) {
		renamed(node.path);
		register_node(node.node.device, node.node.node, node.path);
		if (node.isDirectory)
			register_dir(node.node.device, node.node.node, node.path);
	}
	for (auto& [wd, watch] : fWatches)
		renamed(watch.path);
}

}

// ---- Entry points

status_t watch_node_path(const node_ref& node, uint32 flags,
                         const std::shared_ptr<NodeListener>& listener)
{
	if (!listener)
		return B_BAD_VALUE;
	if (flags & B_WATCH_MOUNT)
		return B_UNSUPPORTED;
	return engine().Watch(node, flags, listener);
}

status_t stop_watching_listener(const NodeListener& listener)
{
	return engine().Stop(listener);
}

int32 watched_node_count()
{
	return engine().Count();
}

}
