// SPDX-License-Identifier: MIT
#include "ui/main/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tw::art {
namespace {

// One flat palette for every picture, so the toolbar reads as one set.
const QColor kInk(0x33, 0x47, 0x5b);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPaperShade(0xe8, 0xee, 0xf5);
const QColor kBlue(0x2f, 0x6f, 0xd0);
const QColor kBlueLight(0x5e, 0x97, 0xe8);
const QColor kSky(0xb9, 0xd7, 0xf7);
const QColor kRed(0xd8, 0x43, 0x3b);
const QColor kGreen(0x2c, 0x9b, 0x55);
const QColor kAmber(0xf3, 0xa5, 0x31);
const QColor kLine(0x9a, 0xa7, 0xb5);
const QColor kCardFront(0xd9, 0xa3, 0x5f);
const QColor kCardTop(0xea, 0xc0, 0x82);
const QColor kCardSide(0xb8, 0x82, 0x3f);
const QColor kWood(0xc9, 0x8b, 0x4a);

enum class Glyph { Minus, Cross, Plus };

// Paints in a 32 x 32 unit square whatever the pixel size.
class Canvas
{
public:
    explicit Canvas(int size)
        : m_pixmap(size, size)
    {
        m_pixmap.fill(Qt::transparent);
        m_painter.begin(&m_pixmap);
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.scale(size / 32.0, size / 32.0);
        // A one-pixel outline at every size.
        m_hairline = 32.0 / size;
    }

    QPainter& painter() { return m_painter; }
    QPen outline(const QColor& color = kInk, qreal pixels = 1.0) const
    {
        QPen pen(color, m_hairline * pixels);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        return pen;
    }
    QPixmap finish()
    {
        m_painter.end();
        return m_pixmap;
    }

private:
    QPixmap m_pixmap;
    QPainter m_painter;
    qreal m_hairline = 1;
};

QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void badge(Canvas& c, const QPointF& centre, const QColor& fill, Glyph glyph)
{
    QPainter& p = c.painter();
    const qreal r = 7;
    p.setPen(QPen(kPaper, 1.5));
    p.setBrush(fill);
    p.drawEllipse(centre, r, r);
    QPen mark(kPaper, 2.4);
    mark.setCapStyle(Qt::RoundCap);
    p.setPen(mark);
    const qreal a = 3.2;
    switch (glyph) {
    case Glyph::Minus:
        p.drawLine(centre + QPointF(-a, 0), centre + QPointF(a, 0));
        break;
    case Glyph::Plus:
        p.drawLine(centre + QPointF(-a, 0), centre + QPointF(a, 0));
        p.drawLine(centre + QPointF(0, -a), centre + QPointF(0, a));
        break;
    case Glyph::Cross: {
        const qreal d = a * 0.8;
        p.drawLine(centre + QPointF(-d, -d), centre + QPointF(d, d));
        p.drawLine(centre + QPointF(-d, d), centre + QPointF(d, -d));
        break;
    }
    }
}

// An application window: white body, blue caption, a few lines of content.
void window(Canvas& c, const QRectF& r, bool content)
{
    QPainter& p = c.painter();
    p.setPen(c.outline());
    p.setBrush(vertical(r, kPaper, kPaperShade));
    p.drawRoundedRect(r, 1.5, 1.5);
    const QRectF caption(r.left(), r.top(), r.width(), 6);
    QPainterPath bar;
    bar.addRoundedRect(caption, 1.5, 1.5);
    p.setBrush(vertical(caption, kBlueLight, kBlue));
    p.drawPath(bar);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(r.right() - 3, r.top() + 3), 1.1, 1.1);
    if (!content)
        return;
    p.setBrush(kSky);
    p.drawRect(QRectF(r.left() + 3, r.top() + 9, 6, 6));
    p.setPen(c.outline(kLine, 1.6));
    for (qreal y = r.top() + 10; y < r.bottom() - 2; y += 4)
        p.drawLine(QPointF(r.left() + 11, y), QPointF(r.right() - 3, y));
}

QPixmap uninstall(int size)
{
    Canvas c(size);
    QPainter& p = c.painter();
    p.setPen(c.outline());
    p.setBrush(kCardTop);
    p.drawPolygon(QPolygonF({ { 3, 13 }, { 8, 7 }, { 27, 7 }, { 22, 13 } }));
    p.setBrush(kCardSide);
    p.drawPolygon(QPolygonF({ { 22, 13 }, { 27, 7 }, { 27, 23 }, { 22, 29 } }));
    p.setBrush(kCardFront);
    p.drawRect(QRectF(3, 13, 19, 16));
    p.setPen(c.outline(kCardSide, 2));
    p.drawLine(QPointF(15, 7.5), QPointF(10.5, 12.5));
    badge(c, { 23.5, 23.5 }, kRed, Glyph::Minus);
    return c.finish();
}

QPixmap deleteFromList(int size)
{
    Canvas c(size);
    QPainter& p = c.painter();
    p.setPen(c.outline());
    p.setBrush(vertical(QRectF(4, 3, 20, 26), kPaper, kPaperShade));
    p.drawRoundedRect(QRectF(4, 3, 20, 26), 1.5, 1.5);
    for (qreal y = 8; y <= 24; y += 5) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(7, y - 1.5, 3, 3), 0.6, 0.6);
        p.setPen(c.outline(kLine, 1.6));
        p.drawLine(QPointF(12.5, y), QPointF(y > 18 ? 15 : 20.5, y));
    }
    badge(c, { 23.5, 23.5 }, kRed, Glyph::Cross);
    return c.finish();
}

QPixmap programDetails(int size)
{
    Canvas c(size);
    QPainter& p = c.painter();
    window(c, QRectF(2.5, 3.5, 24, 20), true);
    // A magnifying glass over the corner.
    QPen handle(kInk, 3.2);
    handle.setCapStyle(Qt::RoundCap);
    p.setPen(handle);
    p.drawLine(QPointF(25, 25), QPointF(29.5, 29.5));
    p.setPen(c.outline(kInk, 1.5));
    QColor glass = kSky;
    glass.setAlpha(220);
    p.setBrush(glass);
    p.drawEllipse(QPointF(21, 21), 5.5, 5.5);
    p.setPen(c.outline(kPaper, 1.5));
    p.drawArc(QRectF(17.5, 17.5, 7, 7), 100 * 16, 70 * 16);
    return c.finish();
}

QPixmap changeIcon(int size)
{
    Canvas c(size);
    QPainter& p = c.painter();
    const QRectF frame(2.5, 5.5, 22, 18);
    p.setPen(c.outline());
    p.setBrush(kPaper);
    p.drawRoundedRect(frame, 1.5, 1.5);
    const QRectF picture = frame.adjusted(2.5, 2.5, -2.5, -2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(picture, kSky, kPaper));
    p.drawRect(picture);
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(picture.right() - 4, picture.top() + 3.5), 2.2, 2.2);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF({ picture.bottomLeft(), { picture.left() + 6, picture.top() + 5 },
        { picture.left() + 10, picture.top() + 9 }, { picture.left() + 13, picture.top() + 6.5 },
        picture.bottomRight() }));
    // A pencil across the corner.
    p.save();
    p.translate(23, 18.5);
    p.rotate(40);
    p.setPen(c.outline());
    p.setBrush(kAmber);
    p.drawRect(QRectF(-2.6, -10, 5.2, 15));
    p.setBrush(kRed);
    p.drawRect(QRectF(-2.6, -12.5, 5.2, 2.5));
    p.setBrush(QColor(0xf5, 0xd9, 0xb0));
    p.drawPolygon(QPolygonF({ { -2.6, 5 }, { 2.6, 5 }, { 0, 10 } }));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({ { -0.9, 8.2 }, { 0.9, 8.2 }, { 0, 10 } }));
    p.restore();
    return c.finish();
}

QPixmap auditReport(int size)
{
    Canvas c(size);
    QPainter& p = c.painter();
    p.setPen(c.outline());
    p.setBrush(vertical(QRectF(5, 4, 22, 27), QColor(0xc6, 0x8f, 0x52), kCardSide));
    p.drawRoundedRect(QRectF(5, 4, 22, 27), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 8, 16, 20.5));
    p.setBrush(vertical(QRectF(11, 2, 10, 5), QColor(0xd5, 0xdc, 0xe4), QColor(0x8e, 0x9a, 0xa7)));
    p.drawRoundedRect(QRectF(11, 2.5, 10, 5), 1.2, 1.2);
    for (qreal y = 13; y <= 25; y += 5) {
        QPen tick(kGreen, 1.8);
        tick.setCapStyle(Qt::RoundCap);
        tick.setJoinStyle(Qt::RoundJoin);
        p.setPen(tick);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({ { 10, y }, { 11.5, y + 1.5 }, { 14, y - 1.5 } }));
        p.setPen(c.outline(kLine, 1.6));
        p.drawLine(QPointF(16, y), QPointF(21.5, y));
    }
    return c.finish();
}

QPixmap newProgram(int size)
{
    Canvas c(size);
    window(c, QRectF(2.5, 3.5, 24, 20), true);
    badge(c, { 23.5, 23.5 }, kGreen, Glyph::Plus);
    return c.finish();
}

QPixmap uninstallLog(int size)
{
    Canvas c(size);
    QPainter& p = c.painter();
    const QRectF page(7, 3, 20, 26);
    p.setPen(c.outline());
    p.setBrush(vertical(page, kPaper, kPaperShade));
    p.drawRoundedRect(page, 1.5, 1.5);
    p.setPen(c.outline(kSky, 1.6));
    for (qreal y = 9; y <= 25; y += 4)
        p.drawLine(QPointF(12, y), QPointF(24.5, y));
    p.setPen(c.outline(kRed, 1.2));
    p.drawLine(QPointF(11, 4), QPointF(11, 28));
    // The spiral binding.
    for (qreal y = 6; y <= 26; y += 5) {
        p.setPen(c.outline(kInk, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(4.5, y - 1, 5, 2.6), 1.3, 1.3);
    }
    return c.finish();
}

QPixmap exitDoor(int size)
{
    Canvas c(size);
    QPainter& p = c.painter();
    p.setPen(c.outline());
    p.setBrush(QColor(0x4a, 0x58, 0x66));
    p.drawRect(QRectF(4, 3, 15, 26));
    p.setBrush(vertical(QRectF(4, 3, 9, 28), QColor(0xdc, 0xa0, 0x5f), kWood));
    p.drawPolygon(QPolygonF({ { 4, 3 }, { 12.5, 5.5 }, { 12.5, 31 }, { 4, 29 } }));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(10.5, 17.5), 1, 1);
    QPen shaft(kGreen, 3.6);
    shaft.setCapStyle(Qt::RoundCap);
    p.setPen(shaft);
    p.drawLine(QPointF(15.5, 17), QPointF(24, 17));
    p.setPen(c.outline(kGreen, 1));
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF({ { 22.5, 11 }, { 30, 17 }, { 22.5, 23 } }));
    return c.finish();
}

} // namespace

QPixmap toolbarImage(ToolbarImage image, int size)
{
    switch (image) {
    case ToolbarImage::Uninstall:
        return uninstall(size);
    case ToolbarImage::DeleteFromList:
        return deleteFromList(size);
    case ToolbarImage::ProgramDetails:
        return programDetails(size);
    case ToolbarImage::ChangeIcon:
        return changeIcon(size);
    case ToolbarImage::AuditReport:
        return auditReport(size);
    case ToolbarImage::NewProgram:
        return newProgram(size);
    case ToolbarImage::UninstallLog:
        return uninstallLog(size);
    case ToolbarImage::Exit:
        return exitDoor(size);
    }
    return {};
}

QPixmap programPicture(int size)
{
    Canvas c(size);
    window(c, size < 24 ? QRectF(1.5, 3.5, 29, 25) : QRectF(2.5, 4.5, 27, 23), size >= 24);
    if (size < 24) {
        // At 16 pixels the content lines would blur into grey: one block says "program".
        QPainter& p = c.painter();
        p.setPen(Qt::NoPen);
        p.setBrush(kSky);
        p.drawRect(QRectF(6, 14, 20, 9));
    }
    return c.finish();
}

QPixmap exclaimSign(int size)
{
    Canvas c(size);
    QPainter& p = c.painter();
    const QRectF disc(2, 2, 28, 28);
    p.setPen(QPen(kPaper, 2));
    p.setBrush(vertical(disc, QColor(0xf8, 0xbe, 0x4f), QColor(0xe8, 0x8f, 0x1c)));
    p.drawEllipse(disc.adjusted(1, 1, -1, -1));
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(14.2, 7.5, 3.6, 12), 1.8, 1.8);
    p.drawEllipse(QPointF(16, 23.5), 2.1, 2.1);
    return c.finish();
}

} // namespace tw::art
