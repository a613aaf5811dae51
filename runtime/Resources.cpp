#include "runtime/Resources.h"

#include <mmsystem.h>

namespace quennet {

HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}

GdiBitmap LoadBitmapResource(const char* name) {
    return GdiBitmap(LoadBitmapA(ProgramInstance(), name));
}

HCURSOR LoadCursorResource(const char* name) {
    return LoadCursorA(ProgramInstance(), name);
}

const void* FindResourceData(const char* name, const char* type, DWORD* size) {
    HRSRC found = FindResourceA(ProgramInstance(), name, type);
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(ProgramInstance(), found);
    if (!loaded)
        return nullptr;
    if (size)
        *size = SizeofResource(ProgramInstance(), found);
    return LockResource(loaded); // resources stay mapped with the module; nothing to free
}

bool PlayWaveResource(const char* name, const char* type, bool async) {
    const void* data = FindResourceData(name, type);
    if (!data)
        return false;
    sndPlaySoundA(static_cast<const char*>(data), SND_MEMORY | (async ? SND_ASYNC : SND_SYNC));
    return true;
}

void PlayWaveResourceAsync(int id) {
    PlaySoundA(MAKEINTRESOURCEA(id), ProgramInstance(), SND_RESOURCE | SND_ASYNC);
}

TImageList::TImageList(int width, int height, UINT flags, int grow)
    : owned_(ImageList_Create(width, height, flags, 0, grow)) {}

TImageList TImageList::Share(HIMAGELIST shared) {
    TImageList list;
    list.shared_ = shared;
    return list;
}

int TImageList::AddMasked(HBITMAP bitmap, COLORREF maskColor) {
    return ImageList_AddMasked(Handle(), bitmap, maskColor);
}

int TImageList::Add(HBITMAP image, HBITMAP mask) {
    return ImageList_Add(Handle(), image, mask);
}

int TImageList::AddIcon(HICON icon) {
    return ImageList_AddIcon(Handle(), icon);
}

int TImageList::Count() const {
    return Handle() ? ImageList_GetImageCount(Handle()) : 0;
}

SIZE TImageList::ImageSize() const {
    int cx = 0, cy = 0;
    if (Handle())
        ImageList_GetIconSize(Handle(), &cx, &cy);
    return SIZE{cx, cy};
}

void TImageList::Clear() {
    ImageList_RemoveAll(Handle());
}

void TImageList::Draw(HDC dc, int index, int x, int y, UINT style) const {
    ImageList_Draw(Handle(), index, dc, x, y, style);
}

} // namespace quennet
