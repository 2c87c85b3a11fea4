// Narrow views of one control kind each, reached through Window by control id: a drop-down
// list, a report-style list view, a progress bar, a trackbar and a scroll bar. ui/win32
// implements them over the control's window; tests use recording fakes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace odr::ui {

// A combo box of the drop-down-list kind (no typing). Indices count from 0; -1 is none.
class DropList {
  public:
    virtual ~DropList() = default;
    virtual void Clear() = 0;
    // Appends an item; returns its index.
    virtual int Add(const std::string& text) = 0;
    virtual int Count() const = 0;
    virtual std::string Item(int index) const = 0;
    // Selects item `index`; an index outside the list leaves no selection (returns false).
    virtual bool Select(int index) = 0;
    // Selects the first item whose text equals `text` exactly; without one the selection
    // stays as it was (returns false).
    virtual bool SelectText(const std::string& text) = 0;
    virtual int Selection() const = 0;
    // Text of the selected item, "" when none is selected.
    virtual std::string SelectedText() const = 0;
};

// A list view in report style: columns, and rows that each carry a caller's reference.
class ListView {
  public:
    virtual ~ListView() = default;
    // Appends a column `width` pixels wide.
    virtual void AddColumn(const std::string& title, int width) = 0;
    virtual int ColumnCount() const = 0;
    // Inserts a row at `index` (clamped to the end) with the texts of its first cells;
    // returns its index, -1 on failure.
    virtual int InsertRow(int index, const std::vector<std::string>& cells, intptr_t ref) = 0;
    virtual void SetCell(int row, int column, const std::string& text) = 0;
    virtual std::string Cell(int row, int column) const = 0;
    virtual int RowCount() const = 0;
    // The reference given when the row was inserted; 0 for no such row.
    virtual intptr_t RowRef(int row) const = 0;
    virtual bool IsSelected(int row) const = 0;
    virtual void SetSelected(int row, bool selected) = 0;
    virtual void Clear() = 0;
};

class ProgressBar {
  public:
    virtual ~ProgressBar() = default;
    // Ranges reach at most 0..65535.
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
};

// A slider. The control keeps its position inside the range.
class Trackbar {
  public:
    virtual ~Trackbar() = default;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
    // Tick marks between the two ends (the ends always have one).
    virtual void ClearTicks() = 0;
    virtual void AddTick(int position) = 0;
    virtual std::vector<int> Ticks() const = 0;
};

// A scroll bar control (not a window's own scroll bar).
class ScrollBar {
  public:
    virtual ~ScrollBar() = default;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
};

}  // namespace odr::ui
