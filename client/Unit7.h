#pragma once

#include <QWidget>

class TStringGrid;

class TForm7 : public QWidget {
public:
    explicit TForm7(QWidget* parent = nullptr);

    TStringGrid* StringGrid1 = nullptr;
};
