#include "ConversionLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>

#include <map>
#include <memory>

namespace {

// One QLibrary for each library file, counted here. Qt counts the loads of
// a file too, but without a lock between threads: a load racing the last
// unload on another thread can take the handle the unload is closing, and
// that thread then calls into unmapped code. Every step on the count and on
// the QLibrary takes turns; the calls into the library in between need none.
QMutex libraryGuard;

struct Holders
{
    std::unique_ptr<QLibrary> library;
    int count = 0;
};
std::map<QString, Holders> loadedLibraries; // by file name and version

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
    : m_name(name)
{
    const QMutexLocker lock(&libraryGuard);
    const auto loadAs = [this](const QString &fileName, int version = -1) {
        const QString key = fileName + u'\n' + QString::number(version);
        Holders &holders = loadedLibraries[key];
        if (!holders.library) {
            holders.library = version < 0 ? std::make_unique<QLibrary>(fileName)
                                          : std::make_unique<QLibrary>(fileName, version);
            if (!holders.library->load()) {
                m_error = holders.library->errorString();
                loadedLibraries.erase(key);
                return false;
            }
        }
        ++holders.count;
        m_library = holders.library.get();
        m_key = key;
        return true;
    };
    const bool bareName = !name.contains(u'/') && !name.contains(u'\\');
    if (bareName && QCoreApplication::instance()) {
        const QDir programFolder(QCoreApplication::applicationDirPath());
        const QString exact = programFolder.filePath(platformFileName(name));
        if (loadAs(QFileInfo::exists(exact) ? exact : programFolder.filePath(name)))
            return;
#ifdef CORVANE_INSTALLED_LIBRARY_DIR
        if (loadAs(programFolder.filePath(QStringLiteral(CORVANE_INSTALLED_LIBRARY_DIR "/") + name),
                   CORVANE_LIBRARY_VERSION))
            return;
#endif
    }
    loadAs(name);
}

ConversionLibrary::~ConversionLibrary()
{
    unload();
}

QFunctionPointer ConversionLibrary::resolve(const char *symbol)
{
    const QMutexLocker lock(&libraryGuard);
    return m_library ? m_library->resolve(symbol) : nullptr;
}

PaintResult ConversionLibrary::loaded() const
{
    if (!m_library)
        return PaintResult::failure(m_name, m_error);
    return PaintResult::success(m_library->fileName());
}

PaintResult ConversionLibrary::entryPoints(bool grey, ValidProc &valid, ConvertProc &convert)
{
    if (const PaintResult available = loaded(); !available)
        return available;
    // Qt gives no reason of its own for a symbol it cannot find: the
    // missing one's name is the reason.
    const char *validName = "_Pic_Valid";
    const char *convertName = grey ? "_anytogrey" : "_anytobmps";
    valid = reinterpret_cast<ValidProc>(resolve(validName));
    if (!valid)
        return PaintResult::failure(m_name, QString::fromLatin1(validName));
    convert = reinterpret_cast<ConvertProc>(resolve(convertName));
    if (!convert)
        return PaintResult::failure(m_name, QString::fromLatin1(convertName));
    return PaintResult::success(m_library->fileName());
}

ConversionLibrary::ReasonProc ConversionLibrary::reasonProc()
{
    return reinterpret_cast<ReasonProc>(resolve("_Pic_FailureReason"));
}

void ConversionLibrary::unload()
{
    const QMutexLocker lock(&libraryGuard);
    if (!m_library)
        return;
    m_library = nullptr;
    const auto holders = loadedLibraries.find(m_key);
    if (--holders->second.count == 0) {
        holders->second.library->unload();
        loadedLibraries.erase(holders);
    }
}
