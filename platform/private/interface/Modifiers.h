// The keyboard state behind modifiers().
//
// The display backend calls set_modifiers() whenever it learns the state of
// the modifier keys; tests call it to pretend keys are held. Any thread may
// call both functions.
#ifndef INTERFACE_MODIFIERS_H
#define INTERFACE_MODIFIERS_H

#include <SupportDefs.h>

namespace BPrivate {

void set_modifiers(uint32 modifiers);

}

#endif
