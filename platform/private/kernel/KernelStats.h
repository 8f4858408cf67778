// How many kernel objects the process holds, for get_system_info.
#ifndef PRIVATE_KERNEL_KERNEL_STATS_H
#define PRIVATE_KERNEL_KERNEL_STATS_H

#include <SupportDefs.h>

namespace BPrivate {

int32 semaphore_count();
int32 port_total_count();
int32 live_thread_count();

}

#endif
