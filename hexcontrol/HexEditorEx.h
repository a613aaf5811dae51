#pragma once
// THexEditorEx: the hex view as the viewer uses it, adding file loading, the clipboard and
// OLE drag and drop to THexEditor.
#include "hexcontrol/HexDataObject.h"
#include "hexcontrol/HexEditor.h"
#include "runtime/Handles.h"

#include <stdexcept>
#include <string>

// A failing OLE call (clipboard, drag and drop), with its result code.
class EOleSysError : public std::runtime_error {
  public:
    explicit EOleSysError(HRESULT code);
    HRESULT Code() const { return m_code; }

  private:
    HRESULT m_code;
};

// A read of the file failed part way.
class EReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// OLE for the program's run and the clipboard formats registered before any window exists.
// Create one on the UI thread at start; it calls OleUninitialize when destroyed.
class THexOleSession {
  public:
    THexOleSession();
    HRESULT Result() const { return m_ole.result(); }

  private:
    quennet::OleScope m_ole;
};

class THexEditorEx : public THexEditor, private HexDropSite {
  public:
    THexEditorEx() = default;
    ~THexEditorEx() override;

    // Replaces the data with the whole file; see the failures in the .cpp.
    void LoadFile(const std::string& path);
    // Puts the selection on the clipboard; false when there is nothing selected.
    bool CopySelection();

    void SetOleDragDrop(bool value);
    bool OleDragDrop() const { return Model().OleDragDrop; }
    bool ClipboardAsHexText = false;
    bool FlushClipboardAtShutDown = false;
    bool SupportsOtherClipFormats = true;
    bool SwapNibbles() const { return Model().Layout().SwapNibbles(); }
    // The drop target registered for the window, or null.
    IDropTarget* RegisteredDropTarget() const { return m_dropTarget.get(); }

  protected:
    void HandleCreated() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void StartDragOut() override;
    void HexCopyRequested() override { CopySelection(); }

  private:
    // HexDropSite
    void HexDropTrack(POINT screen) override;
    void HexDropHide() override;

    quennet::ComPtr<THexDataObject> MakeDataObject() const;
    void RegisterDropTarget();
    void RevokeDropTarget();

    quennet::ComPtr<THexDataObject> m_clipboardObject;
    quennet::ComPtr<THexDropTarget> m_dropTarget;
};
