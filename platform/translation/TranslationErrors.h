// Status codes of the Translation Kit. They are defined with the other
// status codes in <Errors.h>, from B_TRANSLATION_ERROR_BASE on:
//
//   B_NO_TRANSLATOR     no translator recognises the data or can produce
//                       the wanted format
//   B_ILLEGAL_DATA      the data claims to be in a format but is damaged
//   B_NOT_INITIALIZED   the kit or a translator was used before it was ready
#ifndef _TRANSLATION_ERRORS_H
#define _TRANSLATION_ERRORS_H

#include <Errors.h>

#endif
