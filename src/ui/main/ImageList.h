// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPixmap>

#include <functional>
#include <vector>

namespace tw {

// An image list as the list view and the toolbar use it: images of one size, counted from 1, added
// at the end and only ever cleared all at once. An image can be added before it is made: it is made
// when first asked for, so that a long list pays only for the images it shows.
class ImageList : public QObject
{
    Q_OBJECT

public:
    ImageList(const QString& name, int imageSize, QObject* parent = nullptr);

    int imageSize() const { return m_size; }
    // Appends the image, scaled to the list's size when it has another; returns the new count.
    int add(const QPixmap& image);
    // Appends an image that `make` gives when it is first asked for, scaled as add() scales; returns
    // the new count.
    int addDeferred(std::function<QPixmap()> make);
    void clear();
    int count() const { return static_cast<int>(m_images.size()); }
    // Image `index` (from 1), or a null pixmap when there is none.
    QPixmap image(int index) const;

private:
    struct Slot
    {
        QPixmap image;
        std::function<QPixmap()> make; // set until the image is made
    };

    QPixmap fitted(const QPixmap& image) const;

    int m_size;
    mutable std::vector<Slot> m_images;
};

} // namespace tw
