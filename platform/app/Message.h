// BMessage: a command code (`what`) and named fields of typed data.
//
// A field holds one or more items of one type code. Fixed-size fields keep
// items of equal size (numbers, points, rects, pointers, messengers);
// variable-size fields keep items of any size (strings, nested messages,
// entry_refs, raw data added with isFixedSize false).
//
// Ownership: a BMessage owns its fields and copies whatever is added to it
// (strings, nested messages, data). Pointers returned by FindString and
// FindData point into the message and stay valid until that field changes
// or the message is deleted. Nested messages, messengers and entry_refs are
// stored flattened and rebuilt by the Find calls.
//
// Delivery state (who sent it, who waits for a reply) belongs to a message
// that was delivered by a looper or a messenger. Copying a message copies
// its `what` and fields, never its delivery state. When a message whose
// sender waits for a reply is deleted without having been answered, the
// sender receives a B_NO_REPLY message, so that it never waits in vain.
//
// Find calls leave their destination untouched when they fail:
// B_NAME_NOT_FOUND for a missing field, B_BAD_TYPE for a field of another
// type, B_BAD_INDEX for an index past the field's items.
#ifndef _MESSAGE_H
#define _MESSAGE_H

#include <AppDefs.h>
#include <OS.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>
#include <TypeConstants.h>

class BDataIO;
class BFlattenable;
class BHandler;
class BMessenger;
class BString;
struct entry_ref;

namespace BPrivate {
struct MessageData;
struct MessageDelivery;
class MessageAccess;
}

// Name lengths of fields and scripting properties.
#define B_FIELD_NAME_LENGTH    255
#define B_PROPERTY_NAME_LENGTH 255

// Forms of scripting specifiers.
enum {
	B_NO_SPECIFIER = 0,
	B_DIRECT_SPECIFIER = 1,
	B_INDEX_SPECIFIER,
	B_REVERSE_INDEX_SPECIFIER,
	B_RANGE_SPECIFIER,
	B_REVERSE_RANGE_SPECIFIER,
	B_NAME_SPECIFIER,
	B_ID_SPECIFIER,

	B_SPECIFIERS_END = 128
	// Application-defined specifier forms start here.
};

class BMessage {
public:
	uint32 what;

	BMessage();
	BMessage(uint32 what);
	BMessage(const BMessage& message);
	virtual ~BMessage();

	BMessage& operator=(const BMessage& message);

	// ---- Information about fields

	// The `index`th field holding `type` (B_ANY_TYPE: any field), with its
	// name (pointing into the message), type and item count.
	status_t GetInfo(type_code type, int32 index, char** nameFound,
	                 type_code* typeFound, int32* countFound = NULL) const;
	status_t GetInfo(type_code type, int32 index, const char** nameFound,
	                 type_code* typeFound, int32* countFound = NULL) const;
	status_t GetInfo(const char* name, type_code* typeFound,
	                 int32* countFound = NULL) const;
	status_t GetInfo(const char* name, type_code* typeFound,
	                 bool* fixedSize) const;

	// Number of fields holding `type` (B_ANY_TYPE: all fields).
	int32 CountNames(type_code type) const;
	bool IsEmpty() const;
	// True for the platform's own codes: '_' followed by three upper-case
	// letters.
	bool IsSystem() const;
	bool IsReply() const;
	void PrintToStream() const;

	status_t Rename(const char* oldName, const char* newName);

	// ---- Delivery information

	bool WasDelivered() const;
	// The sender is blocked in a synchronous send, waiting for the reply.
	bool IsSourceWaiting() const;
	// The message came from another process.
	bool IsSourceRemote() const;
	// Where a reply goes; invalid when no reply is possible.
	BMessenger ReturnAddress() const;
	// For a reply: the message it answers (NULL otherwise).
	const BMessage* Previous() const;
	bool WasDropped() const;
	BPoint DropPoint(BPoint* offset = NULL) const;

	// ---- Replying

	// Answers this message. Only one reply is possible: a second one fails
	// with B_DUPLICATE_REPLY; a message that cannot be answered (no sender
	// waits and no reply target was given) fails with B_BAD_REPLY.
	status_t SendReply(uint32 command, BHandler* replyTo = NULL);
	status_t SendReply(BMessage* reply, BHandler* replyTo = NULL,
	                   bigtime_t timeout = B_INFINITE_TIMEOUT);
	status_t SendReply(BMessage* reply, BMessenger replyTo,
	                   bigtime_t timeout = B_INFINITE_TIMEOUT);
	// Answers and waits for the answer to the reply.
	status_t SendReply(uint32 command, BMessage* replyToReply);
	status_t SendReply(BMessage* reply, BMessage* replyToReply,
	                   bigtime_t sendTimeout = B_INFINITE_TIMEOUT,
	                   bigtime_t replyTimeout = B_INFINITE_TIMEOUT);

	// ---- The flattened form (the platform's message format, little-endian)

	ssize_t FlattenedSize() const;
	status_t Flatten(char* buffer, ssize_t size) const;
	status_t Flatten(BDataIO* stream, ssize_t* size = NULL) const;
	// Replaces `what` and every field. B_NOT_A_MESSAGE when the data is not
	// a flattened message, B_BAD_VALUE when it is damaged. The buffer form
	// trusts the size recorded in the data; prefer the stream form, or
	// check the size first, for data from outside.
	status_t Unflatten(const char* buffer);
	status_t Unflatten(BDataIO* stream);

	// ---- Scripting specifiers
	//
	// Specifiers are kept as nested messages in the field "specifiers";
	// the current one is the last added that has not been popped.

	status_t AddSpecifier(const char* property);
	status_t AddSpecifier(const char* property, int32 index);
	status_t AddSpecifier(const char* property, int32 index, int32 range);
	status_t AddSpecifier(const char* property, const char* name);
	status_t AddSpecifier(const BMessage* specifier);
	status_t SetCurrentSpecifier(int32 index);
	status_t GetCurrentSpecifier(int32* index, BMessage* specifier = NULL,
	                             int32* form = NULL,
	                             const char** property = NULL) const;
	bool HasSpecifiers() const;
	status_t PopSpecifier();

	// ---- Adding data

	status_t AddRect(const char* name, BRect rect);
	status_t AddPoint(const char* name, BPoint point);
	status_t AddString(const char* name, const char* string);
	status_t AddString(const char* name, const BString& string);
	status_t AddInt8(const char* name, int8 value);
	status_t AddInt16(const char* name, int16 value);
	status_t AddInt32(const char* name, int32 value);
	status_t AddInt64(const char* name, int64 value);
	status_t AddBool(const char* name, bool value);
	status_t AddFloat(const char* name, float value);
	status_t AddDouble(const char* name, double value);
	status_t AddPointer(const char* name, const void* pointer);
	status_t AddMessenger(const char* name, BMessenger messenger);
	status_t AddRef(const char* name, const entry_ref* ref);
	status_t AddMessage(const char* name, const BMessage* message);
	status_t AddFlat(const char* name, BFlattenable* object, int32 count = 1);
	// Adds `numBytes` bytes as one item. A field's first item fixes its type
	// and whether it is fixed-size; later items must match both (B_BAD_TYPE
	// otherwise) and, in a fixed-size field, have the same size (B_BAD_VALUE
	// otherwise). `count` is a hint of how many items will follow.
	status_t AddData(const char* name, type_code type, const void* data,
	                 ssize_t numBytes, bool isFixedSize = true, int32 count = 1);

	// ---- Removing data

	status_t RemoveData(const char* name, int32 index = 0);
	status_t RemoveName(const char* name);
	status_t MakeEmpty();

	// ---- Finding data

	status_t FindRect(const char* name, BRect* rect) const;
	status_t FindRect(const char* name, int32 index, BRect* rect) const;
	status_t FindPoint(const char* name, BPoint* point) const;
	status_t FindPoint(const char* name, int32 index, BPoint* point) const;
	status_t FindString(const char* name, const char** string) const;
	status_t FindString(const char* name, int32 index, const char** string) const;
	status_t FindString(const char* name, BString* string) const;
	status_t FindString(const char* name, int32 index, BString* string) const;
	status_t FindInt8(const char* name, int8* value) const;
	status_t FindInt8(const char* name, int32 index, int8* value) const;
	status_t FindInt16(const char* name, int16* value) const;
	status_t FindInt16(const char* name, int32 index, int16* value) const;
	status_t FindInt32(const char* name, int32* value) const;
	status_t FindInt32(const char* name, int32 index, int32* value) const;
	status_t FindInt64(const char* name, int64* value) const;
	status_t FindInt64(const char* name, int32 index, int64* value) const;
	status_t FindBool(const char* name, bool* value) const;
	status_t FindBool(const char* name, int32 index, bool* value) const;
	status_t FindFloat(const char* name, float* value) const;
	status_t FindFloat(const char* name, int32 index, float* value) const;
	status_t FindDouble(const char* name, double* value) const;
	status_t FindDouble(const char* name, int32 index, double* value) const;
	status_t FindPointer(const char* name, void** pointer) const;
	status_t FindPointer(const char* name, int32 index, void** pointer) const;
	status_t FindMessenger(const char* name, BMessenger* messenger) const;
	status_t FindMessenger(const char* name, int32 index, BMessenger* messenger) const;
	status_t FindRef(const char* name, entry_ref* ref) const;
	status_t FindRef(const char* name, int32 index, entry_ref* ref) const;
	status_t FindMessage(const char* name, BMessage* message) const;
	status_t FindMessage(const char* name, int32 index, BMessage* message) const;
	status_t FindFlat(const char* name, BFlattenable* object) const;
	status_t FindFlat(const char* name, int32 index, BFlattenable* object) const;
	// B_ANY_TYPE finds the field whatever its type.
	status_t FindData(const char* name, type_code type, const void** data,
	                  ssize_t* numBytes) const;
	status_t FindData(const char* name, type_code type, int32 index,
	                  const void** data, ssize_t* numBytes) const;

	// ---- Replacing data (the item must exist and have the same type)

	status_t ReplaceRect(const char* name, BRect rect);
	status_t ReplaceRect(const char* name, int32 index, BRect rect);
	status_t ReplacePoint(const char* name, BPoint point);
	status_t ReplacePoint(const char* name, int32 index, BPoint point);
	status_t ReplaceString(const char* name, const char* string);
	status_t ReplaceString(const char* name, int32 index, const char* string);
	status_t ReplaceString(const char* name, const BString& string);
	status_t ReplaceString(const char* name, int32 index, const BString& string);
	status_t ReplaceInt8(const char* name, int8 value);
	status_t ReplaceInt8(const char* name, int32 index, int8 value);
	status_t ReplaceInt16(const char* name, int16 value);
	status_t ReplaceInt16(const char* name, int32 index, int16 value);
	status_t ReplaceInt32(const char* name, int32 value);
	status_t ReplaceInt32(const char* name, int32 index, int32 value);
	status_t ReplaceInt64(const char* name, int64 value);
	status_t ReplaceInt64(const char* name, int32 index, int64 value);
	status_t ReplaceBool(const char* name, bool value);
	status_t ReplaceBool(const char* name, int32 index, bool value);
	status_t ReplaceFloat(const char* name, float value);
	status_t ReplaceFloat(const char* name, int32 index, float value);
	status_t ReplaceDouble(const char* name, double value);
	status_t ReplaceDouble(const char* name, int32 index, double value);
	status_t ReplacePointer(const char* name, const void* pointer);
	status_t ReplacePointer(const char* name, int32 index, const void* pointer);
	status_t ReplaceMessenger(const char* name, BMessenger messenger);
	status_t ReplaceMessenger(const char* name, int32 index, BMessenger messenger);
	status_t ReplaceRef(const char* name, const entry_ref* ref);
	status_t ReplaceRef(const char* name, int32 index, const entry_ref* ref);
	status_t ReplaceMessage(const char* name, const BMessage* message);
	status_t ReplaceMessage(const char* name, int32 index, const BMessage* message);
	status_t ReplaceFlat(const char* name, BFlattenable* object);
	status_t ReplaceFlat(const char* name, int32 index, BFlattenable* object);
	status_t ReplaceData(const char* name, type_code type, const void* data,
	                     ssize_t numBytes);
	status_t ReplaceData(const char* name, type_code type, int32 index,
	                     const void* data, ssize_t numBytes);

	// ---- Testing for data

	bool HasRect(const char* name, int32 index = 0) const;
	bool HasPoint(const char* name, int32 index = 0) const;
	bool HasString(const char* name, int32 index = 0) const;
	bool HasInt8(const char* name, int32 index = 0) const;
	bool HasInt16(const char* name, int32 index = 0) const;
	bool HasInt32(const char* name, int32 index = 0) const;
	bool HasInt64(const char* name, int32 index = 0) const;
	bool HasBool(const char* name, int32 index = 0) const;
	bool HasFloat(const char* name, int32 index = 0) const;
	bool HasDouble(const char* name, int32 index = 0) const;
	bool HasPointer(const char* name, int32 index = 0) const;
	bool HasMessenger(const char* name, int32 index = 0) const;
	bool HasRef(const char* name, int32 index = 0) const;
	bool HasMessage(const char* name, int32 index = 0) const;
	bool HasFlat(const char* name, const BFlattenable* object) const;
	bool HasFlat(const char* name, int32 index, const BFlattenable* object) const;
	bool HasData(const char* name, type_code type, int32 index = 0) const;

	// ---- Value-returning finders of the older API: a zero value (or NULL,
	// or an invalid rect) when the item is missing.

	BRect FindRect(const char* name, int32 index = 0) const;
	BPoint FindPoint(const char* name, int32 index = 0) const;
	const char* FindString(const char* name, int32 index = 0) const;
	int8 FindInt8(const char* name, int32 index = 0) const;
	int16 FindInt16(const char* name, int32 index = 0) const;
	int32 FindInt32(const char* name, int32 index = 0) const;
	int64 FindInt64(const char* name, int32 index = 0) const;
	bool FindBool(const char* name, int32 index = 0) const;
	float FindFloat(const char* name, int32 index = 0) const;
	double FindDouble(const char* name, int32 index = 0) const;

private:
	friend class BPrivate::MessageAccess;

	status_t _Add(const char* name, type_code type, const void* data,
	              size_t size, bool fixedSize);
	status_t _Find(const char* name, type_code type, int32 index,
	               const void** data, size_t* size) const;
	status_t _Replace(const char* name, type_code type, int32 index,
	                  const void* data, size_t size);
	status_t _SendReply(BMessage* reply, const BMessenger* replyTo,
	                    bigtime_t sendTimeout, BMessage* replyToReply,
	                    bigtime_t replyTimeout);
	void _ClearDelivery();

	// The fields and the delivery state are built inside the message
	// object itself, so that making, copying and deleting a message takes
	// no allocation for them. (Message.cpp checks that they fit.)
	enum { kDataRoom = 64, kDeliveryRoom = 128 };

	BPrivate::MessageData* fData;          // fields and flattened header, in fDataRoom
	BPrivate::MessageDelivery* fDelivery;  // NULL until needed, then in fDeliveryRoom
	int32 fCurSpecifier;                   // -1: no current specifier
	alignas(8) uint8 fDataRoom[kDataRoom];
	alignas(8) uint8 fDeliveryRoom[kDeliveryRoom];
};

#endif
