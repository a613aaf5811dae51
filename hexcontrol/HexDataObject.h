#pragma once
// The OLE side of the hex view: the data object that carries a copy of the selected bytes in
// six formats, its format enumerator, and the drop source and drop target of drag and drop.
#include "hexcontrol/HexClipData.h"

#include <ole2.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace quennet {

// Clipboard format identifiers, registered once per run (HexRegisterClipboardFormats).
struct HexClipboardFormats {
    CLIPFORMAT Private = 0;
    CLIPFORMAT RegEditHexData = 0;
    CLIPFORMAT RichText = 0;
    CLIPFORMAT Html = 0;
    CLIPFORMAT FileContents = 0;
    CLIPFORMAT FileGroupDescriptor = 0;
    CLIPFORMAT FileGroupDescriptorW = 0;
    CLIPFORMAT PerformedDropEffect = 0;
    CLIPFORMAT LogicalPerformedDropEffect = 0;
};
const HexClipboardFormats& HexRegisterClipboardFormats();

// The name of the private format, as the program's string table holds it.
inline constexpr const char* HexPrivateFormatName = "THexEditorEx Clipboard Format";

class THexDataObject final : public IDataObject {
  public:
    THexDataObject(std::vector<std::uint8_t> bytes, bool swapNibbles, bool asHexText,
                   const std::string& fileName);

    // The formats in the order they are offered.
    static CLIPFORMAT FormatOf(HexClipKind kind);
    bool HasDropEffectOverride() const { return hasDropEffect_; }
    DWORD DropEffectOverride() const { return dropEffect_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override;

  private:
    HRESULT Check(const FORMATETC* format, HexClipKind* kind) const;

    std::atomic<ULONG> refs_{1};
    std::vector<std::uint8_t> bytes_;
    bool swapNibbles_;
    bool asHexText_;
    std::string virtualName_; // UTF-8
    std::string ansiName_;    // the same in the legacy ANSI page, for the ANSI descriptor
    bool hasDropEffect_ = false;
    DWORD dropEffect_ = 0;
};

class THexFormatEnumerator final : public IEnumFORMATETC {
  public:
    explicit THexFormatEnumerator(ULONG next = 0) : next_(next) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

  private:
    std::atomic<ULONG> refs_{1};
    ULONG next_ = 0;
};

class THexDropSource final : public IDropSource {
  public:
    THexDropSource() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

  private:
    std::atomic<ULONG> refs_{1};
};

// What the drop target asks of the control it is registered for; points are in screen pixels.
class HexDropSite {
  public:
    virtual void HexDropTrack(POINT screen) = 0;
    virtual void HexDropHide() = 0;

  protected:
    ~HexDropSite() = default;
};

// Tracks the drop position for the control and refuses every drop: inserting dropped bytes is
// editing, which the read-only view never does, and reporting an effect for a drop that
// inserted nothing would let a moving source delete its data.
// (All four classes delete themselves on their last Release; make them with new.)
class THexDropTarget final : public IDropTarget {
  public:
    explicit THexDropTarget(HexDropSite* site) : site_(site) {}
    // The control goes before the platform lets go of the target.
    void Detach() { site_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override;

  private:
    void Track(POINTL at, DWORD* effect);

    std::atomic<ULONG> refs_{1};
    HexDropSite* site_; // not owned
};

} // namespace quennet
