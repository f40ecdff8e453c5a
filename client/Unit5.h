#pragma once

#include <QWidget>

class QTabWidget;

class TForm5 : public QWidget {
public:
    explicit TForm5(QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;
};
