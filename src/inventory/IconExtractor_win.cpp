// SPDX-License-Identifier: MIT
#include "inventory/IconExtractor.h"

#include "base/Text.h"

#include <windows.h>

#include <shellapi.h>

namespace tw::icons {
namespace {

constexpr int kMaxSide = 1024;

// The two bitmaps GetIconInfo hands over belong to the caller.
class IconBitmaps
{
public:
    explicit IconBitmaps(HICON icon) { m_ok = GetIconInfo(icon, &m_info) != 0; }
    ~IconBitmaps()
    {
        if (m_info.hbmColor)
            DeleteObject(m_info.hbmColor);
        if (m_info.hbmMask)
            DeleteObject(m_info.hbmMask);
    }
    IconBitmaps(const IconBitmaps&) = delete;
    IconBitmaps& operator=(const IconBitmaps&) = delete;

    bool ok() const { return m_ok && m_info.hbmMask; }
    HBITMAP colour() const { return m_info.hbmColor; }
    HBITMAP mask() const { return m_info.hbmMask; }

private:
    ICONINFO m_info {};
    bool m_ok = false;
};

class ScreenDc
{
public:
    ScreenDc()
        : m_dc(GetDC(nullptr))
    { }
    ~ScreenDc()
    {
        if (m_dc)
            ReleaseDC(nullptr, m_dc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

bool bitmapSize(HBITMAP bitmap, int& width, int& height)
{
    BITMAP bm {};
    if (GetObjectW(bitmap, sizeof bm, &bm) == 0)
        return false;
    width = bm.bmWidth;
    height = bm.bmHeight;
    return true;
}

// The bitmap as 32-bit BGRA rows, top row first; GDI converts whatever depth it holds.
bool readPixels(HDC dc, HBITMAP bitmap, int width, int height, std::vector<std::uint8_t>& out)
{
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    out.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    return GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), out.data(), &info, DIB_RGB_COLORS) == height;
}

std::optional<IconImage> toImage(HICON icon)
{
    const IconBitmaps bitmaps(icon);
    const ScreenDc dc;
    if (!bitmaps.ok() || !dc.get())
        return std::nullopt;
    int width = 0;
    int height = 0;
    IconImage image;
    image.format = IconImage::Format::Bgra;
    std::vector<std::uint8_t> mask;
    if (!bitmaps.colour()) {
        // A monochrome icon: one bitmap, the AND mask above the XOR image.
        if (!bitmapSize(bitmaps.mask(), width, height) || width <= 0 || width > kMaxSide || height < 2
            || height / 2 > kMaxSide)
            return std::nullopt;
        std::vector<std::uint8_t> both;
        if (!readPixels(dc.get(), bitmaps.mask(), width, height, both))
            return std::nullopt;
        height /= 2;
        const std::size_t half = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
        mask.assign(both.begin(), both.begin() + static_cast<std::ptrdiff_t>(half));
        image.data.assign(both.begin() + static_cast<std::ptrdiff_t>(half), both.end());
    } else {
        if (!bitmapSize(bitmaps.colour(), width, height) || width <= 0 || width > kMaxSide || height <= 0
            || height > kMaxSide)
            return std::nullopt;
        if (!readPixels(dc.get(), bitmaps.colour(), width, height, image.data))
            return std::nullopt;
        bool hasAlpha = false;
        for (std::size_t i = 3; i < image.data.size() && !hasAlpha; i += 4)
            hasAlpha = image.data[i] != 0;
        // An icon with an alpha channel carries its own transparency; the mask is only for old displays.
        if (!hasAlpha && !readPixels(dc.get(), bitmaps.mask(), width, height, mask))
            return std::nullopt;
    }
    if (!mask.empty()) {
        // A black mask pixel marks an opaque image pixel.
        for (std::size_t i = 0; i < image.data.size(); i += 4) {
            const bool opaque = mask[i] == 0 && mask[i + 1] == 0 && mask[i + 2] == 0;
            image.data[i + 3] = opaque ? 0xFF : 0;
        }
    }
    image.width = width;
    image.height = height;
    return image;
}

} // namespace

std::optional<IconPair> ExtractIconExA(const std::string& file, std::int32_t index)
{
    HICON largeIcon = nullptr;
    HICON smallIcon = nullptr;
    const UINT count = ::ExtractIconExA(text::utf8ToAnsi(file).c_str(), index, &largeIcon, &smallIcon, 1);
    std::optional<IconPair> pair;
    if (count > 0 && largeIcon && smallIcon) {
        auto largeImage = toImage(largeIcon);
        auto smallImage = toImage(smallIcon);
        if (largeImage && smallImage)
            pair = IconPair { std::move(*largeImage), std::move(*smallImage) };
    }
    if (smallIcon)
        DestroyIcon(smallIcon);
    if (largeIcon)
        DestroyIcon(largeIcon);
    return pair;
}

} // namespace tw::icons
