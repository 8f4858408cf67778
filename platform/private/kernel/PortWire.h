// What goes over a connection to another process's port.
//
// The writer sends, one at a time:
//     'R'  int32 code  uint32 size  <size bytes>     a record for the port
// and then reads one int32 reply: B_OK once the record is in the port,
// B_BAD_PORT_ID when the port is closed or gone, B_BAD_VALUE for a record
// that is too large. While the port is full the owner holds the record and
// does not answer; a writer whose time-out runs out sends
//     'C'                                              cancel
// and reads the one reply that follows: B_OK if the record got into the port
// first after all, B_TIMED_OUT if it was dropped. Integers are in the byte
// order of the machine (both ends run on it).
#ifndef PRIVATE_KERNEL_PORT_WIRE_H
#define PRIVATE_KERNEL_PORT_WIRE_H

#include <SupportDefs.h>

namespace BPrivate {

constexpr uint8 kWireRecord = 'R';
constexpr uint8 kWireCancel = 'C';
constexpr size_t kWireRecordHeader = 1 + 4 + 4;

}

#endif
