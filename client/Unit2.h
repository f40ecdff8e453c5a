#pragma once

#include <QDialog>

class TForm2 : public QDialog {
public:
    explicit TForm2(QWidget* parent = nullptr);
};
