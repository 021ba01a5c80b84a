#include "ui/ImageList.h"

#include "ui/Colors.h"

#include <QBitmap>
#include <QPainter>
#include <QPolygon>
#include <functional>

namespace kolvane {

ImageList::ImageList(QSize imageSize, quint32 maskColorBgr, QObject* parent)
    : QObject(parent), m_size(imageSize), m_mask(maskColorBgr)
{}

int ImageList::indexOf(const QString& key) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key == key)
            return i;
    }
    return -1;
}

void ImageList::add(const QString& key, const QImage& picture)
{
    Entry e;
    e.key = key;
    e.source = picture.size() == m_size ? picture : picture.scaled(m_size);
    QImage argb = e.source.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = toQColor(m_mask).rgb() & 0x00FFFFFFu;
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == mask)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    e.masked = QPixmap::fromImage(argb);
    const int at = indexOf(key);
    if (at >= 0)
        m_entries[at] = e;
    else
        m_entries << e;
}

QStringList ImageList::keys() const
{
    QStringList out;
    for (const Entry& e : m_entries)
        out << e.key;
    return out;
}

QImage ImageList::source(const QString& key) const
{
    const int at = indexOf(key);
    return at >= 0 ? m_entries[at].source : QImage();
}

QPixmap ImageList::picture(const QString& key) const
{
    const int at = indexOf(key);
    return at >= 0 ? m_entries[at].masked : QPixmap();
}

// ---------------------------------------------------------------- the toolbar's pictures

namespace {

// The sixteen colours of the classic palette; light grey is the mask colour, so no
// picture uses it for anything that should show.
const QColor kBlack(0, 0, 0);
const QColor kMaroon(128, 0, 0);
const QColor kOlive(128, 128, 0);
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

QList<QRgb> classicPalette()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// Draws one 16 x 16 picture on the mask colour, pixel-exact (no smoothing), and keeps it
// to the sixteen colours.
QImage glyph(const std::function<void(QPainter&)>& draw)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(kSilver);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        draw(p);
    }
    return img.convertToFormat(QImage::Format_Indexed8, classicPalette(), Qt::ThresholdDither | Qt::AvoidDither);
}

// A filled shape with a one-pixel outline.
void box(QPainter& p, int x, int y, int w, int h, const QColor& fill, const QColor& line = kBlack)
{
    p.fillRect(x, y, w, h, line);
    p.fillRect(x + 1, y + 1, w - 2, h - 2, fill);
}

void textLines(QPainter& p, const QList<int>& widths, Qt::Alignment align)
{
    int y = 1;
    for (int w : widths) {
        int x = 1;
        if (align == Qt::AlignHCenter)
            x = (16 - w) / 2;
        else if (align == Qt::AlignRight)
            x = 15 - w;
        p.fillRect(x, y, w, 2, kBlack);
        y += 3;
    }
}

void sortPicture(QPainter& p, bool ascending)
{
    // A downward arrow beside bars that grow (ascending) or shrink (descending).
    p.fillRect(3, 1, 2, 11, kNavy);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawPolygon(QPolygon({QPoint(0, 11), QPoint(7, 11), QPoint(4, 15), QPoint(3, 15)}));
    const QList<int> widths = ascending ? QList<int>{2, 4, 6, 8} : QList<int>{8, 6, 4, 2};
    int y = 1;
    for (int w : widths) {
        p.fillRect(8, y, w, 2, ascending ? kTeal : kMaroon);
        y += 4;
    }
}

}  // namespace

ImageList* ImageList::toolbarIcons(QObject* parent)
{
    auto* list = new ImageList(QSize(16, 16), 0x00C0C0C0u, parent);

    list->add(QStringLiteral("New"), glyph([](QPainter& p) {
                  p.setPen(kBlack);
                  p.setBrush(kWhite);
                  p.drawPolygon(QPolygon({QPoint(2, 0), QPoint(9, 0), QPoint(13, 4), QPoint(13, 15), QPoint(2, 15)}));
                  p.drawLine(9, 0, 9, 4);
                  p.drawLine(9, 4, 13, 4);
              }));
    list->add(QStringLiteral("Open"), glyph([](QPainter& p) {
                  box(p, 0, 3, 12, 12, kYellow);
                  p.fillRect(1, 2, 5, 1, kBlack);
                  p.setPen(kBlack);
                  p.setBrush(kOlive);
                  p.drawPolygon(QPolygon({QPoint(0, 14), QPoint(4, 7), QPoint(15, 7), QPoint(11, 14)}));
              }));
    list->add(QStringLiteral("Save"), glyph([](QPainter& p) {
                  box(p, 1, 1, 14, 14, kNavy);
                  box(p, 4, 2, 8, 6, kWhite);
                  box(p, 5, 10, 6, 5, kGrey);
                  p.fillRect(8, 11, 2, 3, kBlack);
              }));
    list->add(QStringLiteral("Print"), glyph([](QPainter& p) {
                  box(p, 4, 0, 8, 7, kWhite);
                  box(p, 0, 6, 16, 6, kGrey);
                  p.fillRect(12, 8, 2, 1, kLime);
                  box(p, 3, 11, 10, 5, kWhite);
              }));
    list->add(QStringLiteral("Cut"), glyph([](QPainter& p) {
                  p.setPen(QPen(kBlack, 2));
                  p.drawLine(4, 0, 9, 9);
                  p.drawLine(11, 0, 6, 9);
                  p.setPen(QPen(kNavy, 2));
                  p.setBrush(Qt::NoBrush);
                  p.drawEllipse(1, 10, 5, 5);
                  p.drawEllipse(9, 10, 5, 5);
              }));
    list->add(QStringLiteral("Copy"), glyph([](QPainter& p) {
                  box(p, 0, 0, 9, 11, kWhite);
                  box(p, 6, 5, 10, 11, kWhite, kNavy);
                  for (int y = 8; y <= 13; y += 2)
                      p.fillRect(8, y, 6, 1, kNavy);
              }));
    list->add(QStringLiteral("Paste"), glyph([](QPainter& p) {
                  box(p, 1, 2, 11, 13, kOlive);
                  box(p, 4, 0, 5, 4, kGrey);
                  box(p, 6, 6, 10, 10, kWhite);
                  for (int y = 9; y <= 13; y += 2)
                      p.fillRect(8, y, 6, 1, kBlack);
              }));
    list->add(QStringLiteral("Bold"), glyph([](QPainter& p) {
                  p.fillRect(3, 2, 3, 12, kBlack);
                  p.fillRect(6, 2, 4, 2, kBlack);
                  p.fillRect(6, 7, 5, 2, kBlack);
                  p.fillRect(6, 12, 5, 2, kBlack);
                  p.fillRect(10, 3, 2, 4, kBlack);
                  p.fillRect(11, 9, 2, 3, kBlack);
              }));
    list->add(QStringLiteral("Italic"), glyph([](QPainter& p) {
                  p.fillRect(7, 2, 6, 2, kBlack);
                  p.fillRect(3, 12, 6, 2, kBlack);
                  p.setPen(QPen(kBlack, 2));
                  p.drawLine(10, 3, 6, 12);
              }));
    list->add(QStringLiteral("Underline"), glyph([](QPainter& p) {
                  p.fillRect(3, 1, 3, 9, kBlack);
                  p.fillRect(10, 1, 3, 9, kBlack);
                  p.fillRect(4, 10, 8, 2, kBlack);
                  p.fillRect(2, 14, 12, 1, kBlack);
              }));
    list->add(QStringLiteral("Align Left"), glyph([](QPainter& p) {
                  textLines(p, {14, 9, 14, 9, 14}, Qt::AlignLeft);
              }));
    list->add(QStringLiteral("Center"), glyph([](QPainter& p) { textLines(p, {14, 8, 14, 8, 14}, Qt::AlignHCenter); }));
    list->add(QStringLiteral("Align Right"), glyph([](QPainter& p) {
                  textLines(p, {14, 9, 14, 9, 14}, Qt::AlignRight);
              }));
    list->add(QStringLiteral("Sort Ascending"), glyph([](QPainter& p) { sortPicture(p, true); }));
    list->add(QStringLiteral("Sort Descending"), glyph([](QPainter& p) { sortPicture(p, false); }));
    return list;
}

}  // namespace kolvane
