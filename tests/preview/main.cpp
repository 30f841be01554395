#include <QApplication>

int runBitmapFileTests(int argc, char **argv);
int runThumbnailCacheTests(int argc, char **argv);
int runThumbnailFormTests(int argc, char **argv);
int runThumbnailExportTests(int argc, char **argv);
int runThumbnailLoadTests(int argc, char **argv);
int runThumbnailPaintTests(int argc, char **argv);
int runThumbnailRulesTests(int argc, char **argv);
int runThumbnailWithKorradTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto run : {runBitmapFileTests, runThumbnailRulesTests, runThumbnailLoadTests, runThumbnailCacheTests, runThumbnailExportTests,
                     runThumbnailPaintTests, runThumbnailWithKorradTests,
                     runThumbnailFormTests})
        failures += run(argc, argv);
    return failures ? 1 : 0;
}
