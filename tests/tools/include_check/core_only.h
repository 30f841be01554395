#pragma once

#include <QString>
#include <QtCore/QFile>
#include "Local.h"
