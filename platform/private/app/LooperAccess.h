// What the Interface Kit needs of a looper's insides: its port, to post
// input from the display thread without blocking, and to look into the
// queue for GetMouse().
#ifndef PRIVATE_APP_LOOPER_ACCESS_H
#define PRIVATE_APP_LOOPER_ACCESS_H

#include <Looper.h>

#include <memory>

namespace BPrivate {

class LooperPort;

class LooperAccess {
public:
	static std::shared_ptr<LooperPort> Port(const BLooper* looper)
		{ return looper->fPort; }
	// Moves what waits in the port into the looper's message queue.
	static void DrainPort(BLooper* looper);
};

}

#endif
