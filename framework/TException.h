// An exception with an identifier and a text. Nothing in the displayer
// throws it; it is there for programs of the framework that need one.
#ifndef FRAMEWORK_T_EXCEPTION_H
#define FRAMEWORK_T_EXCEPTION_H

#include <SupportDefs.h>

#include <string>

namespace orvik {

class TException {
public:
	TException(uint32 id, const char* text);
	explicit TException(const char* text);

	uint32 ID() const { return fID; }
	// The text, empty when none was given.
	const char* String() const { return fText.c_str(); }

private:
	uint32 fID;
	std::string fText;
};

}

#endif
