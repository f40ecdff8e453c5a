#include "ABOUT.h"

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("О программе");
}
