#include "support/InstantiationRegistry.h"

#include <cxxabi.h>

#include <cstdlib>
#include <map>
#include <mutex>

namespace BPrivate {

namespace {

struct Registry {
	std::mutex lock;
	std::map<std::string, instantiation_func> functions;
};

// Never destroyed: static registrars in other libraries may unregister
// while the program exits, after this library's statics are gone.
Registry&
registry()
{
	static Registry* sRegistry = new Registry;
	return *sRegistry;
}


std::string
readable_name(const std::type_info& type)
{
	int status = 0;
	char* name = abi::__cxa_demangle(type.name(), NULL, NULL, &status);
	if (name == NULL)
		return type.name();
	std::string result(name);
	free(name);
	return result;
}


// Appends the names from `type` to BArchivable (exclusive) to `names`;
// false when BArchivable is not among its ancestors.
bool
collect_names(const std::type_info& type, std::vector<std::string>& names)
{
	if (type == typeid(BArchivable))
		return true;
	names.push_back(readable_name(type));
	size_t mark = names.size();

	// The Itanium C++ ABI describes a class with one public, non-virtual
	// base at offset 0 by __si_class_type_info and any other class with
	// bases by __vmi_class_type_info. With several bases, the first one
	// that leads to BArchivable is followed.
	if (const abi::__si_class_type_info* single
			= dynamic_cast<const abi::__si_class_type_info*>(&type)) {
		return collect_names(*single->__base_type, names);
	}
	if (const abi::__vmi_class_type_info* multiple
			= dynamic_cast<const abi::__vmi_class_type_info*>(&type)) {
		for (unsigned i = 0; i < multiple->__base_count; i++) {
			if (collect_names(*multiple->__base_info[i].__base_type, names))
				return true;
			names.resize(mark);
		}
	}
	return false;
}

}	// namespace


instantiation_func
lookup_instantiation_func(const char* className)
{
	if (className == NULL)
		return NULL;
	Registry& table = registry();
	std::lock_guard<std::mutex> lock(table.lock);
	auto found = table.functions.find(className);
	return found != table.functions.end() ? found->second : NULL;
}


std::vector<std::string>
archivable_class_names(const std::type_info& type)
{
	std::vector<std::string> names;
	if (!collect_names(type, names) || names.empty()) {
		names.clear();
		names.push_back(readable_name(type));
	}
	return names;
}


status_t
register_instantiation_func(const char* className, instantiation_func func)
{
	if (className == NULL || className[0] == '\0' || func == NULL)
		return B_BAD_VALUE;
	Registry& table = registry();
	std::lock_guard<std::mutex> lock(table.lock);
	table.functions[className] = func;
	return B_OK;
}


void
unregister_instantiation_func(const char* className, instantiation_func func)
{
	if (className == NULL)
		return;
	Registry& table = registry();
	std::lock_guard<std::mutex> lock(table.lock);
	auto found = table.functions.find(className);
	if (found != table.functions.end() && found->second == func)
		table.functions.erase(found);
}


InstantiationRegistrar::InstantiationRegistrar(const char* className,
	instantiation_func func)
	:
	fClassName(className),
	fFunc(func)
{
	register_instantiation_func(className, func);
}


InstantiationRegistrar::~InstantiationRegistrar()
{
	unregister_instantiation_func(fClassName, fFunc);
}

}	// namespace BPrivate
