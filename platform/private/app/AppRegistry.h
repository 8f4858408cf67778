// Applications that ran before, so that the roster can start them again by
// signature. Each BApplication records its signature and executable in
// $XDG_DATA_HOME/verso/apps (by default ~/.local/share/verso/apps): one
// small file per signature, named after it ('/' written as '%'), holding
// the executable's path.
#ifndef PRIVATE_APP_APP_REGISTRY_H
#define PRIVATE_APP_APP_REGISTRY_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

// Best effort: an unwritable folder only means the roster cannot find the
// application by this record later.
void record_app(const char* signature, const std::string& executable);
// The recorded executable, if it still exists and can be run.
bool lookup_app(const char* signature, std::string* executable);

}

#endif
