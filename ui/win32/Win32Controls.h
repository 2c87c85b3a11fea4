// The control views of ui/Controls.h over the control windows of the system and of the
// common-controls library. Each holds the control's handle without owning it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Controls.h"

namespace odr::ui::win32 {

// Registers the common-controls classes once per process. InitCommonControlsEx is looked up
// at run time: the comctl32 of Windows 95 and NT 4 as shipped has only InitCommonControls.
void InitCommonControlsOnce();

class Win32DropList : public ui::DropList {
  public:
    explicit Win32DropList(HWND hwnd) : hwnd_(hwnd) {}
    void Clear() override;
    int Add(const std::string& text) override;
    int Count() const override;
    std::string Item(int index) const override;
    bool Select(int index) override;
    bool SelectText(const std::string& text) override;
    int Selection() const override;
    std::string SelectedText() const override;

  private:
    HWND hwnd_;
};

class Win32ListView : public ui::ListView {
  public:
    explicit Win32ListView(HWND hwnd) : hwnd_(hwnd) {}
    void AddColumn(const std::string& title, int width) override;
    int ColumnCount() const override { return columns_; }
    int InsertRow(int index, const std::vector<std::string>& cells, intptr_t ref) override;
    void SetCell(int row, int column, const std::string& text) override;
    std::string Cell(int row, int column) const override;
    int RowCount() const override;
    intptr_t RowRef(int row) const override;
    bool IsSelected(int row) const override;
    void SetSelected(int row, bool selected) override;
    void Clear() override;

  private:
    HWND hwnd_;
    int columns_ = 0;
};

class Win32ProgressBar : public ui::ProgressBar {
  public:
    explicit Win32ProgressBar(HWND hwnd) : hwnd_(hwnd) {}
    void SetRange(int low, int high) override;
    void SetPosition(int position) override;
    int Position() const override;

  private:
    HWND hwnd_;
};

class Win32Trackbar : public ui::Trackbar {
  public:
    explicit Win32Trackbar(HWND hwnd) : hwnd_(hwnd) {}
    void SetRange(int low, int high) override;
    void SetPosition(int position) override;
    int Position() const override;
    void ClearTicks() override;
    void AddTick(int position) override;
    std::vector<int> Ticks() const override;

  private:
    HWND hwnd_;
};

class Win32ScrollBar : public ui::ScrollBar {
  public:
    explicit Win32ScrollBar(HWND hwnd) : hwnd_(hwnd) {}
    void SetRange(int low, int high) override;
    void SetPosition(int position) override;
    int Position() const override;

  private:
    HWND hwnd_;
};

}  // namespace odr::ui::win32
