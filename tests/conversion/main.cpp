#include "TestGroups.h"

#include <QGuiApplication>

int runPictureConversionTests(int argc, char **argv);
int runPictureFileTests(int argc, char **argv);
int runFrontEndLoadTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    return runTestGroups(argc, argv, {runPictureConversionTests, runPictureFileTests, runFrontEndLoadTests}) ? 1 : 0;
}
