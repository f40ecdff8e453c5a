#include "Unit3.h"

TForm3::TForm3(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Добавление нового видео в базу данных");
}
