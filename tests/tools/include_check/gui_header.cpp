#include <QFile>
#include <QImage>
