#include "FormLayout.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

void UseFormFont(QWidget& window)
{
    QFont tahoma("Tahoma");
    tahoma.setPixelSize(11);
    window.setFont(tahoma);
}

void PassOnWindowFont(QWidget& window)
{
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->testAttribute(Qt::WA_SetFont))
            control->setFont(window.font());
    }
}

void CentreOnScreen(QWidget& window)
{
    if (const QScreen* display = window.screen())
        window.move(display->availableGeometry().center() - window.rect().center());
}

QVBoxLayout* NewTightColumn(QWidget* widget)
{
    auto* column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

QHBoxLayout* NewButtonBar(QWidget* panel)
{
    panel->setFixedHeight(41);
    auto* bar = new QHBoxLayout(panel);
    bar->setContentsMargins(3, 3, 3, 3);
    return bar;
}

QPushButton* AddButton(QBoxLayout* box, const char* caption, int width)
{
    auto* button = new QPushButton(caption);
    button->setFixedSize(width, 35);
    box->addWidget(button);
    return button;
}

void AddStatusPanels(QStatusBar* bar, std::span<QLabel*> panels, std::span<const int> widths)
{
    bar->setSizeGripEnabled(false);
    const size_t last = panels.size() - 1;
    for (size_t i = 0; i < panels.size(); ++i) {
        QLabel* panel = panels[i] = new QLabel(bar);
        panel->setAlignment(i < last ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        if (widths[i] > 0)
            panel->setFixedWidth(widths[i]);
        bar->addWidget(panel, widths[i] > 0 ? 0 : 1);
    }
}
