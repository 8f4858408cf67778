// Images: the executable, its shared libraries and the add-ons loaded with
// load_add_on, as the dynamic linker knows them.

#include <image.h>

#include <dlfcn.h>
#include <elf.h>
#include <errno.h>
#include <link.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct AddOn {
	void* handle = nullptr;
	std::string path;
	uintptr_t base = 0;
};

// One loaded object as dl_iterate_phdr shows it.
struct LoadedImage {
	std::string path;
	uintptr_t base = 0;
	uintptr_t textStart = 0, textEnd = 0;   // lowest to highest loaded segment
	uintptr_t dataStart = 0, dataEnd = 0;   // the writable segments
	const ElfW(Phdr)* headers = nullptr;
	int headerCount = 0;
};

// Image ids: add-ons get theirs when they are loaded; other images on first
// sight, by load address and path, so that the id stays while they stay.
struct ImageTable {
	std::mutex lock;
	std::map<image_id, AddOn> addOns;
	std::map<std::pair<uintptr_t, std::string>, image_id> known;
	// Resolved paths by load address and the name the linker gave, so that
	// walking the images does not resolve every library's path each time
	// (a program linking a large media stack has hundreds of them).
	std::map<std::pair<uintptr_t, std::string>, std::string> resolved;
	image_id nextId = 1;

	static ImageTable& Default()
	{
		static ImageTable* table = new ImageTable;
		return *table;
	}
};

std::string executable_path()
{
	char path[PATH_MAX];
	ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	return length > 0 ? std::string(path, length) : std::string();
}

// The table's lock is held.
std::vector<LoadedImage> loaded_images(ImageTable& table)
{
	struct Walk {
		ImageTable& table;
		std::vector<LoadedImage> images;
		bool first = true;
	} walk{table, {}, true};
	dl_iterate_phdr([](dl_phdr_info* info, size_t, void* data) {
		Walk& walk = *static_cast<Walk*>(data);
		LoadedImage image;
		if (walk.first) {
			walk.first = false;
			image.path = executable_path();
		} else {
			// The vDSO and other objects without a file have no path.
			if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0')
				return 0;
			auto key = std::make_pair((uintptr_t)info->dlpi_addr, std::string(info->dlpi_name));
			auto known = walk.table.resolved.find(key);
			if (known == walk.table.resolved.end()) {
				char resolved[PATH_MAX];
				std::string path;
				if (realpath(info->dlpi_name, resolved) != nullptr)
					path = resolved;
				known = walk.table.resolved.emplace(std::move(key), std::move(path)).first;
			}
			if (known->second.empty())
				return 0;
			image.path = known->second;
		}
		image.base = info->dlpi_addr;
		image.headers = info->dlpi_phdr;
		image.headerCount = info->dlpi_phnum;
		bool any = false;
		for (int i = 0; i < info->dlpi_phnum; i++) {
			const ElfW(Phdr)& header = info->dlpi_phdr[i];
			if (header.p_type != PT_LOAD)
				continue;
			const uintptr_t start = info->dlpi_addr + header.p_vaddr;
			const uintptr_t end = start + header.p_memsz;
			image.textStart = any ? std::min(image.textStart, start) : start;
			image.textEnd = any ? std::max(image.textEnd, end) : end;
			any = true;
			if (header.p_flags & PF_W) {
				image.dataStart = image.dataStart != 0 ? std::min(image.dataStart, start) : start;
				image.dataEnd = std::max(image.dataEnd, end);
			}
		}
		walk.images.push_back(std::move(image));
		return 0;
	}, &walk);
	return walk.images;
}

// The id of a loaded image; the table's lock is held.
image_id id_of(ImageTable& table, const LoadedImage& image, image_type* type)
{
	for (const auto& [id, addOn] : table.addOns) {
		if (addOn.base == image.base && addOn.path == image.path) {
			*type = B_ADD_ON_IMAGE;
			return id;
		}
	}
	auto key = std::make_pair(image.base, image.path);
	auto found = table.known.find(key);
	if (found != table.known.end())
		return found->second;
	const image_id id = table.nextId++;
	table.known[key] = id;
	return id;
}

void fill_info(const LoadedImage& image, image_id id, image_type type, int32 sequence,
	image_info* info)
{
	memset(info, 0, sizeof(*info));
	info->id = id;
	info->type = type;
	info->sequence = sequence;
	info->init_order = sequence;
	strncpy(info->name, image.path.c_str(), sizeof(info->name) - 1);
	struct stat st;
	if (stat(image.path.c_str(), &st) == 0) {
		info->device = st.st_dev;
		info->node = st.st_ino;
	}
	info->text = reinterpret_cast<void*>(image.textStart);
	info->text_size = (int32)std::min<uintptr_t>(image.textEnd - image.textStart, INT32_MAX);
	info->data = reinterpret_cast<void*>(image.dataStart);
	info->data_size = (int32)std::min<uintptr_t>(image.dataEnd - image.dataStart, INT32_MAX);
}

// Finds image `id` among the loaded ones; the table's lock is held.
bool find_image(ImageTable& table, image_id id, LoadedImage* found, image_type* type,
	int32* sequence)
{
	std::vector<LoadedImage> images = loaded_images(table);
	for (size_t i = 0; i < images.size(); i++) {
		image_type kind = i == 0 ? B_APP_IMAGE : B_LIBRARY_IMAGE;
		if (id_of(table, images[i], &kind) == id) {
			*found = images[i];
			*type = kind;
			*sequence = (int32)i;
			return true;
		}
	}
	return false;
}

status_t status_for_dlerror(const char* message)
{
	if (message == nullptr)
		return B_ERROR;
	if (strstr(message, "undefined symbol") != nullptr)
		return B_MISSING_SYMBOL;
	if (strstr(message, "cannot open shared object") != nullptr)
		return B_MISSING_LIBRARY;
	if (strstr(message, "invalid ELF header") != nullptr
		|| strstr(message, "file too short") != nullptr
		|| strstr(message, "wrong ELF class") != nullptr)
		return B_NOT_AN_EXECUTABLE;
	return B_ERROR;
}

// The dynamic symbol table of a loaded image.
struct SymbolTable {
	const ElfW(Sym)* symbols = nullptr;
	const char* strings = nullptr;
	uint32 count = 0;
};

uint32 count_gnu_hash_symbols(const uint32* hash)
{
	const uint32 bucketCount = hash[0];
	const uint32 symbolOffset = hash[1];
	const uint32 bloomSize = hash[2];
	const uint32* buckets = hash + 4 + bloomSize * (sizeof(ElfW(Addr)) / 4);
	const uint32* chains = buckets + bucketCount;
	uint32 last = 0;
	for (uint32 i = 0; i < bucketCount; i++)
		last = std::max(last, buckets[i]);
	if (last < symbolOffset)
		return symbolOffset;
	while ((chains[last - symbolOffset] & 1) == 0)
		last++;
	return last + 1;
}

SymbolTable symbol_table(const LoadedImage& image)
{
	SymbolTable table;
	for (int i = 0; i < image.headerCount; i++) {
		if (image.headers[i].p_type != PT_DYNAMIC)
			continue;
		// The dynamic linker has already relocated these addresses.
		auto* entry = reinterpret_cast<const ElfW(Dyn)*>(image.base + image.headers[i].p_vaddr);
		for (; entry->d_tag != DT_NULL; entry++) {
			switch (entry->d_tag) {
				case DT_SYMTAB:
					table.symbols = reinterpret_cast<const ElfW(Sym)*>(entry->d_un.d_ptr);
					break;
				case DT_STRTAB:
					table.strings = reinterpret_cast<const char*>(entry->d_un.d_ptr);
					break;
				case DT_HASH:
					table.count = reinterpret_cast<const uint32*>(entry->d_un.d_ptr)[1];
					break;
				case DT_GNU_HASH:
					if (table.count == 0) {
						table.count = count_gnu_hash_symbols(
							reinterpret_cast<const uint32*>(entry->d_un.d_ptr));
					}
					break;
			}
		}
	}
	if (table.symbols == nullptr || table.strings == nullptr)
		table.count = 0;
	return table;
}

}

image_id load_add_on(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	// A path, never a library name for the linker's search path.
	char resolved[PATH_MAX];
	if (realpath(path, resolved) == nullptr)
		return errno == ENOENT ? (status_t)B_ENTRY_NOT_FOUND : (status_t)B_ERROR;

	void* handle = dlopen(resolved, RTLD_NOW | RTLD_LOCAL);
	if (handle == nullptr)
		return status_for_dlerror(dlerror());
	link_map* map = nullptr;
	if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) {
		dlclose(handle);
		return B_ERROR;
	}
	ImageTable& table = ImageTable::Default();
	std::lock_guard<std::mutex> lock(table.lock);
	AddOn addOn;
	addOn.handle = handle;
	addOn.path = resolved;
	addOn.base = map->l_addr;
	const image_id id = table.nextId++;
	table.addOns[id] = addOn;
	return id;
}

status_t unload_add_on(image_id image)
{
	void* handle;
	{
		ImageTable& table = ImageTable::Default();
		std::lock_guard<std::mutex> lock(table.lock);
		auto found = table.addOns.find(image);
		if (found == table.addOns.end())
			return B_BAD_IMAGE_ID;
		handle = found->second.handle;
		table.addOns.erase(found);
	}
	return dlclose(handle) == 0 ? B_OK : B_ERROR;
}

status_t get_image_symbol(image_id image, const char* name, int32 symbolType,
	void** symbolLocation)
{
	(void)symbolType;  // the dynamic linker does not tell code from data
	if (name == nullptr || symbolLocation == nullptr)
		return B_BAD_VALUE;
	ImageTable& table = ImageTable::Default();
	std::lock_guard<std::mutex> lock(table.lock);

	void* handle = nullptr;
	bool borrowed = false;
	auto addOn = table.addOns.find(image);
	if (addOn != table.addOns.end()) {
		handle = addOn->second.handle;
	} else {
		LoadedImage loaded;
		image_type type;
		int32 sequence;
		if (!find_image(table, image, &loaded, &type, &sequence))
			return B_BAD_IMAGE_ID;
		handle = type == B_APP_IMAGE ? dlopen(nullptr, RTLD_LAZY)
			: dlopen(loaded.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
		if (handle == nullptr)
			return B_BAD_IMAGE_ID;
		borrowed = true;
	}
	dlerror();
	void* symbol = dlsym(handle, name);
	const bool found = dlerror() == nullptr;
	if (borrowed)
		dlclose(handle);
	if (!found)
		return B_ENTRY_NOT_FOUND;
	*symbolLocation = symbol;
	return B_OK;
}

status_t get_nth_image_symbol(image_id image, int32 n, char* nameBuffer,
	int32* nameLength, int32* symbolType, void** symbolLocation)
{
	if (n < 0 || nameBuffer == nullptr || nameLength == nullptr || *nameLength <= 0)
		return B_BAD_VALUE;
	ImageTable& table = ImageTable::Default();
	std::lock_guard<std::mutex> lock(table.lock);
	LoadedImage loaded;
	image_type type;
	int32 sequence;
	if (!find_image(table, image, &loaded, &type, &sequence))
		return B_BAD_IMAGE_ID;

	// Counts the symbols the image defines, functions and data only.
	SymbolTable symbols = symbol_table(loaded);
	int32 index = 0;
	for (uint32 i = 0; i < symbols.count; i++) {
		const ElfW(Sym)& symbol = symbols.symbols[i];
		const int kind = symbol.st_info & 0xf;  // the symbol type, as ELF*_ST_TYPE
		if (symbol.st_shndx == SHN_UNDEF || (kind != STT_FUNC && kind != STT_OBJECT))
			continue;
		if (index++ != n)
			continue;
		const char* name = symbols.strings + symbol.st_name;
		const size_t length = strlen(name);
		const size_t copied = std::min<size_t>(length, *nameLength - 1);
		memcpy(nameBuffer, name, copied);
		nameBuffer[copied] = '\0';
		*nameLength = (int32)length + 1;
		if (symbolType != nullptr)
			*symbolType = kind == STT_FUNC ? (int32)B_SYMBOL_TYPE_TEXT : (int32)B_SYMBOL_TYPE_DATA;
		if (symbolLocation != nullptr)
			*symbolLocation = reinterpret_cast<void*>(loaded.base + symbol.st_value);
		return B_OK;
	}
	return B_BAD_INDEX;
}

status_t get_next_image_info(team_id team, int32* cookie, image_info* info)
{
	if (cookie == nullptr || info == nullptr || *cookie < 0)
		return B_BAD_VALUE;
	if (team != B_CURRENT_TEAM && team != getpid())
		return B_BAD_TEAM_ID;
	ImageTable& table = ImageTable::Default();
	std::lock_guard<std::mutex> lock(table.lock);
	std::vector<LoadedImage> images = loaded_images(table);
	if ((size_t)*cookie >= images.size())
		return B_BAD_VALUE;
	const LoadedImage& image = images[*cookie];
	image_type type = *cookie == 0 ? B_APP_IMAGE : B_LIBRARY_IMAGE;
	const image_id id = id_of(table, image, &type);
	fill_info(image, id, type, *cookie, info);
	++*cookie;
	return B_OK;
}

status_t get_image_info(image_id image, image_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	ImageTable& table = ImageTable::Default();
	std::lock_guard<std::mutex> lock(table.lock);
	LoadedImage loaded;
	image_type type;
	int32 sequence;
	if (!find_image(table, image, &loaded, &type, &sequence))
		return B_BAD_IMAGE_ID;
	fill_info(loaded, image, type, sequence, info);
	return B_OK;
}
