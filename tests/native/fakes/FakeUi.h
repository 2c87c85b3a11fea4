// Recording fakes of the window-system layer: a window that keeps every control's state,
// a host that runs dialogs synchronously, and a notification area.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ui/Host.h"
#include "ui/Window.h"

namespace odr::test {

class FakeWindow : public ui::Window {
  public:
    std::string title;
    std::map<int, std::string> texts;
    std::map<int, std::vector<std::string>> textLog;  // every SetText, in order
    std::set<int> disabled;
    int focus = 0;
    bool visible = true;
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
    unsigned restartMessage = 0xC123;

    // The one icon shown, or null.
    const Icon* Shown() const { return icons.size() == 1 ? &icons.begin()->second : nullptr; }
    // The notification area restarted: every icon is gone.
    void Restart() { icons.clear(); }
};

class FakeTray : public ui::Tray {
  public:
    explicit FakeTray(FakeTrayState& state) : state_(state) {}
    unsigned RestartMessage() const override { return state_.restartMessage; }
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
    FakeWindow& Open(ui::Dialog& dialog) {
        auto& slot = open[&dialog];
        slot = std::make_unique<FakeWindow>();
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
    std::unique_ptr<ui::Tray> CreateTray(ui::Dialog&, unsigned callbackMessage) override {
        if (!hasTray) return nullptr;
        tray.callbackMessage = callbackMessage;
        return std::make_unique<FakeTray>(tray);
    }

    // Template ids of the finished modal runs.
    std::vector<int> RunTemplates() const {
        std::vector<int> ids;
        for (const Run& r : runs) ids.push_back(r.templateId);
        return ids;
    }
};

}  // namespace odr::test
