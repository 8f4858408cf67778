#include <MessageQueue.h>

#include <algorithm>

BMessageQueue::BMessageQueue()
	: fLockCount(0)
{
}

BMessageQueue::~BMessageQueue()
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	for (BMessage* message : fMessages)
		delete message;
	fMessages.clear();
	fCount.store(0, std::memory_order_release);
}

void BMessageQueue::AddMessage(BMessage* message)
{
	if (message == NULL)
		return;
	std::lock_guard<std::recursive_mutex> lock(fLock);
	fMessages.push_back(message);
	fCount.store((int32)fMessages.size(), std::memory_order_release);
}

bool BMessageQueue::RemoveMessage(BMessage* message)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	auto it = std::find(fMessages.begin(), fMessages.end(), message);
	if (it == fMessages.end())
		return false;
	fMessages.erase(it);
	fCount.store((int32)fMessages.size(), std::memory_order_release);
	return true;
}

BMessage* BMessageQueue::NextMessage()
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (fMessages.empty())
		return NULL;
	BMessage* message = fMessages.front();
	fMessages.pop_front();
	fCount.store((int32)fMessages.size(), std::memory_order_release);
	return message;
}

BMessage* BMessageQueue::FindMessage(int32 index) const
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (index < 0 || (size_t)index >= fMessages.size())
		return NULL;
	return fMessages[(size_t)index];
}

BMessage* BMessageQueue::FindMessage(uint32 what, int32 index) const
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (index < 0)
		return NULL;
	for (BMessage* message : fMessages) {
		if (message->what == what && index-- == 0)
			return message;
	}
	return NULL;
}

int32 BMessageQueue::CountMessages() const
{
	return fCount.load(std::memory_order_acquire);
}

[[gnu::hot]] bool BMessageQueue::IsEmpty() const
{
	return CountMessages() == 0;
}

bool BMessageQueue::Lock()
{
	fLock.lock();
	fOwner = std::this_thread::get_id();
	fLockCount++;
	return true;
}

void BMessageQueue::Unlock()
{
	if (!IsLocked())
		return;
	if (--fLockCount == 0)
		fOwner = std::thread::id();
	fLock.unlock();
}

bool BMessageQueue::IsLocked() const
{
	// Only the owner may look at the count it changed: try the lock.
	if (!fLock.try_lock())
		return false;
	bool mine = fLockCount > 0 && fOwner == std::this_thread::get_id();
	fLock.unlock();
	return mine;
}
