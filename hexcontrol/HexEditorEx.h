#pragma once
// THexEditorEx: the hex view as the viewer uses it, adding file loading, the clipboard and
// OLE drag and drop to THexEditor.
#include "hexcontrol/HexDataObject.h"
#include "hexcontrol/HexEditor.h"
#include "runtime/Handles.h"

#include <stdexcept>
#include <string>

namespace quennet {

// A failing OLE call (clipboard, drag and drop), with its result code.
class EOleSysError : public std::runtime_error {
  public:
    explicit EOleSysError(HRESULT code);
    HRESULT Code() const { return code_; }

  private:
    HRESULT code_;
};

// OLE for the program's run and the clipboard formats registered before any window exists.
// Create one on the UI thread at start; it calls OleUninitialize when destroyed.
class THexOleSession {
  public:
    THexOleSession();
    HRESULT Result() const { return ole_.result(); }

  private:
    OleScope ole_;
};

class THexEditorEx : public THexEditor, private HexDropSite {
  public:
    THexEditorEx() = default;
    ~THexEditorEx() override;

    // Shows the file, read in pages as they are shown; EFOpenError when it cannot be opened
    // (the data shown before stays then).
    void LoadFile(const std::string& path);
    // Closes the file and frees its pages: the control shows an empty document.
    void CloseFile();
    // Puts the selection on the clipboard; false when there is nothing selected. A selection
    // past HexModel::ClipboardLimit raises EHexEditor with a message saying so.
    bool CopySelection();

    void SetOleDragDrop(bool value);
    bool OleDragDrop() const { return Model().OleDragDrop; }
    bool ClipboardAsHexText = false;
    bool FlushClipboardAtShutDown = false;
    bool SwapNibbles() const { return Model().Layout().SwapNibbles(); }
    // The drop target registered for the window, or null.
    IDropTarget* RegisteredDropTarget() const { return dropTarget_.get(); }

  protected:
    void HandleCreated() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void StartDragOut() override;
    void HexCopyRequested() override { CopySelection(); }

  private:
    // HexDropSite
    void HexDropTrack(POINT screen) override;
    void HexDropHide() override;

    ComPtr<THexDataObject> MakeDataObject() const;
    void RegisterDropTarget();
    void RevokeDropTarget();

    ComPtr<THexDataObject> clipboardObject_;
    ComPtr<THexDropTarget> dropTarget_;
};

} // namespace quennet
