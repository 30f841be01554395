#pragma once

#include <QLibrary>
#include <QString>

#include <cstdint>

// The picture-conversion library, loaded by name for one conversion and
// unloaded again when this object goes (or unload() is called).
class ConversionLibrary
{
public:
    using ValidProc = unsigned char (*)(const char *source);
    using ConvertProc = unsigned char (*)(const char *source, const char *target, void *workArea,
                                          std::int32_t mode, std::int32_t sizeHint);

    static constexpr const char *DefaultName = "korrad";

    // A bare name is looked for in the program's folder first, then in the
    // library folder of an installed program, then where the system's loader
    // looks; a path is taken as it is.
    explicit ConversionLibrary(const QString &name);
    ~ConversionLibrary();
    ConversionLibrary(const ConversionLibrary &) = delete;
    ConversionLibrary &operator=(const ConversionLibrary &) = delete;

    bool isLoaded() const { return m_library.isLoaded(); }
    ValidProc validProc();
    ConvertProc convertProc(bool grey);
    void unload();

private:
    QLibrary m_library;
};
