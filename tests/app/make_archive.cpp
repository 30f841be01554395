// Writes a zip for the real-window tests: make_archive OUT.zip NAME=FILE...
// stores each FILE's bytes under NAME.
#include "TestArchive.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    QList<TestArchive::Entry> entries;
    for (const QString &arg : args.mid(2)) {
        QFile file(arg.section(u'=', 1));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        entries.append({arg.section(u'=', 0, 0).toUtf8(), file.readAll()});
    }
    return TestArchive::write(args[1], TestArchive::Format::Zip, entries) ? 0 : 1;
}
