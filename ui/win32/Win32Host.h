// ui::Host over the Win32 dialog manager: modal and modeless dialogs from templates through
// one dialog procedure, the busy indication, top-level window lookup, string resources and
// notification-area icons. One host per user-interface thread.
#pragma once

#include <windows.h>
// The ANSI/Unicode macro would rename Host::LoadString in this file only.
#undef LoadString

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Host.h"

namespace odr::ui::win32 {

class Win32Window;

class Win32Host : public ui::Host {
  public:
    explicit Win32Host(HINSTANCE instance);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    int RunModal(Dialog& dialog) override;
    bool OpenModeless(Dialog& dialog) override;
    void CloseModeless(Dialog& dialog) override;
    void BeginBusy() override;
    void EndBusy() override;
    bool FindTopLevelWindow(const std::string& title) override;
    bool ActivateTopLevelWindow(const std::string& title) override;
    void DispatchOneMouseMessage() override;
    std::string LoadString(int id) override;
    bool AskOpenFile(Dialog& owner, const FileChoice& choice, std::string* path) override;
    bool AskSaveFile(Dialog& owner, const FileChoice& choice, std::string* path) override;
    Answer Ask(Dialog& owner, const std::string& caption, const std::string& text,
               Question question) override;
    std::unique_ptr<Tray> CreateTray(Dialog& owner, unsigned callbackMessage) override;

    // Sees every message the dialog message loops take, before it is dispatched; true when
    // it consumed the message. The place for TranslateAcceleratorA on a chosen window.
    using MessageFilter = std::function<bool(MSG& message)>;
    void SetMessageFilter(MessageFilter filter) { filter_ = std::move(filter); }

    // Uses an in-memory DLGTEMPLATE (DWORD-aligned bytes) instead of the resource `templateId`.
    void SetTemplate(int templateId, std::vector<uint8_t> bytes);
    // Uses `bitmap` (the host takes it) instead of the bitmap resource `name` for image buttons.
    void SetBitmap(const std::string& name, HBITMAP bitmap);

    // The window of an open dialog, or null.
    HWND WindowOf(const Dialog& dialog) const;
    HINSTANCE instance() const { return instance_; }

  private:
    struct Frame;
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR Dispatch(Frame& frame, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FilterHook(int code, WPARAM wParam, LPARAM lParam);
    bool FilterMessage(MSG& message);
    HWND TopWindow() const;
    Frame* FrameOf(const Dialog& dialog) const;  // the open frame of `dialog`, or null
    bool AskFile(Dialog& owner, const FileChoice& choice, bool save, std::string* path);
    const DLGTEMPLATE* InMemoryTemplate(int templateId) const;
    HBITMAP BitmapNamed(const std::string& name) const;
    void DropClosedModeless();

    HINSTANCE instance_;
    HHOOK hook_ = nullptr;
    MessageFilter filter_;
    std::vector<Frame*> open_;                      // open dialogs, innermost last
    std::vector<std::unique_ptr<Frame>> modeless_;  // frames of modeless dialogs
    std::map<int, std::vector<uint32_t>> templates_;
    std::map<std::string, HBITMAP> bitmaps_;
    int busyDepth_ = 0;
    HCURSOR savedCursor_ = nullptr;
};

}  // namespace odr::ui::win32
