#include "Unit5.h"

TForm5::TForm5(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Выбор значения");
}
