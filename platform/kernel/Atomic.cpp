// Atomic operations on 32-bit values; each returns the value before the
// operation (atomic_get: the value).

#include <OS.h>

int32 atomic_add(vint32* value, int32 addValue)
{
	return __atomic_fetch_add(value, addValue, __ATOMIC_SEQ_CST);
}

int32 atomic_and(vint32* value, int32 andValue)
{
	return __atomic_fetch_and(value, andValue, __ATOMIC_SEQ_CST);
}

int32 atomic_or(vint32* value, int32 orValue)
{
	return __atomic_fetch_or(value, orValue, __ATOMIC_SEQ_CST);
}

int32 atomic_get(vint32* value)
{
	return __atomic_load_n(value, __ATOMIC_SEQ_CST);
}

int32 atomic_set(vint32* value, int32 newValue)
{
	return __atomic_exchange_n(value, newValue, __ATOMIC_SEQ_CST);
}
