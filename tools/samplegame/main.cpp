// corvane-samplegame <game folder>
// Writes a small sample game to try Corvane on; see SampleGame.h.
#include "SampleGame.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    // Drawing the textures needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: corvane-samplegame <game folder>\n");
        return 2;
    }
    QString error;
    if (!SampleGame::write(args.at(1), &error)) {
        std::fprintf(stderr, "corvane-samplegame: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("Sample game written to %s\n", qPrintable(args.at(1)));
    return 0;
}
