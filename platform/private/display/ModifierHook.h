// Hands the keyboard's modifier state to the Interface Kit's modifiers().
#ifndef DISPLAY_MODIFIER_HOOK_H
#define DISPLAY_MODIFIER_HOOK_H

#include <SupportDefs.h>

namespace display {

void publish_modifiers(uint32 modifiers);

}

#endif
