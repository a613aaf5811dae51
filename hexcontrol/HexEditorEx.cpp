#include "hexcontrol/HexEditorEx.h"

#include "hexcontrol/HexError.h"
#include "runtime/SystemError.h"
#include "base/WidePath.h"

#include <memory>

namespace quennet {

namespace {
// Shows the hourglass while it lives and puts the previous pointer back.
class BusyPointer {
  public:
    BusyPointer() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~BusyPointer() { SetCursor(previous_); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    HCURSOR previous_;
};
} // namespace

EOleSysError::EOleSysError(HRESULT code)
    : std::runtime_error(SystemErrorText(static_cast<DWORD>(code)).empty()
                             ? "OLE error " + HResultText(code)
                             : SystemErrorText(static_cast<DWORD>(code))),
      code_(code) {}

THexOleSession::THexOleSession() {
    HexRegisterClipboardFormats();
}

THexEditorEx::~THexEditorEx() {
    // Bytes copied from the viewer do not outlive it unless flushing is asked for.
    if (clipboardObject_ && OleIsCurrentClipboard(clipboardObject_.get()) == S_OK) {
        if (FlushClipboardAtShutDown)
            OleFlushClipboard();
        else
            OleSetClipboard(nullptr);
    }
    RevokeDropTarget();
}

// ---- loading ----------------------------------------------------------------------------------

void THexEditorEx::LoadFile(const std::string& path) {
    // Whether the file could be changed (the view never does): asked before the file is held
    // open for paging, which would make the exclusive open fail.
    const std::wstring widePath = LongPathW(path);
    FileHandle exclusive(CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool readOnly = !exclusive;
    exclusive.reset();

    // The file stays open while it is shown and is read a page at a time as the view needs
    // it; nothing is read here, so a file of any size opens at once.
    auto reader = std::make_unique<HexFilePageReader>();
    if (!reader->Open(path))
        throw EFOpenError(HexFormat(hexmsg::CannotOpen, path,
                                    SystemErrorText(static_cast<DWORD>(reader->File().FaultCode()))));
    Model().OpenPaged(path, std::move(reader));
    Model().SetFileIsReadOnly(readOnly);
}

void THexEditorEx::CloseFile() {
    Model().ResetDocument();
}

// ---- clipboard and drag-out -------------------------------------------------------------------

ComPtr<THexDataObject> THexEditorEx::MakeDataObject() const {
    const HexModel& m = Model();
    // The data object holds its own copy of the bytes, as the clipboard's formats need them
    // whole: past the limit a message says so instead of an attempt that would take gigabytes.
    if (m.SelectionCount() > HexModel::ClipboardLimit)
        throw EHexEditor(HexSelectionTooLargeText(m.SelectionCount()));
    std::vector<std::uint8_t> bytes(static_cast<size_t>(m.SelectionCount()));
    m.Data().Read(m.SelStart(), bytes.size(), bytes.data());
    return ComPtr<THexDataObject>::Attach(
        new THexDataObject(std::move(bytes), SwapNibbles(), ClipboardAsHexText, m.FileName()));
}

bool THexEditorEx::CopySelection() {
    if (DataSize() == 0 || SelectionCount() == 0)
        return false;
    BusyPointer busy;
    ComPtr<THexDataObject> object = MakeDataObject();
    clipboardObject_ = object;
    HRESULT hr = OleSetClipboard(object.get());
    if (FAILED(hr))
        throw EOleSysError(hr);
    return true;
}

void THexEditorEx::StartDragOut() {
    if (SelectionCount() == 0)
        return;
    ComPtr<THexDataObject> object = MakeDataObject();
    auto* source = new THexDropSource();
    ComPtr<IDropSource> sourceRef = ComPtr<IDropSource>::Attach(source);
    const DWORD allowed = ReadOnlyView() ? DROPEFFECT_COPY : DROPEFFECT_COPY | DROPEFFECT_MOVE;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = DoDragDrop(object.get(), sourceRef.get(), allowed, &effect);
    if (object->HasDropEffectOverride())
        effect = object->DropEffectOverride();
    Model().EndDrag();
    // A move would delete the selection; the read-only view never allows one.
    if (hr != DRAGDROP_S_DROP && hr != DRAGDROP_S_CANCEL)
        throw EOleSysError(hr);
}

// ---- drop target ------------------------------------------------------------------------------

void THexEditorEx::SetOleDragDrop(bool value) {
    Model().OleDragDrop = value;
    if (!HandleAllocated())
        return;
    if (value)
        RegisterDropTarget();
    else
        RevokeDropTarget();
}

void THexEditorEx::RegisterDropTarget() {
    if (dropTarget_ || !HandleAllocated())
        return;
    auto target = ComPtr<THexDropTarget>::Attach(new THexDropTarget(this));
    if (SUCCEEDED(RegisterDragDrop(HandleOrNull(), target.get())))
        dropTarget_ = target;
    else
        target->Detach();
}

void THexEditorEx::RevokeDropTarget() {
    if (!dropTarget_)
        return;
    if (HandleAllocated())
        RevokeDragDrop(HandleOrNull());
    dropTarget_->Detach();
    dropTarget_.reset();
    Model().DragOverEnded();
}

void THexEditorEx::HexDropTrack(POINT screen) {
    if (!HandleAllocated())
        return;
    ScreenToClient(HandleOrNull(), &screen);
    Model().DragOverAt(screen.x, screen.y);
}

void THexEditorEx::HexDropHide() {
    Model().DragOverEnded();
}

void THexEditorEx::HandleCreated() {
    THexEditor::HandleCreated();
    if (Model().OleDragDrop)
        RegisterDropTarget();
}

LRESULT THexEditorEx::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        RevokeDropTarget();
    return THexEditor::WndProc(message, wParam, lParam);
}

} // namespace quennet
