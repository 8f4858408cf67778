#include <File.h>

#include <Directory.h>
#include <Entry.h>
#include <Path.h>

#include "storage/PathUtil.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;

static const uint32 kOpenFlags = O_ACCMODE | O_CREAT | O_EXCL | O_TRUNC | O_APPEND;

BFile::BFile()
	: fMode(0)
{
}

BFile::BFile(const BFile& file)
	: BNode(), BPositionIO(), fMode(0)
{
	*this = file;
}

BFile::BFile(const entry_ref* ref, uint32 openMode)
	: fMode(0)
{
	SetTo(ref, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode)
	: fMode(0)
{
	SetTo(entry, openMode);
}

BFile::BFile(const char* path, uint32 openMode)
	: fMode(0)
{
	SetTo(path, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode)
	: fMode(0)
{
	SetTo(dir, path, openMode);
}

BFile::~BFile()
{
}

status_t BFile::SetTo(const char* path, uint32 openMode)
{
	Unset();
	if (path == nullptr || path[0] == '\0')
		return fCStatus = B_BAD_VALUE;
	uint32 flags = openMode & kOpenFlags;
	// Emptying a file that is opened only for reading would lose its data
	// for nothing; the request is refused instead.
	if ((flags & O_TRUNC) && (flags & O_ACCMODE) == O_RDONLY)
		return fCStatus = B_BAD_VALUE;
	status_t status = open_path(path, (int)flags, 0644);
	if (status != B_OK)
		return status;
	struct stat st;
	if (fstat(fFd, &st) != 0) {
		status = errno_status();
		Unset();
		return fCStatus = status;
	}
	if (S_ISDIR(st.st_mode)) {
		Unset();
		return fCStatus = B_IS_A_DIRECTORY;
	}
	fMode = flags;
	return B_OK;
}

status_t BFile::SetTo(const entry_ref* ref, uint32 openMode)
{
	Unset();
	if (ref == nullptr)
		return fCStatus = B_BAD_VALUE;
	std::string path;
	status_t status = path_for_ref(*ref, &path);
	if (status != B_OK)
		return fCStatus = status;
	return SetTo(path.c_str(), openMode);
}

status_t BFile::SetTo(const BEntry* entry, uint32 openMode)
{
	Unset();
	if (entry == nullptr || entry->InitCheck() != B_OK)
		return fCStatus = B_BAD_VALUE;
	BPath path;
	status_t status = entry->GetPath(&path);
	if (status != B_OK)
		return fCStatus = status;
	return SetTo(path.Path(), openMode);
}

status_t BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode)
{
	Unset();
	if (dir == nullptr || path == nullptr || dir->InitCheck() != B_OK)
		return fCStatus = B_BAD_VALUE;
	std::string full = path[0] == '/' ? std::string(path) : join_path(dir->PathName(), path);
	return SetTo(full.c_str(), openMode);
}

void BFile::Unset()
{
	BNode::Unset();
	fMode = 0;
}

bool BFile::IsReadable() const
{
	return fCStatus == B_OK && ((fMode & O_ACCMODE) == O_RDONLY || (fMode & O_ACCMODE) == O_RDWR);
}

bool BFile::IsWritable() const
{
	return fCStatus == B_OK && ((fMode & O_ACCMODE) == O_WRONLY || (fMode & O_ACCMODE) == O_RDWR);
}

ssize_t BFile::Read(void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	ssize_t result = read(fFd, buffer, size);
	return result < 0 ? errno_status() : result;
}

ssize_t BFile::ReadAt(off_t pos, void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (pos < 0)
		return B_BAD_VALUE;
	ssize_t result = pread(fFd, buffer, size, pos);
	return result < 0 ? errno_status() : result;
}

ssize_t BFile::Write(const void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	ssize_t result = write(fFd, buffer, size);
	return result < 0 ? errno_status() : result;
}

ssize_t BFile::WriteAt(off_t pos, const void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (pos < 0)
		return B_BAD_VALUE;
	ssize_t result = pwrite(fFd, buffer, size, pos);
	return result < 0 ? errno_status() : result;
}

off_t BFile::Seek(off_t position, uint32 seekMode)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (seekMode != SEEK_SET && seekMode != SEEK_CUR && seekMode != SEEK_END)
		return B_BAD_VALUE;
	off_t result = lseek(fFd, position, (int)seekMode);
	return result < 0 ? errno_status() : result;
}

off_t BFile::Position() const
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	off_t result = lseek(fFd, 0, SEEK_CUR);
	return result < 0 ? errno_status() : result;
}

status_t BFile::SetSize(off_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (size < 0)
		return B_BAD_VALUE;
	if (!IsWritable())
		return B_PERMISSION_DENIED;
	if (ftruncate(fFd, size) != 0)
		return errno_status();
	return B_OK;
}

status_t BFile::GetSize(off_t* size) const
{
	return BStatable::GetSize(size);
}

BFile& BFile::operator=(const BFile& file)
{
	if (this != &file) {
		BNode::operator=(file);
		fMode = fCStatus == B_OK ? file.fMode : 0;
	}
	return *this;
}
