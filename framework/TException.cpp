#include "TException.h"

namespace orvik {

TException::TException(uint32 id, const char* text)
	:
	fID(id),
	fText(text != nullptr ? text : "")
{
}

TException::TException(const char* text)
	:
	TException(0, text)
{
}

}
