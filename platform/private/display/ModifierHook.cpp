#include "display/ModifierHook.h"

namespace display {

void publish_modifiers(uint32 modifiers)
{
	// modifiers() reads the Interface Kit's copy; until that setter exists
	// the server's own copy (DisplayServer::Modifiers) is the only one.
	(void)modifiers;
}

}
