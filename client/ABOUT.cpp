#include "ABOUT.h"

#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "ClientState.h"
#include "Dialogs.h"
#include "Pictures.h"
#include "QtText.h"

namespace {

// A label that runs a handler when clicked: the left button released over it.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick))
    {
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            onClick_();
    }

private:
    std::function<void()> onClick_;
};

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), CursorPos([] { return QCursor::pos(); })
{
    setWindowTitle("О программе");
    setFont(QFont("MS Sans Serif", 8));
    setFixedSize(316, 242);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(8, 8, 297, 195);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);

    // MS Sans Serif is a bitmap font without a bold face, and Qt does not embolden bitmap fonts: its bold text is
    // drawn in bold Tahoma.
    QFont bold("Tahoma", font().pointSize());
    bold.setBold(true);
    ProductName = new QLabel("Tarvello Desk", Panel1);
    ProductName->move(110, 21);
    ProductName->setFont(bold);
    Version = new QLabel("Версия 3.0", Panel1);
    Version->move(111, 51);
    Version->setFont(bold);

    Comments = new LinkLabel(qstr(Site_Caption), Panel1, [this] { CommentsClick(); });
    Comments->setObjectName("Comments");
    Comments->setGeometry(5, 149, 287, 40);
    Comments->setWordWrap(true);
    Comments->setCursor(Qt::PointingHandCursor);
    Comments->setStyleSheet("color: #3c78ff; text-decoration: underline;");

    for (int i = 0; i < 9; ++i) {
        Images[i] = new QLabel(Panel1);
        Images[i]->setGeometry(5, 16, 100, 100);
        Images[i]->setAttribute(Qt::WA_TranslucentBackground);
        Images[i]->setStyleSheet("background: transparent;");
        Images[i]->setPixmap(QPixmap::fromImage(DrawLookingFigure(i % 3, i / 3, 100)));
        Images[i]->hide();
    }

    OKButton = new QPushButton("OK", this);
    OKButton->setGeometry(126, 209, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CentreOver(*this, MainWindow());
}

void TAboutBox::CommentsClick() { OpenUrl(Program_URL); }

int TAboutBox::PictureFor(QPoint pointer) const
{
    const QLabel* image1 = Images[0];
    // The box's outer position plus Image1's place inside the panel; neither the panel's offset nor the window
    // frame is added, so the rectangle lies up and to the left of where the pictures are drawn.
    const int x0 = frameGeometry().left() + image1->x();
    const int y0 = frameGeometry().top() + image1->y();
    auto band = [](int p, int start, int size) { return p < start ? 0 : p < start + size ? 1 : 2; };
    return band(pointer.y(), y0, image1->height()) * 3 + band(pointer.x(), x0, image1->width()) + 1;
}

void TAboutBox::Timer1Timer()
{
    const int shown = PictureFor(CursorPos());
    for (int i = 0; i < 9; ++i)
        Images[i]->setVisible(i + 1 == shown);
}
