#include "textencoding/IconvConverter.h"

#include "textencoding/Utf8Sequence.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace BPrivate {

namespace {

struct OpenConverter {
	const char* from;
	const char* to;
	iconv_t converter;
};

// The descriptors this thread has opened. The names are the string literals
// of the charset table, so they are compared by address.
struct ConverterCache {
	std::vector<OpenConverter> converters;

	~ConverterCache()
	{
		for (const OpenConverter& open : converters) {
			if (open.converter != (iconv_t)-1)
				iconv_close(open.converter);
		}
	}
};

thread_local ConverterCache sCache;

const size_t kFailed = (size_t)-1;

void
reset(iconv_t converter)
{
	iconv(converter, NULL, NULL, NULL, NULL);
}

}	// namespace


iconv_t
iconv_converter(const char* from, const char* to)
{
	for (const OpenConverter& open : sCache.converters) {
		if (open.from == from && open.to == to) {
			if (open.converter != (iconv_t)-1)
				reset(open.converter);
			return open.converter;
		}
	}
	// A failed open is remembered too, so that it is not retried each time.
	iconv_t converter = iconv_open(to, from);
	sCache.converters.push_back({ from, to, converter });
	return converter;
}


size_t
convert_one(iconv_t converter, const char* in, size_t length, char* out, size_t outSize)
{
	reset(converter);
	char* input = const_cast<char*>(in);
	size_t inputLeft = length;
	char* output = out;
	size_t outputLeft = outSize;
	if (iconv(converter, &input, &inputLeft, &output, &outputLeft) == kFailed
		|| inputLeft != 0)
		return 0;
	return (size_t)(output - out);
}


void
iconv_to_utf8(iconv_t converter, CharLayout layout, const char* src, size_t* srcLength,
	char* dst, size_t* dstLength, char substitute)
{
	char* input = const_cast<char*>(src);
	size_t inputLeft = *srcLength;
	char* output = dst;
	size_t outputLeft = *dstLength;

	while (inputLeft > 0) {
		if (iconv(converter, &input, &inputLeft, &output, &outputLeft) != kFailed)
			break;
		// E2BIG: the next character does not fit. EINVAL: the source ends in
		// the middle of a character, which stays unconsumed.
		if (errno != EILSEQ)
			break;
		if (outputLeft == 0)
			break;
		size_t skip = undecodable_length(layout, (const unsigned char*)input, inputLeft);
		*output++ = substitute;
		outputLeft--;
		input += skip;
		inputLeft -= skip;
		reset(converter);
	}
	*srcLength = (size_t)(input - src);
	*dstLength = (size_t)(output - dst);
}


void
iconv_from_utf8(iconv_t converter, CharLayout layout, const char* src, size_t* srcLength,
	char* dst, size_t* dstLength, char substitute)
{
	char* input = const_cast<char*>(src);
	size_t inputLeft = *srcLength;
	char* output = dst;
	size_t outputLeft = *dstLength;

	// In a target of two-byte units the substitute takes a whole unit.
	char wideSubstitute[2] = { 0, substitute };
	const char* substituteBytes = layout == CharLayout::Utf16 ? wideSubstitute : &substitute;
	size_t substituteLength = layout == CharLayout::Utf16 ? 2 : 1;

	while (inputLeft > 0) {
		if (iconv(converter, &input, &inputLeft, &output, &outputLeft) != kFailed)
			break;
		if (errno != EILSEQ)
			break;
		// Either the input is not UTF-8 here, or the target lacks the
		// character: one substitute for the invalid byte or the character.
		Utf8Char bad = utf8_char_at((const unsigned char*)input, inputLeft);
		if (bad.kind == Utf8Char::Incomplete)
			break;
		if (outputLeft < substituteLength)
			break;
		memcpy(output, substituteBytes, substituteLength);
		output += substituteLength;
		outputLeft -= substituteLength;
		input += bad.length;
		inputLeft -= bad.length;
		reset(converter);
	}
	*srcLength = (size_t)(input - src);
	*dstLength = (size_t)(output - dst);
}

}	// namespace BPrivate
