// The system beep. This platform has no sound of its own for it: the call
// succeeds silently.
#ifndef _BEEP_H
#define _BEEP_H

#include <SupportDefs.h>

status_t beep();

#endif
