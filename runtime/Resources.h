// Things the executable carries as resources: bitmaps, cursors, wave sounds; and image
// lists built from bitmaps. Lookups by name compare without regard to case, as Windows does.
// A missing resource gives an empty result, never an error: the controls that use them draw
// or play nothing in that case.
#pragma once

#include "runtime/Handles.h"

#include <string>

namespace quennet {

HINSTANCE ProgramInstance();

GdiBitmap LoadBitmapResource(const char* name);
// Shared by the system; must not be destroyed. nullptr when missing.
HCURSOR LoadCursorResource(const char* name);

// The bytes of a resource of any type, valid for the life of the program; nullptr when
// missing.
const void* FindResourceData(const char* name, const char* type, DWORD* size = nullptr);

// A wave resource of type `type` played from memory with sndPlaySoundA (SND_MEMORY);
// synchronous calls return when the sound has ended. Whether the resource was found.
bool PlayWaveResource(const char* name, const char* type, bool async);
// A "WAVE" resource by number through PlaySoundA (SND_RESOURCE | SND_ASYNC).
void PlayWaveResourceAsync(int id);

// An image list owned (and destroyed) by this object, or a shared one it only uses.
class TImageList {
  public:
    TImageList() = default;
    TImageList(int width, int height, UINT flags = ILC_COLOR24 | ILC_MASK, int grow = 4);
    static TImageList Share(HIMAGELIST shared); // the system image list, for one

    // The index of the first image added; a bitmap wider than one image adds several.
    int AddMasked(HBITMAP bitmap, COLORREF maskColor);
    int Add(HBITMAP image, HBITMAP mask = nullptr);
    int AddIcon(HICON icon);
    int Count() const;
    SIZE ImageSize() const;
    void Clear();
    void Draw(HDC dc, int index, int x, int y, UINT style = ILD_NORMAL) const;
    HIMAGELIST Handle() const { return owned_ ? owned_.get() : shared_; }

  private:
    OwnedImageList owned_;
    HIMAGELIST shared_ = nullptr;
};

} // namespace quennet
