#include "app/TokenSpace.h"

#include "app/LooperPort.h"

#include <atomic>
#include <unordered_map>
#include <mutex>
#include <utility>
#include <vector>

namespace BPrivate {

namespace {

struct TokenEntry {
	BHandler* handler;
	std::shared_ptr<LooperPort> port;
};

// Looked up several times for every message, so by hash rather than by
// tree: one or two cache lines instead of a walk down the tree.
struct TokenTable {
	TokenTable() { entries.reserve(256); }

	std::mutex lock;
	std::unordered_map<int32, TokenEntry> entries;
	int32 next = 1;
	// Counts the handlers that left a looper or were deleted, so that a
	// remembered answer of IsIn can tell it still holds.
	std::atomic<uint32> generation{1};
};

// Never destroyed: handlers may outlive static destruction at exit.
[[gnu::hot]] TokenTable& tokens()
{
	static TokenTable* table = new TokenTable;
	return *table;
}

struct LooperEntry {
	BLooper* looper;
	std::shared_ptr<LooperPort> port;
};

struct LooperTable {
	std::mutex lock;
	std::vector<LooperEntry> loopers;
};

LooperTable& loopers()
{
	static LooperTable* table = new LooperTable;
	return *table;
}

}

int32 TokenSpace::NewToken(BHandler* handler)
{
	TokenTable& table = tokens();
	std::lock_guard<std::mutex> lock(table.lock);
	int32 token = table.next;
	table.next = table.next == INT32_MAX ? 1 : table.next + 1;
	table.entries[token] = TokenEntry{handler, nullptr};
	return token;
}

void TokenSpace::RemoveToken(int32 token)
{
	std::shared_ptr<LooperPort> released;
	TokenTable& table = tokens();
	std::lock_guard<std::mutex> lock(table.lock);
	auto it = table.entries.find(token);
	if (it == table.entries.end())
		return;
	released = std::move(it->second.port);
	table.entries.erase(it);
	table.generation.fetch_add(1, std::memory_order_release);
}

void TokenSpace::SetPort(int32 token, std::shared_ptr<LooperPort> port)
{
	TokenTable& table = tokens();
	std::lock_guard<std::mutex> lock(table.lock);
	auto it = table.entries.find(token);
	if (it != table.entries.end()) {
		std::swap(it->second.port, port);
		table.generation.fetch_add(1, std::memory_order_release);
	}
	// The old port (now in `port`) is released after the table lock.
}

[[gnu::hot]] bool TokenSpace::Get(int32 token, BHandler** handler,
	std::shared_ptr<LooperPort>* port)
{
	TokenTable& table = tokens();
	std::lock_guard<std::mutex> lock(table.lock);
	auto it = table.entries.find(token);
	if (it == table.entries.end())
		return false;
	if (handler != nullptr)
		*handler = it->second.handler;
	if (port != nullptr)
		*port = it->second.port;
	return true;
}

bool TokenSpace::IsIn(int32 token, const LooperPort* port, BHandler** handler)
{
	TokenTable& table = tokens();
	std::lock_guard<std::mutex> lock(table.lock);
	auto it = table.entries.find(token);
	if (it == table.entries.end() || it->second.port.get() != port || port == nullptr)
		return false;
	if (handler != nullptr)
		*handler = it->second.handler;
	return true;
}

[[gnu::hot]] bool TokenSpace::IsIn(int32 token, const LooperPort* port, BHandler** handler,
	Memo* memo)
{
	// Read before the look-up: a change meanwhile leaves the memo stale
	// for the next call, never wrong.
	const uint32 generation = tokens().generation.load(std::memory_order_acquire);
	if (memo->token == token && memo->port == port && memo->generation == generation
		&& port != nullptr) {
		if (handler != nullptr)
			*handler = memo->handler;
		return true;
	}
	BHandler* found;
	if (!IsIn(token, port, &found))
		return false;
	*memo = Memo{token, port, found, generation};
	if (handler != nullptr)
		*handler = found;
	return true;
}

[[gnu::hot]] bool TokenSpace::IsAlive(int32 token)
{
	TokenTable& table = tokens();
	std::lock_guard<std::mutex> lock(table.lock);
	auto it = table.entries.find(token);
	// the table's reference keeps the port while the table is locked
	return it != table.entries.end() && it->second.port && !it->second.port->IsDead();
}

status_t TokenSpace::LockLooperOf(int32 token, bigtime_t timeout)
{
	std::shared_ptr<LooperPort> port;
	if (!Get(token, nullptr, &port) || !port)
		return B_BAD_VALUE;
	status_t status = port->Lock(timeout);
	if (status != B_OK)
		return status;
	// The handler may have left the looper, or moved on, while we waited.
	std::shared_ptr<LooperPort> now;
	if (!Get(token, nullptr, &now) || now != port) {
		port->Unlock();
		return now ? B_MISMATCHED_VALUES : B_BAD_VALUE;
	}
	return B_OK;
}

void LooperList::Add(BLooper* looper, std::shared_ptr<LooperPort> port)
{
	LooperTable& table = loopers();
	std::lock_guard<std::mutex> lock(table.lock);
	table.loopers.push_back(LooperEntry{looper, std::move(port)});
}

void LooperList::Remove(BLooper* looper)
{
	std::shared_ptr<LooperPort> released;
	LooperTable& table = loopers();
	std::lock_guard<std::mutex> lock(table.lock);
	for (auto it = table.loopers.begin(); it != table.loopers.end(); ++it) {
		if (it->looper == looper) {
			released = std::move(it->port);
			table.loopers.erase(it);
			return;
		}
	}
}

std::shared_ptr<LooperPort> LooperList::PortOf(const BLooper* looper)
{
	LooperTable& table = loopers();
	std::lock_guard<std::mutex> lock(table.lock);
	for (const LooperEntry& entry : table.loopers) {
		if (entry.looper == looper)
			return entry.port;
	}
	return nullptr;
}

int32 LooperList::Count()
{
	LooperTable& table = loopers();
	std::lock_guard<std::mutex> lock(table.lock);
	return (int32)table.loopers.size();
}

BLooper* LooperList::At(int32 index)
{
	LooperTable& table = loopers();
	std::lock_guard<std::mutex> lock(table.lock);
	if (index < 0 || (size_t)index >= table.loopers.size())
		return nullptr;
	return table.loopers[(size_t)index].looper;
}

BLooper* LooperList::ForThread(thread_id thread)
{
	LooperTable& table = loopers();
	std::lock_guard<std::mutex> lock(table.lock);
	for (const LooperEntry& entry : table.loopers) {
		if (entry.port->thread.load() == thread)
			return entry.looper;
	}
	return nullptr;
}

}
