#include "ConversionLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The file a bare module name stands for on this system. Given the whole
// name, the loader tries it first instead of probing every prefix and suffix
// it knows, once for every picture.
QString platformFileName(const QString &name)
{
#if defined(Q_OS_WIN)
    return name + QStringLiteral(".dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("lib") + name + QStringLiteral(".dylib");
#else
    return QStringLiteral("lib") + name + QStringLiteral(".so");
#endif
}

} // namespace

ConversionLibrary::ConversionLibrary(const QString &name)
{
    const bool bareName = !name.contains(u'/') && !name.contains(u'\\');
    if (bareName && QCoreApplication::instance()) {
        const QDir programFolder(QCoreApplication::applicationDirPath());
        const QString exact = programFolder.filePath(platformFileName(name));
        m_library.setFileName(QFileInfo::exists(exact) ? exact : programFolder.filePath(name));
        if (m_library.load())
            return;
#ifdef CORVANE_INSTALLED_LIBRARY_DIR
        m_library.setFileNameAndVersion(programFolder.filePath(QStringLiteral(CORVANE_INSTALLED_LIBRARY_DIR "/") + name),
                                        CORVANE_LIBRARY_VERSION);
        if (m_library.load())
            return;
#endif
    }
    m_library.setFileName(name);
    m_library.load();
}

ConversionLibrary::~ConversionLibrary()
{
    unload();
}

ConversionLibrary::ValidProc ConversionLibrary::validProc()
{
    return reinterpret_cast<ValidProc>(m_library.resolve("_Pic_Valid"));
}

ConversionLibrary::ConvertProc ConversionLibrary::convertProc(bool grey)
{
    return reinterpret_cast<ConvertProc>(m_library.resolve(grey ? "_anytogrey" : "_anytobmps"));
}

void ConversionLibrary::unload()
{
    if (m_library.isLoaded())
        m_library.unload();
}
