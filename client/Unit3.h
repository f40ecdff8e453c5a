#pragma once

#include <QWidget>

class TValueListEditor;

class TForm3 : public QWidget {
public:
    explicit TForm3(QWidget* parent = nullptr);

    TValueListEditor* ValueListEditor1 = nullptr;
};
