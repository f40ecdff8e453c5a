#pragma once
// The about box: program name and version, a link to the program's web page, and a figure that looks toward the
// mouse pointer.

#include <QDialog>
#include <QPoint>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

class TAboutBox : public QDialog {
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Comments = nullptr;  // the link to Program_URL
    QLabel* Images[9] = {};      // Image1 .. Image9, all in the same place
    QPushButton* OKButton = nullptr;
    QTimer* Timer1 = nullptr;    // every 100 ms for the whole run

    // Where the pointer is on the screen; the desktop's cursor unless a test puts its own here.
    std::function<QPoint()> CursorPos;

    void CommentsClick();
    void Timer1Timer();  // shows the picture of the pointer's region, hides the other eight

    // The picture (1 .. 9) for a pointer position: the region around the rectangle of the box's outer position
    // plus Image1's position inside the panel, Image1's size wide and high.
    int PictureFor(QPoint pointer) const;

protected:
    void showEvent(QShowEvent* event) override;
};
