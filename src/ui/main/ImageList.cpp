// SPDX-License-Identifier: MIT
#include "ui/main/ImageList.h"

namespace tw {

ImageList::ImageList(const QString& name, int imageSize, QObject* parent)
    : QObject(parent)
    , m_size(imageSize)
{
    setObjectName(name);
}

int ImageList::add(const QPixmap& image)
{
    if (image.width() == m_size && image.height() == m_size)
        m_images.append(image);
    else
        m_images.append(image.scaled(m_size, m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
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
    return m_images.at(index - 1);
}

} // namespace tw
