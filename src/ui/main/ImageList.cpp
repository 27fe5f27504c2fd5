// SPDX-License-Identifier: MIT
#include "ui/main/ImageList.h"

namespace tw {

ImageList::ImageList(const QString& name, int imageSize, QObject* parent)
    : QObject(parent)
    , m_size(imageSize)
{
    setObjectName(name);
}

QPixmap ImageList::fitted(const QPixmap& image) const
{
    if (image.isNull() || (image.width() == m_size && image.height() == m_size))
        return image;
    return image.scaled(m_size, m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int ImageList::add(const QPixmap& image)
{
    m_images.push_back({ fitted(image), {} });
    return count();
}

int ImageList::addDeferred(std::function<QPixmap()> make)
{
    m_images.push_back({ QPixmap(), std::move(make) });
    return count();
}

void ImageList::clear()
{
    m_images.clear();
}

QPixmap ImageList::image(int index) const
{
    if (index < 1 || index > count())
        return {};
    Slot& slot = m_images[static_cast<std::size_t>(index - 1)];
    if (slot.make) {
        // Taken out first: making the image may ask the list for another one.
        const auto make = std::move(slot.make);
        slot.make = nullptr;
        const QPixmap made = fitted(make());
        m_images[static_cast<std::size_t>(index - 1)].image = made;
    }
    return m_images[static_cast<std::size_t>(index - 1)].image;
}

} // namespace tw
