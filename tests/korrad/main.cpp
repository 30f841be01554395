#include "TestGroups.h"

#include <QGuiApplication>

int runBadInputTests(int argc, char **argv);
int runBlockSumsTests(int argc, char **argv);
int runConformanceTests(int argc, char **argv);
int runFormatTests(int argc, char **argv);
int runLibraryLoadTests(int argc, char **argv);
int runPictureFormatTests(int argc, char **argv);
int runRefusalReasonTests(int argc, char **argv);
int runSizeTests(int argc, char **argv);
int runUncommonFormatTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    return runTestGroups(argc, argv, {runConformanceTests, runFormatTests, runUncommonFormatTests, runSizeTests, runBlockSumsTests, runBadInputTests, runPictureFormatTests, runRefusalReasonTests, runLibraryLoadTests}) ? 1 : 0;
}
