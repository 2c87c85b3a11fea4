// Base of every dialog class: its state lives in the derived class, and the window layer
// calls these handlers from the window's messages.
#pragma once

#include <cstdint>

#include "ui/Window.h"

namespace odr::ui {

class Dialog {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int TemplateId() const { return templateId_; }

    // Called by the window layer when the window exists and before OnInitDialog.
    void Attach(Window* window) { window_ = window; }
    void Detach() { window_ = nullptr; }
    bool IsOpen() const { return window_ != nullptr; }

    // Returns true to let the system set the focus.
    virtual bool OnInitDialog() { return true; }
    virtual void OnCommand(int /*id*/) {}
    virtual void OnTimer(int /*id*/) {}
    // System-menu command; returns true when handled.
    virtual bool OnSysCommand(int /*command*/) { return false; }
    // Close box, system menu Close or Alt+F4.
    virtual void OnClose() { window().End(2); }
    virtual void OnDestroy() {}
    // Any other message (user messages, notification-area callbacks). True when handled.
    virtual bool OnMessage(unsigned /*message*/, uintptr_t /*wParam*/, intptr_t /*lParam*/) {
        return false;
    }

protected:
    Window& window() const { return *window_; }

private:
    int templateId_;
    Window* window_ = nullptr;
};

}  // namespace odr::ui
