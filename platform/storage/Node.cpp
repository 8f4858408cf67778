#include <Node.h>

#include <Directory.h>
#include <Entry.h>
#include <String.h>
#include <TypeConstants.h>

#include "storage/PathUtil.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/xattr.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>

using namespace BPrivate;

// Attributes are "user." extended attributes; their type codes are kept in
// a companion attribute, hidden from the listing.
static const char kUserPrefix[] = "user.";
static const char kTypePrefix[] = "user.be:type:";
static const size_t kXattrNameMax = 255;

// ---- node_ref

node_ref::node_ref()
	: device(0), node(0)
{
}

node_ref::node_ref(dev_t dev, ino_t ino)
	: device(dev), node(ino)
{
}

node_ref::node_ref(const node_ref& ref)
	: device(ref.device), node(ref.node)
{
}

bool node_ref::operator==(const node_ref& ref) const
{
	return short_dev(device) == short_dev(ref.device) && node == ref.node;
}

bool node_ref::operator!=(const node_ref& ref) const
{
	return !(*this == ref);
}

bool node_ref::operator<(const node_ref& ref) const
{
	if (short_dev(device) != short_dev(ref.device))
		return short_dev(device) < short_dev(ref.device);
	return node < ref.node;
}

node_ref& node_ref::operator=(const node_ref& ref)
{
	device = ref.device;
	node = ref.node;
	return *this;
}

// ---- BNode

BNode::BNode()
	: fFd(-1), fCStatus(B_NO_INIT), fAttrCursor(0), fAttrListed(false), fPathOnly(false)
{
}

BNode::BNode(const entry_ref* ref)
	: BNode()
{
	SetTo(ref);
}

BNode::BNode(const BEntry* entry)
	: BNode()
{
	SetTo(entry);
}

BNode::BNode(const char* path)
	: BNode()
{
	SetTo(path);
}

BNode::BNode(const BDirectory* dir, const char* path)
	: BNode()
{
	SetTo(dir, path);
}

BNode::BNode(const BNode& node)
	: BStatable(), fFd(-1), fCStatus(B_NO_INIT), fAttrCursor(0), fAttrListed(false),
	  fPathOnly(false)
{
	*this = node;
}

BNode::~BNode()
{
	close_fd();
}

status_t BNode::InitCheck() const
{
	return fCStatus;
}

status_t BNode::GetStat(struct stat* st) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (st == nullptr)
		return B_BAD_VALUE;
	if (fstat(fFd, st) != 0)
		return errno_status();
	return B_OK;
}

void BNode::close_fd()
{
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
	fCStatus = B_NO_INIT;
	fPathOnly = false;
	fAttrNames.clear();
	fAttrCursor = 0;
	fAttrListed = false;
}

status_t BNode::open_path(const char* path, int openMode, mode_t perms)
{
	close_fd();
	if (path == nullptr || path[0] == '\0')
		return fCStatus = B_BAD_VALUE;
	int fd = open(path, openMode | O_CLOEXEC, perms);
	if (fd < 0)
		return fCStatus = errno_status();
	fFd = fd;
	return fCStatus = B_OK;
}

// A plain node is opened for reading where that is allowed, else by path
// alone (a node without read permission can still be looked at).
static int open_node(const char* path, bool* pathOnly)
{
	*pathOnly = false;
	int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
	if (fd < 0 && (errno == EACCES || errno == EPERM || errno == ENXIO)) {
		fd = open(path, O_PATH | O_CLOEXEC);
		*pathOnly = fd >= 0;
	}
	return fd;
}

status_t BNode::SetTo(const char* path)
{
	close_fd();
	if (path == nullptr || path[0] == '\0')
		return fCStatus = B_BAD_VALUE;
	bool pathOnly;
	int fd = open_node(path, &pathOnly);
	if (fd < 0)
		return fCStatus = errno_status();
	fFd = fd;
	fPathOnly = pathOnly;
	return fCStatus = B_OK;
}

status_t BNode::SetTo(const entry_ref* ref)
{
	close_fd();
	if (ref == nullptr)
		return fCStatus = B_BAD_VALUE;
	std::string path;
	status_t status = path_for_ref(*ref, &path);
	if (status != B_OK)
		return fCStatus = status;
	return SetTo(path.c_str());
}

status_t BNode::SetTo(const BEntry* entry)
{
	close_fd();
	if (entry == nullptr || entry->InitCheck() != B_OK)
		return fCStatus = B_BAD_VALUE;
	entry_ref ref;
	status_t status = entry->GetRef(&ref);
	if (status != B_OK)
		return fCStatus = status;
	return SetTo(&ref);
}

status_t BNode::SetTo(const BDirectory* dir, const char* path)
{
	close_fd();
	if (dir == nullptr || path == nullptr || dir->InitCheck() != B_OK)
		return fCStatus = B_BAD_VALUE;
	std::string full = path[0] == '/' ? std::string(path) : join_path(dir->PathName(), path);
	return SetTo(full.c_str());
}

void BNode::Unset()
{
	close_fd();
}

status_t BNode::Lock()
{
	return fCStatus != B_OK ? (status_t)B_NO_INIT : (status_t)B_UNSUPPORTED;
}

status_t BNode::Unlock()
{
	return fCStatus != B_OK ? (status_t)B_NO_INIT : (status_t)B_UNSUPPORTED;
}

status_t BNode::Sync()
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (fPathOnly)
		return B_OK;
	if (fsync(fFd) != 0 && errno != EINVAL)
		return errno_status();
	return B_OK;
}

int BNode::Dup()
{
	if (fCStatus != B_OK)
		return -1;
	return fcntl(fFd, F_DUPFD_CLOEXEC, 0);
}

// ---- Attributes

namespace {

// Extended-attribute calls on a node's descriptor. A descriptor opened by
// path alone cannot carry them, so it is reached through /proc instead.
class XattrTarget {
public:
	XattrTarget(int fd, bool pathOnly) : fFd(fd), fPathOnly(pathOnly)
	{
		if (pathOnly)
			snprintf(fProcPath, sizeof(fProcPath), "/proc/self/fd/%d", fd);
	}
	ssize_t Get(const char* name, void* value, size_t size) const
	{
		return fPathOnly ? getxattr(fProcPath, name, value, size)
		                 : fgetxattr(fFd, name, value, size);
	}
	int Set(const char* name, const void* value, size_t size) const
	{
		return fPathOnly ? setxattr(fProcPath, name, value, size, 0)
		                 : fsetxattr(fFd, name, value, size, 0);
	}
	int Remove(const char* name) const
	{
		return fPathOnly ? removexattr(fProcPath, name) : fremovexattr(fFd, name);
	}
	ssize_t List(char* list, size_t size) const
	{
		return fPathOnly ? listxattr(fProcPath, list, size) : flistxattr(fFd, list, size);
	}
private:
	int fFd;
	bool fPathOnly;
	char fProcPath[64];
};

// Reads a whole attribute; the value may grow between the two calls.
status_t read_xattr(const XattrTarget& target, const std::string& name,
                    std::vector<uint8>* value)
{
	for (int attempt = 0; attempt < 8; attempt++) {
		ssize_t size = target.Get(name.c_str(), nullptr, 0);
		if (size < 0)
			return errno_status();
		value->resize((size_t)size);
		ssize_t read = target.Get(name.c_str(), value->data(), value->size());
		if (read >= 0) {
			value->resize((size_t)read);
			return B_OK;
		}
		if (errno != ERANGE)
			return errno_status();
	}
	return B_ERROR;
}

status_t check_attr_name(const char* name)
{
	if (name == nullptr || name[0] == '\0')
		return B_BAD_VALUE;
	if (strlen(name) + sizeof(kUserPrefix) - 1 > kXattrNameMax)
		return B_NAME_TOO_LONG;
	return B_OK;
}

std::string type_attr_name(const char* name)
{
	return std::string(kTypePrefix) + name;
}

}

ssize_t BNode::WriteAttr(const char* name, type_code type, off_t offset,
                         const void* buffer, size_t length)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	status_t status = check_attr_name(name);
	if (status != B_OK)
		return status;
	if ((buffer == nullptr && length > 0) || offset < 0)
		return B_BAD_VALUE;

	XattrTarget target(fFd, fPathOnly);
	std::string xname = std::string(kUserPrefix) + name;
	std::vector<uint8> value;
	if (offset > 0) {
		// Writing inside an attribute keeps the bytes around the written part.
		status = read_xattr(target, xname, &value);
		if (status != B_OK && status != B_ENTRY_NOT_FOUND)
			return status;
		if (value.size() < (size_t)offset + length)
			value.resize((size_t)offset + length);
	} else {
		value.resize(length);
	}
	if (length > 0)
		memcpy(value.data() + offset, buffer, length);
	if (target.Set(xname.c_str(), value.data(), value.size()) != 0)
		return errno_status();

	// The type code beside it; a name too long to carry one reads as raw.
	std::string tname = type_attr_name(name);
	if (tname.size() <= kXattrNameMax) {
		uint8 code[4] = {(uint8)type, (uint8)(type >> 8), (uint8)(type >> 16),
		                 (uint8)(type >> 24)};
		if (target.Set(tname.c_str(), code, sizeof(code)) != 0)
			return errno_status();
	}
	return (ssize_t)length;
}

ssize_t BNode::ReadAttr(const char* name, type_code, off_t offset, void* buffer,
                        size_t length) const
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	status_t status = check_attr_name(name);
	if (status != B_OK)
		return status;
	if ((buffer == nullptr && length > 0) || offset < 0)
		return B_BAD_VALUE;
	std::vector<uint8> value;
	status = read_xattr(XattrTarget(fFd, fPathOnly), std::string(kUserPrefix) + name, &value);
	if (status != B_OK)
		return status;
	if ((size_t)offset >= value.size())
		return 0;
	size_t count = std::min(length, value.size() - (size_t)offset);
	memcpy(buffer, value.data() + offset, count);
	return (ssize_t)count;
}

status_t BNode::RemoveAttr(const char* name)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	status_t status = check_attr_name(name);
	if (status != B_OK)
		return status;
	XattrTarget target(fFd, fPathOnly);
	if (target.Remove((std::string(kUserPrefix) + name).c_str()) != 0)
		return errno_status();
	std::string tname = type_attr_name(name);
	if (tname.size() <= kXattrNameMax)
		target.Remove(tname.c_str());
	return B_OK;
}

status_t BNode::RenameAttr(const char* oldName, const char* newName)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	status_t status = check_attr_name(oldName);
	if (status == B_OK)
		status = check_attr_name(newName);
	if (status != B_OK)
		return status;
	if (strcmp(oldName, newName) == 0)
		return B_OK;
	attr_info info;
	status = GetAttrInfo(oldName, &info);
	if (status != B_OK)
		return status;
	std::vector<uint8> value;
	status = read_xattr(XattrTarget(fFd, fPathOnly), std::string(kUserPrefix) + oldName, &value);
	if (status != B_OK)
		return status;
	ssize_t written = WriteAttr(newName, info.type, 0, value.data(), value.size());
	if (written < 0)
		return (status_t)written;
	return RemoveAttr(oldName);
}

status_t BNode::GetAttrInfo(const char* name, attr_info* info) const
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	status_t status = check_attr_name(name);
	if (status != B_OK)
		return status;
	if (info == nullptr)
		return B_BAD_VALUE;
	XattrTarget target(fFd, fPathOnly);
	ssize_t size = target.Get((std::string(kUserPrefix) + name).c_str(), nullptr, 0);
	if (size < 0)
		return errno_status();
	info->size = size;
	info->type = B_RAW_TYPE;
	std::string tname = type_attr_name(name);
	uint8 code[4];
	if (tname.size() <= kXattrNameMax
	    && target.Get(tname.c_str(), code, sizeof(code)) == (ssize_t)sizeof(code)) {
		info->type = (uint32)code[0] | (uint32)code[1] << 8 | (uint32)code[2] << 16
		             | (uint32)code[3] << 24;
	}
	return B_OK;
}

status_t BNode::GetNextAttrName(char* buffer)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (!fAttrListed) {
		// The names are taken once per pass, so that a pass sees each
		// attribute once even while attributes are being written.
		XattrTarget target(fFd, fPathOnly);
		std::vector<char> list;
		for (int attempt = 0; ; attempt++) {
			ssize_t size = target.List(nullptr, 0);
			if (size < 0)
				return errno_status();
			list.resize((size_t)size);
			ssize_t got = target.List(list.data(), list.size());
			if (got >= 0) {
				list.resize((size_t)got);
				break;
			}
			if (errno != ERANGE || attempt >= 8)
				return errno_status();
		}
		fAttrNames.clear();
		for (size_t i = 0; i < list.size(); ) {
			const char* name = list.data() + i;
			size_t n = strnlen(name, list.size() - i);
			if (strncmp(name, kUserPrefix, sizeof(kUserPrefix) - 1) == 0
			    && strncmp(name, kTypePrefix, sizeof(kTypePrefix) - 1) != 0)
				fAttrNames.emplace_back(name + sizeof(kUserPrefix) - 1, n - (sizeof(kUserPrefix) - 1));
			i += n + 1;
		}
		fAttrCursor = 0;
		fAttrListed = true;
	}
	if (fAttrCursor >= fAttrNames.size()) {
		buffer[0] = '\0';
		return B_ENTRY_NOT_FOUND;
	}
	const std::string& name = fAttrNames[fAttrCursor++];
	size_t n = std::min(name.size(), (size_t)B_ATTR_NAME_LENGTH - 1);
	memcpy(buffer, name.c_str(), n);
	buffer[n] = '\0';
	return B_OK;
}

status_t BNode::RewindAttrs()
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	fAttrListed = false;
	fAttrNames.clear();
	fAttrCursor = 0;
	return B_OK;
}

status_t BNode::WriteAttrString(const char* name, const BString* data)
{
	if (data == nullptr)
		return B_BAD_VALUE;
	ssize_t written = WriteAttr(name, B_STRING_TYPE, 0, data->String(),
	                            (size_t)data->Length() + 1);
	return written < 0 ? (status_t)written : B_OK;
}

status_t BNode::ReadAttrString(const char* name, BString* result) const
{
	if (result == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	status_t status = check_attr_name(name);
	if (status != B_OK)
		return status;
	std::vector<uint8> value;
	status = read_xattr(XattrTarget(fFd, fPathOnly), std::string(kUserPrefix) + name, &value);
	if (status != B_OK)
		return status;
	size_t length = strnlen((const char*)value.data(), value.size());
	result->SetTo((const char*)value.data(), (int32)length);
	return B_OK;
}

// ---- Comparison, assignment, stat changes

bool BNode::operator==(const BNode& node) const
{
	if (fCStatus != B_OK || node.fCStatus != B_OK)
		return fCStatus != B_OK && node.fCStatus != B_OK;
	node_ref a, b;
	return GetNodeRef(&a) == B_OK && node.GetNodeRef(&b) == B_OK && a == b;
}

bool BNode::operator!=(const BNode& node) const
{
	return !(*this == node);
}

BNode& BNode::operator=(const BNode& node)
{
	if (this == &node)
		return *this;
	close_fd();
	if (node.fCStatus == B_OK) {
		fFd = fcntl(node.fFd, F_DUPFD_CLOEXEC, 0);
		fPathOnly = node.fPathOnly;
		fCStatus = fFd >= 0 ? B_OK : errno_status();
	}
	return *this;
}

status_t BNode::set_stat(const struct stat& st, uint32 what)
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	char procPath[64];
	snprintf(procPath, sizeof(procPath), "/proc/self/fd/%d", fFd);
	if (what & B_STAT_MODE) {
		int result = fPathOnly ? chmod(procPath, st.st_mode & 07777)
		                       : fchmod(fFd, st.st_mode & 07777);
		if (result != 0)
			return errno_status();
	}
	if (what & (B_STAT_UID | B_STAT_GID)) {
		uid_t uid = (what & B_STAT_UID) ? st.st_uid : (uid_t)-1;
		gid_t gid = (what & B_STAT_GID) ? st.st_gid : (gid_t)-1;
		int result = fPathOnly ? chown(procPath, uid, gid) : fchown(fFd, uid, gid);
		if (result != 0)
			return errno_status();
	}
	if (what & (B_STAT_ACCESS_TIME | B_STAT_MODIFICATION_TIME)) {
		struct timespec times[2];
		times[0].tv_sec = st.st_atime;
		times[0].tv_nsec = (what & B_STAT_ACCESS_TIME) ? 0 : UTIME_OMIT;
		times[1].tv_sec = st.st_mtime;
		times[1].tv_nsec = (what & B_STAT_MODIFICATION_TIME) ? 0 : UTIME_OMIT;
		int result = fPathOnly ? utimensat(AT_FDCWD, procPath, times, 0)
		                       : futimens(fFd, times);
		if (result != 0)
			return errno_status();
	}
	return B_OK;
}

status_t BNode::get_node_path(std::string* path) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	// The kernel knows where the open node is now, even after a rename.
	char procPath[64];
	char target[PATH_MAX];
	snprintf(procPath, sizeof(procPath), "/proc/self/fd/%d", fFd);
	ssize_t length = readlink(procPath, target, sizeof(target) - 1);
	if (length <= 0 || target[0] != '/')
		return B_ENTRY_NOT_FOUND;
	target[length] = '\0';
	*path = target;
	// A removed node reads as "<path> (deleted)"; it has no path any more.
	struct stat byPath, byFd;
	if (lstat(target, &byPath) != 0 || fstat(fFd, &byFd) != 0
	    || byPath.st_ino != byFd.st_ino || byPath.st_dev != byFd.st_dev)
		return B_ENTRY_NOT_FOUND;
	return B_OK;
}
