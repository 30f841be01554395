#include "ConversionLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

ConversionLibrary::ConversionLibrary(const QString &name)
{
    const bool bareName = !name.contains(u'/') && !name.contains(u'\\');
    if (bareName && QCoreApplication::instance()) {
        m_library.setFileName(QDir(QCoreApplication::applicationDirPath()).filePath(name));
        if (m_library.load())
            return;
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
