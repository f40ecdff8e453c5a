#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor Night(10, 22, 58);
const QColor Cobalt(0, 71, 171);
const QColor Ice(200, 222, 255);

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

QImage DrawBanner(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient ground(0, 0, 0, height);
    ground.setColorAt(0, Cobalt.darker(150));
    ground.setColorAt(1, Night);
    p.fillRect(image.rect(), ground);

    // A film strip running across, each frame one colour band of a film's colour flow.
    const int stripTop = height * 55 / 100, stripHeight = height * 30 / 100;
    p.fillRect(0, stripTop, width, stripHeight, QColor(5, 10, 25));
    const int frame = stripHeight * 70 / 100, gap = frame / 5;
    for (int x = gap, i = 0; x < width; x += frame + gap, ++i) {
        const QColor band = QColor::fromHsv((200 + i * 23) % 360, 150, 120 + (i * 37) % 100);
        p.fillRect(x, stripTop + (stripHeight - frame) / 2, frame, frame, band);
        for (int hole = 0; hole < 2; ++hole)
            p.fillRect(x + hole * frame / 2 + frame / 8, stripTop + 2, frame / 4, stripHeight / 10, Ice.darker(160));
    }

    p.setPen(Ice);
    QFont title("DejaVu Sans", height / 5, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(24, height / 12, width - 48, height * 30 / 100), Qt::AlignLeft | Qt::AlignVCenter,
               "Tarvello Desk");
    QFont subtitle("DejaVu Sans", height / 16);
    p.setFont(subtitle);
    p.setPen(Ice.darker(130));
    p.drawText(QRect(28, height * 38 / 100, width - 56, height / 6), Qt::AlignLeft | Qt::AlignVCenter,
               "Каталог фильмов и их цветовых данных");
    return image;
}

QImage DrawAccountPicture(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(width * 0.08, height * 0.12, width * 0.84, height * 0.62);
    p.setPen(QPen(Ice, 3));
    p.setBrush(Cobalt.darker(140));
    p.drawRoundedRect(card, 14, 14);

    // A person: head and shoulders on the card's left half.
    p.setBrush(Ice);
    p.setPen(Qt::NoPen);
    const qreal cx = card.left() + card.width() * 0.3, head = card.height() * 0.17;
    p.drawEllipse(QPointF(cx, card.top() + card.height() * 0.35), head, head);
    p.drawChord(QRectF(cx - head * 2, card.top() + card.height() * 0.58, head * 4, head * 3), 0, 180 * 16);

    // Two lines of "text" beside it.
    for (int line = 0; line < 2; ++line)
        p.drawRoundedRect(QRectF(card.left() + card.width() * 0.55, card.top() + card.height() * (0.3 + line * 0.22),
                                 card.width() * 0.35, card.height() * 0.08), 3, 3);

    // A key under the card.
    p.setPen(QPen(QColor(255, 200, 60), width / 25.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const qreal ky = height * 0.86, r = height * 0.07;
    p.drawEllipse(QPointF(width * 0.3, ky), r, r);
    p.drawLine(QPointF(width * 0.3 + r, ky), QPointF(width * 0.78, ky));
    p.drawLine(QPointF(width * 0.7, ky), QPointF(width * 0.7, ky + r));
    p.drawLine(QPointF(width * 0.6, ky), QPointF(width * 0.6, ky + r * 0.8));
    return image;
}

QImage DrawLookingFigure(int column, int row, int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QPointF centre(s / 2, s / 2);
    // The whole face turns a little toward where it looks, the pupils a lot.
    const QPointF look((column - 1) * s * 0.06, (row - 1) * s * 0.06);

    QRadialGradient skin(centre + look - QPointF(s * 0.12, s * 0.12), s * 0.55);
    skin.setColorAt(0, QColor(120, 170, 255));
    skin.setColorAt(1, Cobalt.darker(120));
    p.setPen(QPen(Night, s * 0.03));
    p.setBrush(skin);
    p.drawEllipse(centre, s * 0.44, s * 0.44);

    for (int side = -1; side <= 1; side += 2) {
        const QPointF eye = centre + look + QPointF(side * s * 0.15, -s * 0.08);
        p.setPen(QPen(Night, s * 0.015));
        p.setBrush(Qt::white);
        p.drawEllipse(eye, s * 0.11, s * 0.13);
        p.setPen(Qt::NoPen);
        p.setBrush(Night);
        p.drawEllipse(eye + QPointF((column - 1) * s * 0.055, (row - 1) * s * 0.065), s * 0.05, s * 0.05);
    }

    QPainterPath mouth;
    const QPointF m = centre + look + QPointF(0, s * 0.2);
    mouth.moveTo(m + QPointF(-s * 0.13, 0));
    mouth.quadTo(m + QPointF(0, s * 0.08), m + QPointF(s * 0.13, 0));
    p.setPen(QPen(Night, s * 0.03, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);
    return image;
}
