#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QStringList>

namespace kolvane {

// Pictures of one size, looked up by key. Pixels of the mask colour are transparent when
// a picture is handed out; the picture as drawn stays available for comparison.
class ImageList : public QObject {
    Q_OBJECT

public:
    ImageList(QSize imageSize, quint32 maskColorBgr, QObject* parent = nullptr);

    QSize imageSize() const { return m_size; }
    quint32 maskColor() const { return m_mask; }

    // Adds a picture under `key`; a picture of another size is scaled to the list's size.
    void add(const QString& key, const QImage& picture);

    int count() const { return int(m_entries.size()); }
    QStringList keys() const;
    bool contains(const QString& key) const { return indexOf(key) >= 0; }

    // The picture as drawn, without the mask applied; null for an unknown key.
    QImage source(const QString& key) const;
    // The picture with its mask colour made transparent; null for an unknown key.
    QPixmap picture(const QString& key) const;

    // The toolbar's pictures: "New", "Open", ... "Sort Descending", 16 x 16 pixels in 16
    // colours, light grey (&H00C0C0C0) as mask colour.
    static ImageList* toolbarIcons(QObject* parent = nullptr);

private:
    struct Entry {
        QString key;
        QImage source;
        QPixmap masked;
    };
    int indexOf(const QString& key) const;

    QSize m_size;
    quint32 m_mask;
    QList<Entry> m_entries;
};

}  // namespace kolvane
