#include "ConversionLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

ConversionLibrary::ConversionLibrary(const QString &name)
{
    const bool bareName = !name.contains(u'/') && !name.contains(u'\\');
    if (bareName && QCoreApplication::instance()) {
        const QDir programFolder(QCoreApplication::applicationDirPath());
        m_library.setFileName(programFolder.filePath(name));
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
