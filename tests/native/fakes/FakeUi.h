// Recording fakes of the window-system layer: a window that keeps every control's state,
// the control views and a canvas that record what they were asked, a host that runs dialogs
// synchronously, and a notification area.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ui/Host.h"
#include "ui/Window.h"

namespace odr::test {

class FakeDropList : public ui::DropList {
  public:
    std::vector<std::string> items;
    int selection = -1;

    void Clear() override {
        items.clear();
        selection = -1;
    }
    int Add(const std::string& text) override {
        items.push_back(text);
        return static_cast<int>(items.size()) - 1;
    }
    int Count() const override { return static_cast<int>(items.size()); }
    std::string Item(int index) const override {
        return index >= 0 && index < Count() ? items[static_cast<size_t>(index)] : std::string();
    }
    bool Select(int index) override {
        selection = index >= 0 && index < Count() ? index : -1;
        return selection >= 0;
    }
    bool SelectText(const std::string& text) override {
        auto it = std::find(items.begin(), items.end(), text);
        if (it == items.end()) return false;
        selection = static_cast<int>(it - items.begin());
        return true;
    }
    int Selection() const override { return selection; }
    std::string SelectedText() const override { return Item(selection); }
};

class FakeListView : public ui::ListView {
  public:
    struct Row {
        std::vector<std::string> cells;
        intptr_t ref = 0;
        bool selected = false;
    };
    std::vector<std::pair<std::string, int>> columns;  // title, width
    std::vector<Row> rows;

    void AddColumn(const std::string& title, int width) override {
        columns.emplace_back(title, width);
    }
    int ColumnCount() const override { return static_cast<int>(columns.size()); }
    int InsertRow(int index, const std::vector<std::string>& cells, intptr_t ref) override {
        const int at = std::clamp(index, 0, RowCount());
        rows.insert(rows.begin() + at, Row{cells, ref, false});
        return at;
    }
    void SetCell(int row, int column, const std::string& text) override {
        if (!Has(row) || column < 0) return;
        auto& cells = rows[static_cast<size_t>(row)].cells;
        if (cells.size() <= static_cast<size_t>(column)) cells.resize(column + 1u);
        cells[static_cast<size_t>(column)] = text;
    }
    std::string Cell(int row, int column) const override {
        if (!Has(row) || column < 0) return std::string();
        const auto& cells = rows[static_cast<size_t>(row)].cells;
        return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                          : std::string();
    }
    int RowCount() const override { return static_cast<int>(rows.size()); }
    intptr_t RowRef(int row) const override {
        return Has(row) ? rows[static_cast<size_t>(row)].ref : 0;
    }
    bool IsSelected(int row) const override {
        return Has(row) && rows[static_cast<size_t>(row)].selected;
    }
    void SetSelected(int row, bool selected) override {
        if (Has(row)) rows[static_cast<size_t>(row)].selected = selected;
    }
    void Clear() override { rows.clear(); }

  private:
    bool Has(int row) const { return row >= 0 && row < RowCount(); }
};

// Range and position, kept inside the range as the trackbar keeps them.
struct FakeRange {
    int low = 0, high = 100, position = 0;
    void SetRange(int lo, int hi) {
        low = lo;
        high = hi;
    }
    int Clamped(int p) const { return std::max(low, std::min(high, p)); }
};

class FakeProgressBar : public ui::ProgressBar {
  public:
    FakeRange range;
    void SetRange(int low, int high) override { range.SetRange(low, high); }
    void SetPosition(int position) override { range.position = range.Clamped(position); }
    int Position() const override { return range.position; }
};

class FakeTrackbar : public ui::Trackbar {
  public:
    FakeRange range;
    std::vector<int> ticks;
    void SetRange(int low, int high) override {
        range.SetRange(low, high);
        range.position = range.Clamped(range.position);
    }
    void SetPosition(int position) override { range.position = range.Clamped(position); }
    int Position() const override { return range.position; }
    void ClearTicks() override { ticks.clear(); }
    void AddTick(int position) override { ticks.push_back(position); }
    std::vector<int> Ticks() const override { return ticks; }
};

class FakeScrollBar : public ui::ScrollBar {
  public:
    FakeRange range{0, 0, 0};
    void SetRange(int low, int high) override { range.SetRange(low, high); }
    void SetPosition(int position) override { range.position = range.Clamped(position); }
    int Position() const override { return range.position; }
};

// A surface's size and every drawing asked of it, as text: "fill 0,16,5,92 192,192,192",
// "rect 0,16,5,92 0,0,128", "line 2,98 2,95".
struct FakeSurface {
    int width = 0, height = 0;
    std::vector<std::string> ops;
    std::vector<uint8_t> image = {};  // the last picture drawn
};

class FakeCanvas : public ui::Canvas {
  public:
    explicit FakeCanvas(FakeSurface& surface) : surface_(surface) {}
    int Width() const override { return surface_.width; }
    int Height() const override { return surface_.height; }
    void Fill(const ui::Rect& r, ui::Color c) override {
        surface_.ops.push_back("fill " + Text(r) + " " + Text(c));
    }
    void Rectangle(const ui::Rect& r, ui::Color c) override {
        surface_.ops.push_back("rect " + Text(r) + " " + Text(c));
    }
    void Line(int x1, int y1, int x2, int y2) override {
        surface_.ops.push_back("line " + Pair(x1, y1) + " " + Pair(x2, y2));
    }
    // Records the picture's place and size; the last one's pixels are kept.
    void DrawImage(const ui::Rect& r, int width, int height, const uint8_t* rgb) override {
        surface_.ops.push_back("image " + Text(r) + " " + Pair(width, height));
        surface_.image.assign(rgb, rgb + static_cast<size_t>(width) * height * 3);
    }

  private:
    static std::string Pair(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }
    static std::string Text(const ui::Rect& r) {
        return Pair(r.left, r.top) + "," + Pair(r.right, r.bottom);
    }
    static std::string Text(ui::Color c) { return Pair(c.r, c.g) + "," + std::to_string(c.b); }
    FakeSurface& surface_;
};

class FakeWindow : public ui::Window {
  public:
    std::string title;
    std::map<int, std::string> texts;
    std::map<int, std::vector<std::string>> textLog;  // every SetText, in order
    std::set<int> disabled;
    int focus = 0;
    bool visible = true;
    int extendedTo = 0;  // the control ExtendTo grew the window to; 0: its own size
    bool minimized = false;
    int foregroundCount = 0;
    int icon = 0;
    std::vector<std::pair<int, std::string>> systemMenu;
    std::set<std::string> greyedSystemMenu;
    int invalidations = 0;
    std::map<int, unsigned> timers;                  // running timers: id -> interval
    std::vector<std::pair<int, unsigned>> timerLog;  // every SetTimer (interval 0: KillTimer)
    bool ended = false;
    int endResult = 0;
    std::map<int, std::vector<std::string>> lists;
    std::map<int, int> listTop;
    std::set<int> hidden;  // controls
    std::map<int, int> textLimits;
    std::set<int> checked;
    std::map<int, int> radioIndex;  // by first button of the group
    std::map<int, std::pair<std::string, std::string>> buttonImages;
    std::set<std::string> missingBitmaps;  // SetButtonImages fails for these names
    std::map<int, FakeDropList> dropLists;
    std::map<int, FakeListView> listViews;
    std::map<int, FakeProgressBar> progressBars;
    std::map<int, FakeTrackbar> trackbars;
    std::map<int, FakeScrollBar> scrollBars;
    std::map<int, FakeSurface> surfaces;            // canvases by control id (0: the window)
    std::vector<std::pair<int, bool>> invalidated;  // InvalidateControl: id, erase
    bool mouseCaptured = false;
    bool waitCursor = false;
    // Queued messages of each kind, oldest first (for KeyDown the key code), and what was
    // dispatched: "mouse", "paint", "key 112" with " kept" when not removed.
    std::map<ui::Pending, std::deque<int>> pending;
    std::vector<std::string> dispatched;
    std::function<void(ui::Pending)> onDispatch;  // runs as the dispatched message's handler
    // Messages posted through MakePoster, from any thread.
    std::mutex postedMutex;
    std::vector<unsigned> posted;

    void SetTitle(const std::string& text) override { title = text; }
    std::string GetTitle() const override { return title; }
    void SetText(int id, const std::string& text) override {
        texts[id] = text;
        textLog[id].push_back(text);
    }
    std::string GetText(int id) const override {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void Enable(int id, bool enabled) override {
        if (enabled) {
            disabled.erase(id);
        } else {
            disabled.insert(id);
        }
    }
    bool IsEnabled(int id) const override { return disabled.count(id) == 0; }
    void SetFocus(int id) override { focus = id; }
    int FocusedControl() const override { return focus; }
    // The client area and the controls' places in it (MoveControl writes them).
    ui::Rect client{0, 0, 600, 400};
    std::map<int, ui::Rect> controlRects;
    ui::Rect ClientRect() const override { return client; }
    ui::Rect ControlRect(int id) const override {
        auto it = controlRects.find(id);
        return it == controlRects.end() ? ui::Rect{} : it->second;
    }
    void MoveControl(int id, const ui::Rect& rect) override { controlRects[id] = rect; }
    void ShowControl(int id, bool v) override {
        if (v) {
            hidden.erase(id);
        } else {
            hidden.insert(id);
        }
    }
    bool IsControlVisible(int id) const override { return hidden.count(id) == 0; }
    void LimitText(int id, int characters) override { textLimits[id] = characters; }
    void SetCheck(int id, bool on) override {
        if (on) {
            checked.insert(id);
        } else {
            checked.erase(id);
        }
    }
    bool IsChecked(int id) const override { return checked.count(id) > 0; }
    void SetRadioIndex(int firstId, int index) override { radioIndex[firstId] = index; }
    int RadioIndex(int firstId) const override {
        auto it = radioIndex.find(firstId);
        return it == radioIndex.end() ? -1 : it->second;
    }
    bool SetButtonImages(int id, const std::string& up, const std::string& down) override {
        if (missingBitmaps.count(up) || missingBitmaps.count(down)) return false;
        buttonImages[id] = {up, down};
        return true;
    }
    ui::DropList& GetDropList(int id) override { return dropLists[id]; }
    ui::ListView& GetListView(int id) override { return listViews[id]; }
    ui::ProgressBar& GetProgressBar(int id) override { return progressBars[id]; }
    ui::Trackbar& GetTrackbar(int id) override { return trackbars[id]; }
    ui::ScrollBar& GetScrollBar(int id) override { return scrollBars[id]; }
    std::unique_ptr<ui::Canvas> OpenCanvas(int id) override {
        return std::make_unique<FakeCanvas>(surfaces[id]);
    }
    void ExtendTo(int id, bool extend) override { extendedTo = extend ? id : 0; }
    void Show(bool v) override { visible = v; }
    bool IsVisible() const override { return visible; }
    bool IsMinimized() const override { return minimized; }
    void BringToForeground() override { ++foregroundCount; }
    void SetIcon(int iconId) override { icon = iconId; }
    void AppendSystemMenu(int commandId, const std::string& text) override {
        systemMenu.emplace_back(0, "");  // the separator
        systemMenu.emplace_back(commandId, text);
    }
    void GreySystemMenuItem(const std::string& text) override { greyedSystemMenu.insert(text); }
    void Invalidate() override { ++invalidations; }
    void InvalidateControl(int id, bool erase) override { invalidated.emplace_back(id, erase); }
    void CaptureMouse() override { mouseCaptured = true; }
    void ReleaseMouse() override { mouseCaptured = false; }
    bool HasMouseCapture() const override { return mouseCaptured; }
    void SetWaitCursor(bool wait) override { waitCursor = wait; }
    bool PeekPending(ui::Pending kind, int* key) override {
        auto it = pending.find(kind);
        if (it == pending.end() || it->second.empty()) return false;
        if (key != nullptr) *key = it->second.front();
        return true;
    }
    bool DispatchPending(ui::Pending kind, bool remove) override {
        int key = 0;
        if (!PeekPending(kind, &key)) return false;
        if (remove) pending[kind].pop_front();
        std::string what = kind == ui::Pending::Mouse   ? "mouse"
                           : kind == ui::Pending::Paint ? "paint"
                                                        : "key " + std::to_string(key);
        dispatched.push_back(remove ? what : what + " kept");
        if (onDispatch) onDispatch(kind);
        return true;
    }
    ui::Poster MakePoster(unsigned message) override {
        return [this, message] {
            std::lock_guard<std::mutex> lock(postedMutex);
            posted.push_back(message);
        };
    }
    void SetTimer(int id, unsigned intervalMs) override {
        timers[id] = intervalMs;
        timerLog.emplace_back(id, intervalMs);
    }
    void KillTimer(int id) override {
        timers.erase(id);
        timerLog.emplace_back(id, 0u);
    }
    void End(int result) override {
        ended = true;
        endResult = result;
    }
    void ListClear(int id) override { lists[id].clear(); }
    void ListAdd(int id, const std::string& line) override { lists[id].push_back(line); }
    int ListCount(int id) const override {
        auto it = lists.find(id);
        return it == lists.end() ? 0 : static_cast<int>(it->second.size());
    }
    std::string ListItem(int id, int index) const override {
        auto it = lists.find(id);
        if (it == lists.end() || index < 0 || index >= static_cast<int>(it->second.size())) {
            return std::string();
        }
        return it->second[static_cast<size_t>(index)];
    }
    void ListScrollToTop(int id) override { listTop[id] = 0; }

    // Interval of a running timer, 0 when it is stopped.
    unsigned TimerInterval(int id) const {
        auto it = timers.find(id);
        return it == timers.end() ? 0 : it->second;
    }
};

// What the notification area shows, and every operation asked of it.
struct FakeTrayState {
    struct Icon {
        int image = 0;
        std::string tip;
    };
    std::map<int, Icon> icons;     // by icon id
    std::vector<std::string> ops;  // "add 129 129 tip", "modify ...", "remove 129"
    bool failAdd = false;
    bool failModify = false;
    bool failRemove = false;
    unsigned callbackMessage = 0;

    // The one icon shown, or null.
    const Icon* Shown() const { return icons.size() == 1 ? &icons.begin()->second : nullptr; }
    // The notification area restarted: every icon is gone.
    void Restart() { icons.clear(); }
};

class FakeTray : public ui::Tray {
  public:
    explicit FakeTray(FakeTrayState& state) : state_(state) {}
    bool Add(int id, int iconId, const std::string& tip) override {
        std::string cut = ui::FitTooltip(tip);
        state_.ops.push_back("add " + std::to_string(id) + " " + std::to_string(iconId) + " " +
                             cut);
        if (state_.failAdd || state_.icons.count(id)) return false;
        state_.icons[id] = {iconId, cut};
        return true;
    }
    bool Modify(int id, int iconId, const std::string& tip) override {
        std::string cut = ui::FitTooltip(tip);
        state_.ops.push_back("modify " + std::to_string(id) + " " + std::to_string(iconId) + " " +
                             cut);
        auto it = state_.icons.find(id);
        if (state_.failModify || it == state_.icons.end()) return false;
        it->second = {iconId, cut};
        return true;
    }
    bool Remove(int id) override {
        state_.ops.push_back("remove " + std::to_string(id));
        if (state_.failRemove) return false;
        return state_.icons.erase(id) > 0;
    }

  private:
    FakeTrayState& state_;
};

// Runs dialogs synchronously against FakeWindows. A modal run opens the dialog, lets the
// template's script act on it (by default: press OK), and records how it ended.
class FakeHost : public ui::Host {
  public:
    struct Run {
        int templateId = 0;
        std::map<int, std::string> texts;  // control texts when the dialog ended
        int result = 0;
    };
    using Script = std::function<void(ui::Dialog&, FakeWindow&)>;

    std::map<int, Script> scripts;  // by template id
    std::vector<Run> runs;          // finished modal runs, in order
    std::set<std::string> topLevelTitles;
    std::vector<std::string> activated;
    std::map<int, std::string> strings;
    int busyDepth = 0;
    int busyCount = 0;
    int mouseDispatches = 0;
    FakeTrayState tray;
    bool hasTray = true;
    std::map<ui::Dialog*, std::unique_ptr<FakeWindow>> open;  // modeless and Open()ed

    // Opens `dialog` on a new FakeWindow and runs OnInitDialog; the window stays open.
    // Where the controls of every window opened lie (a template's layout in pixels).
    std::map<int, ui::Rect> layout;

    FakeWindow& Open(ui::Dialog& dialog) {
        auto& slot = open[&dialog];
        slot = std::make_unique<FakeWindow>();
        slot->controlRects = layout;
        dialog.Attach(slot.get());
        dialog.OnInitDialog();
        return *slot;
    }
    FakeWindow* WindowOf(ui::Dialog& dialog) {
        auto it = open.find(&dialog);
        return it == open.end() ? nullptr : it->second.get();
    }

    int RunModal(ui::Dialog& dialog) override {
        FakeWindow window;
        window.controlRects = layout;
        dialog.Attach(&window);
        dialog.OnInitDialog();
        auto script = scripts.find(dialog.TemplateId());
        if (!window.ended && script != scripts.end()) script->second(dialog, window);
        if (!window.ended) dialog.OnCommand(1);
        if (!window.ended) window.End(1);
        dialog.OnDestroy();
        dialog.Detach();
        runs.push_back({dialog.TemplateId(), window.texts, window.endResult});
        return window.endResult;
    }
    bool OpenModeless(ui::Dialog& dialog) override {
        Open(dialog);
        return true;
    }
    void CloseModeless(ui::Dialog& dialog) override {
        auto it = open.find(&dialog);
        if (it == open.end()) return;
        dialog.OnDestroy();
        dialog.Detach();
        open.erase(it);
    }
    void BeginBusy() override {
        ++busyDepth;
        ++busyCount;
    }
    void EndBusy() override { --busyDepth; }
    bool FindTopLevelWindow(const std::string& title) override {
        return !title.empty() && topLevelTitles.count(title) > 0;
    }
    bool ActivateTopLevelWindow(const std::string& title) override {
        if (!FindTopLevelWindow(title)) return false;
        activated.push_back(title);
        return true;
    }
    void DispatchOneMouseMessage() override { ++mouseDispatches; }
    std::string LoadString(int id) override {
        auto it = strings.find(id);
        return it == strings.end() ? std::string() : it->second;
    }
    // Answers of the Save As and Open dialogs in turn; none left: cancelled.
    std::deque<std::string> savePaths;
    std::vector<std::string> saveSuggested;
    std::vector<ui::FileChoice> saveChoices;
    bool AskSaveFile(ui::Dialog&, const ui::FileChoice& choice, std::string* path) override {
        saveSuggested.push_back(choice.suggested);
        saveChoices.push_back(choice);
        return Take(savePaths, path);
    }
    std::deque<std::string> openPaths;
    std::vector<ui::FileChoice> openChoices;
    bool AskOpenFile(ui::Dialog&, const ui::FileChoice& choice, std::string* path) override {
        openChoices.push_back(choice);
        return Take(openPaths, path);
    }
    // Answers of the message boxes in turn, and what they said; none left: Cancel.
    std::deque<ui::Answer> answers;
    std::vector<std::string> asked;
    ui::Answer Ask(ui::Dialog&, const std::string& caption, const std::string& text,
                   ui::Question) override {
        asked.push_back(caption + ": " + text);
        if (answers.empty()) return ui::Answer::Cancel;
        const ui::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::unique_ptr<ui::Tray> CreateTray(ui::Dialog&, unsigned callbackMessage) override {
        if (!hasTray) return nullptr;
        tray.callbackMessage = callbackMessage;
        return std::make_unique<FakeTray>(tray);
    }

    static bool Take(std::deque<std::string>& queue, std::string* path) {
        if (queue.empty()) return false;
        *path = queue.front();
        queue.pop_front();
        return true;
    }

    // Template ids of the finished modal runs.
    std::vector<int> RunTemplates() const {
        std::vector<int> ids;
        for (const Run& r : runs) ids.push_back(r.templateId);
        return ids;
    }
};

}  // namespace odr::test
