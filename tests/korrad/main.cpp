#include <QGuiApplication>

int runBadInputTests(int argc, char **argv);
int runBlockSumsTests(int argc, char **argv);
int runConformanceTests(int argc, char **argv);
int runFormatTests(int argc, char **argv);
int runPictureFormatTests(int argc, char **argv);
int runSizeTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    int failures = 0;
    for (auto run : {runConformanceTests, runFormatTests, runSizeTests, runBlockSumsTests, runBadInputTests, runPictureFormatTests})
        failures += run(argc, argv);
    return failures ? 1 : 0;
}
