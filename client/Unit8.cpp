#include "Unit8.h"

TForm8::TForm8(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Просмотр данных");
}

void TForm8::FormShow() {}
