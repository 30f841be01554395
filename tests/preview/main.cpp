#include "TestGroups.h"

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
    return runTestGroups(argc, argv, {runBitmapFileTests, runThumbnailRulesTests, runThumbnailLoadTests, runThumbnailCacheTests, runThumbnailExportTests,
                     runThumbnailPaintTests, runThumbnailWithKorradTests,
                     runThumbnailFormTests}) ? 1 : 0;
}
