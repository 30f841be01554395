#include "InterpretedRegexes.h"

#include <QByteArray>

void useInterpretedRegexes()
{
    // Set even when the player's environment asks for compiled ones: those
    // are what keep the program from ending.
    qputenv("QT_ENABLE_REGEXP_JIT", QByteArrayLiteral("0"));
}
