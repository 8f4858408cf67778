#include <UTF8.h>

#include "textencoding/Charsets.h"
#include "textencoding/IconvConverter.h"
#include "textencoding/JisCodec.h"

using namespace BPrivate;

namespace {

enum Direction { kToUtf8, kFromUtf8 };

status_t
convert(Direction direction, uint32 encoding, const char* src, int32* srcLen,
	char* dst, int32* dstLen, int32* state, char substitute)
{
	if (srcLen == NULL || dstLen == NULL)
		return B_BAD_VALUE;
	const Charset* charset = charset_for(encoding);
	if (charset == NULL) {
		*srcLen = 0;
		*dstLen = 0;
		return B_ERROR;
	}
	if (*srcLen < 0 || *dstLen < 0 || (src == NULL && *srcLen > 0)
		|| (dst == NULL && *dstLen > 0)) {
		*srcLen = 0;
		*dstLen = 0;
		return B_BAD_VALUE;
	}

	size_t srcLength = (size_t)*srcLen;
	size_t dstLength = (size_t)*dstLen;
	// Without a state every call starts afresh.
	int32 localState = 0;
	if (state == NULL)
		state = &localState;

	bool done;
	if (charset->layout == CharLayout::Jis) {
		done = direction == kToUtf8
			? jis_to_utf8(src, &srcLength, dst, &dstLength, state, substitute)
			: utf8_to_jis(src, &srcLength, dst, &dstLength, state, substitute);
	} else {
		iconv_t converter = direction == kToUtf8
			? iconv_converter(charset->iconvName, "UTF-8")
			: iconv_converter("UTF-8", charset->iconvName);
		done = converter != (iconv_t)-1;
		if (done && direction == kToUtf8) {
			iconv_to_utf8(converter, charset->layout, src, &srcLength, dst, &dstLength,
				substitute);
		} else if (done) {
			iconv_from_utf8(converter, charset->layout, src, &srcLength, dst, &dstLength,
				substitute);
		}
	}
	if (!done) {
		// iconv lacks the encoding on this system.
		*srcLen = 0;
		*dstLen = 0;
		return B_ERROR;
	}
	*srcLen = (int32)srcLength;
	*dstLen = (int32)dstLength;
	return B_OK;
}

}	// namespace


status_t
convert_to_utf8(uint32 srcEncoding, const char* src, int32* srcLen, char* dst,
	int32* dstLen, int32* state, char substitute)
{
	return convert(kToUtf8, srcEncoding, src, srcLen, dst, dstLen, state, substitute);
}


status_t
convert_from_utf8(uint32 dstEncoding, const char* src, int32* srcLen, char* dst,
	int32* dstLen, int32* state, char substitute)
{
	return convert(kFromUtf8, dstEncoding, src, srcLen, dst, dstLen, state, substitute);
}
