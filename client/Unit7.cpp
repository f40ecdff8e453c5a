#include "Unit7.h"

TForm7::TForm7(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Поиск видео");
}
