#include <QString>
  #  include <QtWidgets/QWidget>
