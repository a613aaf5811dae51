#include "hexcontrol/HexDataObject.h"

#include "base/WidePath.h"
#include "runtime/Handles.h"

#include <algorithm>
#include <cstring>

namespace quennet {

namespace {
const HexClipKind AllKinds[HexClipKindCount] = {HexClipKind::Private, HexClipKind::Text,
                                                HexClipKind::FileGroupDescriptor, HexClipKind::FileContents,
                                                HexClipKind::RegEditHexData, HexClipKind::FileGroupDescriptorW};

// The name as programs that read the ANSI descriptor take it: in the user's legacy ANSI page,
// not CP_ACP, which the program's UTF-8 manifest makes UTF-8; characters that page lacks
// become "?".
std::string InLegacyAnsiPage(const std::string& utf8) {
    UINT page = 1252;
    wchar_t digits[8]{};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, 8) > 0 && _wtoi(digits) > 0)
        page = static_cast<UINT>(_wtoi(digits));
    const std::wstring wide = Utf8ToWide(utf8);
    if (wide.empty())
        return std::string();
    const int n = WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, "?", nullptr);
    return out;
}

FORMATETC FormatEtcOf(HexClipKind kind) {
    return FORMATETC{THexDataObject::FormatOf(kind), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

std::uint64_t NowAsFileTime() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    FILETIME ft{};
    SystemTimeToFileTime(&now, &ft);
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

template <class Self, class Interface> HRESULT QueryFor(Self* self, REFIID iid, REFIID own, void** out) {
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, own)) {
        *out = static_cast<Interface*>(self);
        self->AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

template <class Self> ULONG ReleaseOf(Self* self, std::atomic<ULONG>& refs) {
    ULONG left = --refs;
    if (left == 0)
        delete self;
    return left;
}
} // namespace

const HexClipboardFormats& HexRegisterClipboardFormats() {
    static const HexClipboardFormats formats = [] {
        auto reg = [](const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); };
        HexClipboardFormats f;
        f.Private = reg(HexPrivateFormatName);
        f.RegEditHexData = reg("RegEdit_HexData");
        f.RichText = reg("Rich Text Format");
        f.Html = reg("HTML Format");
        f.FileContents = reg("FileContents");
        f.FileGroupDescriptor = reg("FileGroupDescriptor");
        f.FileGroupDescriptorW = reg("FileGroupDescriptorW");
        f.PerformedDropEffect = reg("Performed DropEffect");
        f.LogicalPerformedDropEffect = reg("Logical Performed DropEffect");
        return f;
    }();
    return formats;
}

// ---- data object ------------------------------------------------------------------------------

THexDataObject::THexDataObject(std::vector<std::uint8_t> bytes, bool swapNibbles, bool asHexText,
                               const std::string& fileName)
    : bytes_(std::move(bytes)), swapNibbles_(swapNibbles), asHexText_(asHexText),
      virtualName_(HexVirtualFileName(fileName)), ansiName_(InLegacyAnsiPage(virtualName_)) {}

CLIPFORMAT THexDataObject::FormatOf(HexClipKind kind) {
    const HexClipboardFormats& f = HexRegisterClipboardFormats();
    switch (kind) {
    case HexClipKind::Private:
        return f.Private;
    case HexClipKind::Text:
        return CF_TEXT;
    case HexClipKind::FileGroupDescriptor:
        return f.FileGroupDescriptor;
    case HexClipKind::FileContents:
        return f.FileContents;
    case HexClipKind::FileGroupDescriptorW:
        return f.FileGroupDescriptorW;
    case HexClipKind::RegEditHexData:
        return f.RegEditHexData;
    }
    return 0;
}

HRESULT THexDataObject::QueryInterface(REFIID iid, void** out) {
    return QueryFor<THexDataObject, IDataObject>(this, iid, IID_IDataObject, out);
}
ULONG THexDataObject::AddRef() {
    return ++refs_;
}
ULONG THexDataObject::Release() {
    return ReleaseOf(this, refs_);
}

HRESULT THexDataObject::Check(const FORMATETC* format, HexClipKind* kind) const {
    if (!format)
        return E_INVALIDARG;
    if (format->dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!(format->tymed & TYMED_HGLOBAL))
        return DV_E_TYMED;
    const bool contents = format->cfFormat == FormatOf(HexClipKind::FileContents);
    if (!contents && format->lindex != -1 && format->lindex != 0)
        return DV_E_LINDEX;
    for (HexClipKind k : AllKinds)
        if (format->cfFormat == FormatOf(k)) {
            if (kind)
                *kind = k;
            return S_OK;
        }
    return DV_E_FORMATETC;
}

HRESULT THexDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!medium)
        return E_POINTER;
    HexClipKind kind{};
    HRESULT check = Check(format, &kind);
    if (FAILED(check))
        return check;
    std::vector<std::uint8_t> content;
    try {
        content = RenderHexClip(kind, bytes_, asHexText_, swapNibbles_,
                                kind == HexClipKind::FileGroupDescriptor ? ansiName_ : virtualName_,
                                NowAsFileTime());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, content.size()));
    if (!block)
        return E_OUTOFMEMORY;
    {
        GlobalLockGuard<std::uint8_t> lock(block.get());
        if (!lock)
            return E_OUTOFMEMORY;
        if (!content.empty())
            std::memcpy(lock.get(), content.data(), content.size());
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block.release();
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT THexDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

HRESULT THexDataObject::QueryGetData(FORMATETC* format) {
    return Check(format, nullptr);
}

HRESULT THexDataObject::GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) {
    if (!in || !out)
        return E_INVALIDARG;
    *out = *in;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT THexDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (!format || !medium)
        return E_INVALIDARG;
    const HexClipboardFormats& f = HexRegisterClipboardFormats();
    HRESULT result = E_NOTIMPL;
    if ((format->cfFormat == f.PerformedDropEffect || format->cfFormat == f.LogicalPerformedDropEffect) &&
        (format->tymed & TYMED_HGLOBAL) && medium->tymed == TYMED_HGLOBAL) {
        GlobalLockGuard<DWORD> lock(medium->hGlobal);
        if (lock) {
            dropEffect_ = *lock.get();
            hasDropEffect_ = true;
            result = S_OK;
        }
    }
    if (release)
        ReleaseStgMedium(medium);
    return result;
}

HRESULT THexDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    *out = new THexFormatEnumerator();
    return S_OK;
}

HRESULT THexDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT THexDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT THexDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---- format enumerator ------------------------------------------------------------------------

HRESULT THexFormatEnumerator::QueryInterface(REFIID iid, void** out) {
    return QueryFor<THexFormatEnumerator, IEnumFORMATETC>(this, iid, IID_IEnumFORMATETC, out);
}
ULONG THexFormatEnumerator::AddRef() {
    return ++refs_;
}
ULONG THexFormatEnumerator::Release() {
    return ReleaseOf(this, refs_);
}

HRESULT THexFormatEnumerator::Next(ULONG count, FORMATETC* out, ULONG* fetched) {
    if (!out)
        return E_POINTER;
    ULONG n = 0;
    while (n < count && next_ < HexClipKindCount)
        out[n++] = FormatEtcOf(AllKinds[next_++]);
    if (fetched)
        *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

// As IEnumXXXX::Skip: goes as far as it can, and answers S_OK only when it skipped them all.
HRESULT THexFormatEnumerator::Skip(ULONG count) {
    const ULONG left = HexClipKindCount - next_;
    const ULONG skipped = count < left ? count : left;
    next_ += skipped;
    return skipped == count ? S_OK : S_FALSE;
}

HRESULT THexFormatEnumerator::Reset() {
    next_ = 0;
    return S_OK;
}

HRESULT THexFormatEnumerator::Clone(IEnumFORMATETC** out) {
    if (!out)
        return E_POINTER;
    *out = new THexFormatEnumerator(next_); // at the same place
    return S_OK;
}

// ---- drop source and target -------------------------------------------------------------------

HRESULT THexDropSource::QueryInterface(REFIID iid, void** out) {
    return QueryFor<THexDropSource, IDropSource>(this, iid, IID_IDropSource, out);
}
ULONG THexDropSource::AddRef() {
    return ++refs_;
}
ULONG THexDropSource::Release() {
    return ReleaseOf(this, refs_);
}

HRESULT THexDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keys) {
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON))
        return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT THexDropSource::GiveFeedback(DWORD) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

HRESULT THexDropTarget::QueryInterface(REFIID iid, void** out) {
    return QueryFor<THexDropTarget, IDropTarget>(this, iid, IID_IDropTarget, out);
}
ULONG THexDropTarget::AddRef() {
    return ++refs_;
}
ULONG THexDropTarget::Release() {
    return ReleaseOf(this, refs_);
}

void THexDropTarget::Track(POINTL at, DWORD* effect) {
    if (effect)
        *effect = DROPEFFECT_NONE;
    if (site_)
        site_->HexDropTrack(POINT{at.x, at.y});
}

HRESULT THexDropTarget::DragEnter(IDataObject*, DWORD, POINTL at, DWORD* effect) {
    Track(at, effect);
    return S_OK;
}

HRESULT THexDropTarget::DragOver(DWORD, POINTL at, DWORD* effect) {
    Track(at, effect);
    return S_OK;
}

HRESULT THexDropTarget::DragLeave() {
    if (site_)
        site_->HexDropHide();
    return S_OK;
}

HRESULT THexDropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
    if (effect)
        *effect = DROPEFFECT_NONE;
    if (site_)
        site_->HexDropHide();
    return S_OK;
}

} // namespace quennet
