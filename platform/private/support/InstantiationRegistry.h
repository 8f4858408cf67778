// The table of instantiation functions by class name, and the class names
// of an archivable object's ancestry.
#ifndef PRIVATE_SUPPORT_INSTANTIATION_REGISTRY_H
#define PRIVATE_SUPPORT_INSTANTIATION_REGISTRY_H

#include <Archivable.h>

#include <string>
#include <typeinfo>
#include <vector>

namespace BPrivate {

// Looked up under a lock: add-ons may register while another thread
// instantiates.
instantiation_func lookup_instantiation_func(const char* className);

// The readable names of `type` and of its ancestors on the way to
// BArchivable (which is left out), most derived first. A class whose way to
// BArchivable cannot be traced gives its own name only.
std::vector<std::string> archivable_class_names(const std::type_info& type);

}

#endif
