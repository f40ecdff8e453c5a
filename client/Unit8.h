#pragma once

#include <QWidget>

class TValueListEditor;

class TForm8 : public QWidget {
public:
    explicit TForm8(QWidget* parent = nullptr);

    TValueListEditor* ValueListEditor1 = nullptr;

    void FormShow();  // loads the record VIEW_ID names
};
