#include "ClientForms.h"

#include <initializer_list>

#include "ABOUT.h"
#include "FormLayout.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit7.h"
#include "Unit8.h"

void CreateForms()
{
    Form1 = new TForm1;
    Form8 = new TForm8;
    Form2 = new TForm2;
    AboutBox = new TAboutBox;
    Form7 = new TForm7;
    Form3 = new TForm3;
    Form5 = new TForm5;
    for (QWidget* window : std::initializer_list<QWidget*>{Form1, Form8, Form2, AboutBox, Form7, Form3, Form5})
        PassOnWindowFont(*window);
}
