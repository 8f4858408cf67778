#include <Beep.h>


status_t
beep()
{
	return B_OK;
}
