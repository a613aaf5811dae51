#include "runtime/Canvas.h"

#include "runtime/Dpi.h"
#include "runtime/Window.h"

namespace quennet {

void TCanvas::FillRect(const RECT& r, TColor color) {
    GdiBrush brush(CreateSolidBrush(ColorToRGB(color)));
    ::FillRect(dc_, &r, brush.get());
}

void TCanvas::FrameRect(const RECT& r, TColor color) {
    GdiBrush brush(CreateSolidBrush(ColorToRGB(color)));
    ::FrameRect(dc_, &r, brush.get());
}

void TCanvas::Rectangle(const RECT& r, TColor pen) {
    GdiPen p(CreatePen(PS_SOLID, 1, ColorToRGB(pen)));
    SelectGuard keepPen(dc_, p.get());
    SelectGuard keepBrush(dc_, GetStockObject(NULL_BRUSH));
    ::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void TCanvas::Polyline(const POINT* points, int count, TColor pen) {
    if (count < 2)
        return;
    GdiPen p(CreatePen(PS_SOLID, 1, ColorToRGB(pen)));
    SelectGuard keepPen(dc_, p.get());
    POINT old;
    MoveToEx(dc_, points[0].x, points[0].y, &old);
    for (int i = 1; i < count; ++i)
        LineTo(dc_, points[i].x, points[i].y);
    MoveToEx(dc_, old.x, old.y, nullptr);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    ::SetPixel(dc_, x, y, ColorToRGB(color));
}

SIZE TCanvas::TextExtent(const std::string& text, HFONT font) const {
    SelectGuard keepFont(dc_, font);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::TextOut(int x, int y, const std::string& text, HFONT font, TColor color) {
    SelectGuard keepFont(dc_, font);
    int oldMode = SetBkMode(dc_, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc_, ColorToRGB(color));
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
    SetTextColor(dc_, oldColor);
    SetBkMode(dc_, oldMode);
}

void TCanvas::DrawText(RECT r, const std::string& text, UINT format, HFONT font, TColor color) {
    SelectGuard keepFont(dc_, font);
    int oldMode = SetBkMode(dc_, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc_, ColorToRGB(color));
    ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
    SetTextColor(dc_, oldColor);
    SetBkMode(dc_, oldMode);
}

void TCanvas::Draw(int x, int y, HBITMAP bitmap) {
    SIZE size = BitmapSize(bitmap);
    MemoryDC source(CreateCompatibleDC(dc_));
    SelectGuard keep(source.get(), bitmap);
    BitBlt(dc_, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

// A monochrome mask of the transparent colour, then the classic two-step blit; works on
// every DC, unlike TransparentBlt.
void TCanvas::DrawTransparent(int x, int y, HBITMAP bitmap, COLORREF transparent) {
    const SIZE size = BitmapSize(bitmap);
    DrawTransparent(x, y, bitmap, transparent, RECT{0, 0, size.cx, size.cy});
}

void TCanvas::DrawTransparent(int x, int y, HBITMAP bitmap, COLORREF transparent, const RECT& part) {
    const SIZE size{part.right - part.left, part.bottom - part.top};
    const int sx = part.left, sy = part.top;
    if (size.cx <= 0 || size.cy <= 0)
        return;
    MemoryDC source(CreateCompatibleDC(dc_));
    SelectGuard keepSource(source.get(), bitmap);
    MemoryDC maskDC(CreateCompatibleDC(dc_));
    GdiBitmap mask(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
    SelectGuard keepMask(maskDC.get(), mask.get());
    COLORREF oldBack = SetBkColor(source.get(), transparent);
    BitBlt(maskDC.get(), 0, 0, size.cx, size.cy, source.get(), sx, sy, SRCCOPY); // 1 = transparent
    SetBkColor(source.get(), oldBack);

    // Copy of the picture with its transparent pixels black.
    MemoryDC imageDC(CreateCompatibleDC(dc_));
    GdiBitmap image(CreateCompatibleBitmap(dc_, size.cx, size.cy));
    SelectGuard keepImage(imageDC.get(), image.get());
    BitBlt(imageDC.get(), 0, 0, size.cx, size.cy, source.get(), sx, sy, SRCCOPY);
    // Mask bits of 1 (transparent) come in as the background colour, 0 as the text colour.
    COLORREF oldText = SetTextColor(imageDC.get(), RGB(0, 0, 0));
    oldBack = SetBkColor(imageDC.get(), RGB(255, 255, 255));
    BitBlt(imageDC.get(), 0, 0, size.cx, size.cy, maskDC.get(), 0, 0, 0x00220326); // DSna
    SetTextColor(imageDC.get(), oldText);
    SetBkColor(imageDC.get(), oldBack);

    // Clear the opaque part on the target, then OR the picture in.
    oldText = SetTextColor(dc_, RGB(0, 0, 0));
    oldBack = SetBkColor(dc_, RGB(255, 255, 255));
    BitBlt(dc_, x, y, size.cx, size.cy, maskDC.get(), 0, 0, SRCAND);
    SetTextColor(dc_, oldText);
    SetBkColor(dc_, oldBack);
    BitBlt(dc_, x, y, size.cx, size.cy, imageDC.get(), 0, 0, SRCPAINT);
}

GdiFont CreateFontFor(const TFont& font, int dpi) {
    if (dpi <= 0)
        dpi = WindowDpi(nullptr);
    return GdiFont(CreateFontA(-MulDiv(font.Size, dpi, 72), 0, 0, 0,
                               font.Bold ? FW_BOLD : FW_NORMAL, font.Italic, font.Underline, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               font.FixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_DONTCARE,
                               font.Name.c_str()));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

GdiBitmap StretchedBitmap(HBITMAP bitmap, int width, int height, COLORREF transparent) {
    const SIZE size = BitmapSize(bitmap);
    WindowDC screen(nullptr);
    MemoryDC original(CreateCompatibleDC(screen.get()));
    SelectGuard keepOriginal(original.get(), bitmap);
    const bool keyed = transparent != CLR_INVALID;
    auto isKey = [&](int x, int y) { return keyed && GetPixel(original.get(), x, y) == transparent; };

    // The transparent pixels next to the picture take the colour of their neighbours, so that
    // smoothing blends the edge with the picture itself rather than with the transparent colour.
    GdiBitmap padded(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    MemoryDC source(CreateCompatibleDC(screen.get()));
    SelectGuard keepSource(source.get(), padded.get());
    BitBlt(source.get(), 0, 0, size.cx, size.cy, original.get(), 0, 0, SRCCOPY);
    for (int y = 0; keyed && y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            if (!isKey(x, y))
                continue;
            int r = 0, g = 0, b = 0, n = 0;
            for (const POINT d : {POINT{-1, 0}, POINT{1, 0}, POINT{0, -1}, POINT{0, 1}}) {
                const int nx = x + d.x, ny = y + d.y;
                if (nx < 0 || ny < 0 || nx >= size.cx || ny >= size.cy || isKey(nx, ny))
                    continue;
                const COLORREF c = GetPixel(original.get(), nx, ny);
                r += GetRValue(c), g += GetGValue(c), b += GetBValue(c), ++n;
            }
            if (n)
                SetPixel(source.get(), x, y, RGB(r / n, g / n, b / n));
        }

    GdiBitmap result(CreateCompatibleBitmap(screen.get(), width, height));
    MemoryDC target(CreateCompatibleDC(screen.get()));
    SelectGuard keepTarget(target.get(), result.get());
    SetStretchBltMode(target.get(), HALFTONE);
    SetBrushOrgEx(target.get(), 0, 0, nullptr); // HALFTONE needs it reset after the mode
    StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, size.cx, size.cy, SRCCOPY);

    // Transparent again exactly where the nearest original pixel is.
    for (int y = 0; keyed && y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (isKey(x * size.cx / width, y * size.cy / height))
                SetPixel(target.get(), x, y, transparent);
    return result;
}

HBITMAP TScaledPicture::At(HBITMAP design, int dpi, COLORREF transparent) {
    if (!design || dpi == kDesignDpi)
        return design;
    if (dpi != dpi_ || transparent != transparent_) {
        const SIZE size = BitmapSize(design);
        scaled_ = StretchedBitmap(design, ScaleDesignUnits(size.cx, dpi), ScaleDesignUnits(size.cy, dpi), transparent);
        dpi_ = dpi;
        transparent_ = transparent;
    }
    return scaled_.get();
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    WindowDC screen(nullptr);
    MemoryDC dc(CreateCompatibleDC(screen.get()));
    SelectGuard keep(dc.get(), bitmap);
    return GetPixel(dc.get(), x, y);
}

namespace {

// A bitmap compatible with a memory DC would be monochrome; colour comes from the screen.
HBITMAP MakeColourBitmap(HDC target, int width, int height) {
    if (target && GetObjectType(target) != OBJ_MEMDC)
        return CreateCompatibleBitmap(target, width, height);
    WindowDC screen(nullptr);
    return CreateCompatibleBitmap(screen.get(), width, height);
}

} // namespace

TOffscreen::TOffscreen(HDC target, int width, int height)
    : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1), dc_(CreateCompatibleDC(target)),
      bitmap_(MakeColourBitmap(target, width_, height_)), selection_(dc_.get(), bitmap_.get()),
      canvas_(dc_.get()) {}

void TOffscreen::CopyTo(HDC target, int x, int y) const {
    BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

void PaintParentBackground(TWinControl& control, HDC dc) {
    TWinControl* parent = control.Parent();
    if (!parent || !parent->HandleAllocated())
        return;
    HWND parentWindow = parent->HandleOrNull();
    SavedDCState keep(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x - control.Left(), origin.y - control.Top(), nullptr);
    RECT parentClient;
    GetClientRect(parentWindow, &parentClient);
    IntersectClipRect(dc, parentClient.left, parentClient.top, parentClient.right, parentClient.bottom);
    SendMessageA(parentWindow, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parentWindow, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

namespace {

struct Dib {
    MemoryDC dc;
    GdiBitmap bitmap;
    void* bits = nullptr;
};

Dib MakeDib(int width, int height) {
    Dib dib;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    WindowDC screen(nullptr);
    dib.dc.reset(CreateCompatibleDC(screen.get()));
    dib.bitmap.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &dib.bits, nullptr, 0));
    return dib;
}

TCapturedImage ReadDib(const Dib& dib, int width, int height) {
    GdiFlush();
    TCapturedImage image;
    image.Width = width;
    image.Height = height;
    image.Pixels.resize(static_cast<size_t>(width) * height);
    const auto* bgra = static_cast<const unsigned char*>(dib.bits);
    for (size_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels[i] = RGB(bgra[i * 4 + 2], bgra[i * 4 + 1], bgra[i * 4]);
    return image;
}

} // namespace

TCapturedImage CaptureClient(TWinControl& control) {
    HWND window = control.Handle();
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0)
        return TCapturedImage{};
    Dib dib = MakeDib(width, height);
    {
        SelectGuard keep(dib.dc.get(), dib.bitmap.get());
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc.get()),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
    return ReadDib(dib, width, height);
}

TCapturedImage CaptureDC(HDC dc, int width, int height) {
    if (width <= 0 || height <= 0)
        return TCapturedImage{};
    Dib dib = MakeDib(width, height);
    {
        SelectGuard keep(dib.dc.get(), dib.bitmap.get());
        BitBlt(dib.dc.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    }
    return ReadDib(dib, width, height);
}

} // namespace quennet
