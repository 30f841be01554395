#pragma once

#include "PaintResult.h"
#include "korrad.h"

#include <type_traits>

#include <QLibrary>
#include <QString>

// The picture-conversion library, loaded by name for one conversion and
// unloaded again when the last object that holds it goes (or calls
// unload()). Objects on several threads may hold it at once.
class ConversionLibrary
{
public:
    // The library's own declarations, so a change there cannot go unnoticed
    // here.
    using ValidProc = decltype(&_Pic_Valid);
    using ConvertProc = decltype(&_anytobmps);
    static_assert(std::is_same_v<ConvertProc, decltype(&_anytogrey)>);
    using ReasonProc = decltype(&_Pic_FailureReason);

    static constexpr const char *DefaultName = "korrad";

    // A bare name is looked for in the program's folder first, then in the
    // library folder of an installed program, then where the system's loader
    // looks; a path is taken as it is.
    explicit ConversionLibrary(const QString &name);
    ~ConversionLibrary();
    ConversionLibrary(const ConversionLibrary &) = delete;
    ConversionLibrary &operator=(const ConversionLibrary &) = delete;

    // Success, or the name asked for and the system's reason it could not be
    // loaded.
    PaintResult loaded() const;
    // Both entry points a conversion needs, or the name of the first one
    // missing.
    PaintResult entryPoints(bool grey, ValidProc &valid, ConvertProc &convert);
    // Null for a library that does not say why it refused.
    ReasonProc reasonProc();
    void unload();

private:
    QFunctionPointer resolve(const char *symbol);

    QString m_name;
    QLibrary *m_library = nullptr; // shared with the other holders
    QString m_key;
    QString m_error;
};
