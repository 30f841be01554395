#include "InterpretedRegexes.h"

// Here the C library runs thread-local destructors before the thread's
// storage goes: compiled expressions stay.
void useInterpretedRegexes()
{
}
