#include "controls/PaintUtil.h"

namespace quennet {

OffscreenBuffer::OffscreenBuffer(HDC reference, int width, int height)
    : width_(width), height_(height), dc_(CreateCompatibleDC(reference)),
      bitmap_(CreateCompatibleBitmap(reference, width > 0 ? width : 1, height > 0 ? height : 1)),
      select_(dc_.get(), bitmap_.get()) {}

void OffscreenBuffer::CopyTo(HDC target) const {
    BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    MemoryDC dc(CreateCompatibleDC(nullptr));
    SelectGuard select(dc.get(), bitmap);
    return GetPixel(dc.get(), x, y);
}

void DrawBitmap(HDC target, int x, int y, HBITMAP bitmap) {
    SIZE size = BitmapSize(bitmap);
    MemoryDC source(CreateCompatibleDC(target));
    SelectGuard select(source.get(), bitmap);
    BitBlt(target, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

void DrawTransparentBitmap(HDC target, int x, int y, HBITMAP bitmap, COLORREF transparent) {
    SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    // A colour copy of the picture, so the source bitmap is never changed.
    MemoryDC image(CreateCompatibleDC(target));
    GdiBitmap imageBits(CreateCompatibleBitmap(target, size.cx, size.cy));
    SelectGuard selectImage(image.get(), imageBits.get());
    DrawBitmap(image.get(), 0, 0, bitmap);

    // Mask: white where transparent, black where the picture shows.
    MemoryDC mask(CreateCompatibleDC(target));
    GdiBitmap maskBits(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
    SelectGuard selectMask(mask.get(), maskBits.get());
    SetBkColor(image.get(), transparent);
    BitBlt(mask.get(), 0, 0, size.cx, size.cy, image.get(), 0, 0, SRCCOPY);

    // Blacken the transparent pixels of the picture (mask 1 -> background black, 0 -> text
    // white), clear the target where the picture shows, then combine.
    SetBkColor(image.get(), RGB(0, 0, 0));
    SetTextColor(image.get(), RGB(255, 255, 255));
    BitBlt(image.get(), 0, 0, size.cx, size.cy, mask.get(), 0, 0, SRCAND);
    COLORREF oldBk = SetBkColor(target, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
    BitBlt(target, x, y, size.cx, size.cy, mask.get(), 0, 0, SRCAND);
    BitBlt(target, x, y, size.cx, size.cy, image.get(), 0, 0, SRCPAINT);
    SetBkColor(target, oldBk);
    SetTextColor(target, oldText);
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    GdiBrush brush(CreateSolidBrush(color));
    FillRect(dc, &r, brush.get());
}

void FrameSolid(HDC dc, const RECT& r, COLORREF color) {
    GdiPen pen(CreatePen(PS_SOLID, 1, color));
    SelectGuard keepPen(dc, pen.get());
    SelectGuard keepBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void LineSolid(HDC dc, COLORREF color, const POINT* points, int count) {
    GdiPen pen(CreatePen(PS_SOLID, 1, color));
    SelectGuard keepPen(dc, pen.get());
    Polyline(dc, points, count);
}

} // namespace quennet
