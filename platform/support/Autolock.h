// BAutolock: locks a BLocker or a BLooper for as long as it exists.
//
// The constructor locks; IsLocked() says whether that worked (a looper that
// is gone cannot be locked). The destructor unlocks, unless Unlock() already
// did. The autolock does not own the locker or the looper.
#ifndef _AUTOLOCK_H
#define _AUTOLOCK_H

#include <Locker.h>
#include <Looper.h>
#include <SupportDefs.h>

class BAutolock {
public:
	BAutolock(BLocker* locker)
		:
		fLocker(locker),
		fLooper(NULL),
		fIsLocked(locker != NULL && locker->Lock())
	{
	}

	BAutolock(BLocker& locker)
		:
		fLocker(&locker),
		fLooper(NULL),
		fIsLocked(locker.Lock())
	{
	}

	BAutolock(BLooper* looper)
		:
		fLocker(NULL),
		fLooper(looper),
		fIsLocked(looper != NULL && looper->Lock())
	{
	}

	~BAutolock()
	{
		Unlock();
	}

	bool IsLocked() { return fIsLocked; }

	void Unlock()
	{
		if (!fIsLocked)
			return;
		fIsLocked = false;
		if (fLooper != NULL)
			fLooper->Unlock();
		else
			fLocker->Unlock();
	}

private:
	BAutolock(const BAutolock&) = delete;
	BAutolock& operator=(const BAutolock&) = delete;

	BLocker* fLocker;
	BLooper* fLooper;
	bool fIsLocked;
};

#endif
