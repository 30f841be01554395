#pragma once

#include "korrad.h"

#include <type_traits>

#include <QLibrary>
#include <QString>

// The picture-conversion library, loaded by name for one conversion and
// unloaded again when this object goes (or unload() is called).
class ConversionLibrary
{
public:
    // The library's own declarations, so a change there cannot go unnoticed
    // here.
    using ValidProc = decltype(&_Pic_Valid);
    using ConvertProc = decltype(&_anytobmps);
    static_assert(std::is_same_v<ConvertProc, decltype(&_anytogrey)>);

    static constexpr const char *DefaultName = "korrad";

    // A bare name is looked for in the program's folder first, then in the
    // library folder of an installed program, then where the system's loader
    // looks; a path is taken as it is.
    explicit ConversionLibrary(const QString &name);
    ~ConversionLibrary();
    ConversionLibrary(const ConversionLibrary &) = delete;
    ConversionLibrary &operator=(const ConversionLibrary &) = delete;

    bool isLoaded() const { return m_library.isLoaded(); }
    QString errorString() const { return m_library.errorString(); }
    ValidProc validProc();
    ConvertProc convertProc(bool grey);
    void unload();

private:
    QLibrary m_library;
    bool m_held = false;
};
