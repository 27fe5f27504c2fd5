// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>

namespace tw {

// An image list as the list view and the toolbar use it: images of one size, counted from 1, added
// at the end and only ever cleared all at once.
class ImageList : public QObject
{
    Q_OBJECT

public:
    ImageList(const QString& name, int imageSize, QObject* parent = nullptr);

    int imageSize() const { return m_size; }
    // Appends the image, scaled to the list's size when it has another; returns the new count.
    int add(const QPixmap& image);
    void clear();
    int count() const { return static_cast<int>(m_images.size()); }
    // Image `index` (from 1), or a null pixmap when there is none.
    QPixmap image(int index) const;

private:
    int m_size;
    QList<QPixmap> m_images;
};

} // namespace tw
