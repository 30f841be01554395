#include "ConversionLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

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

// How many objects of this process hold each library file loaded. Qt shares
// one handle among all QLibrary objects of a file, and one object's unload
// takes the library away from the others (Qt 6.4): a preview unloading its
// library while a worker converts with it would crash the program. So only
// the last holder really unloads.
QMutex holdersMutex;
QHash<QString, int> holders;

bool takeHold(QLibrary &library)
{
    if (!library.load())
        return false;
    const QMutexLocker lock(&holdersMutex);
    ++holders[library.fileName()];
    return true;
}

} // namespace

ConversionLibrary::ConversionLibrary(const QString &name)
{
    const bool bareName = !name.contains(u'/') && !name.contains(u'\\');
    if (bareName && QCoreApplication::instance()) {
        const QDir programFolder(QCoreApplication::applicationDirPath());
        const QString exact = programFolder.filePath(platformFileName(name));
        m_library.setFileName(QFileInfo::exists(exact) ? exact : programFolder.filePath(name));
        if ((m_held = takeHold(m_library)))
            return;
#ifdef CORVANE_INSTALLED_LIBRARY_DIR
        m_library.setFileNameAndVersion(programFolder.filePath(QStringLiteral(CORVANE_INSTALLED_LIBRARY_DIR "/") + name),
                                        CORVANE_LIBRARY_VERSION);
        if ((m_held = takeHold(m_library)))
            return;
#endif
    }
    m_library.setFileName(name);
    m_held = takeHold(m_library);
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
    if (!m_held)
        return;
    m_held = false;
    const QMutexLocker lock(&holdersMutex);
    const QString file = m_library.fileName();
    if (--holders[file] > 0)
        return;
    holders.remove(file);
    m_library.unload();
}
