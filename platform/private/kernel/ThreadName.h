// Names the calling thread as profilers and /proc show it (at most 15
// bytes are kept), for the platform's own threads that are not spawned
// through spawn_thread.
#ifndef PRIVATE_KERNEL_THREAD_NAME_H
#define PRIVATE_KERNEL_THREAD_NAME_H

#include <pthread.h>
#include <string.h>

namespace BPrivate {

inline void name_this_thread(const char* name)
{
	char shortName[16];
	strncpy(shortName, name, sizeof(shortName) - 1);
	shortName[sizeof(shortName) - 1] = '\0';
	pthread_setname_np(pthread_self(), shortName);
}

}

#endif
