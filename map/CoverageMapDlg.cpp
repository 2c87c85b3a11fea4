// The Coverage Map window: its layout, the floor, measuring, what is shown, and the files.
#include "map/CoverageMapDlg.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "driver/AdapterContext.h"
#include "driver/Channel.h"
#include "driver/Whereabouts.h"
#include "map/Decimal.h"
#include "platform/Platform.h"
#include "resources/resource.h"
#include "shell/kit/HelpDlg.h"
#include "shell/kit/HelpFile.h"
#include "shell/kit/ShellContext.h"
#include "ui/Host.h"

namespace odr::map {

namespace {

constexpr const char* kTitle = "Coverage Map";
constexpr const char* kIdleHint =
    "Click where you stand, or move the cross-hair with the arrow keys and press Enter.";

// The metrics in the order of the list.
constexpr Metric kMetrics[] = {Metric::kSignal, Metric::kLinkQuality, Metric::kLatency,
                               Metric::kThroughput, Metric::kMaster};
constexpr const char* kMetricNames[] = {"Signal", "Link quality", "Latency (active points)",
                                        "Throughput (active points)", "Synchronised master"};

// Controls that take typed text or a choice: the map's keys are theirs while they have the
// focus.
constexpr int kTypingControls[] = {IDC_MAP_WIDTH,  IDC_MAP_HEIGHT, IDC_MAP_GOOD,   IDC_MAP_FAIR,
                                   IDC_MAP_RADIUS, IDC_MAP_METRIC, IDC_MAP_STATION};
// Controls that stay still (IDC_MAP_VIEW grows, IDC_MAP_LEGEND moves down and grows) and
// those that move right with the window's right edge.
constexpr int kPanelControls[] = {
    IDC_MAP_FLOOR_GROUP, IDC_MAP_PLAN,         IDC_MAP_GRID,          IDC_MAP_TWO_POINTS,
    IDC_MAP_WIDTH_LABEL, IDC_MAP_WIDTH,        IDC_MAP_HEIGHT_LABEL,  IDC_MAP_HEIGHT,
    IDC_MAP_APPLY_FLOOR, IDC_MAP_FLOOR_TEXT,   IDC_MAP_MEASURE_GROUP, IDC_MAP_ACTIVE,
    IDC_MAP_MEASURE,     IDC_MAP_UNDO,         IDC_MAP_DELETE,        IDC_MAP_PROGRESS,
    IDC_MAP_STATUS,      IDC_MAP_SHOW_GROUP,   IDC_MAP_METRIC,        IDC_MAP_STATION,
    IDC_MAP_GOOD_LABEL,  IDC_MAP_GOOD,         IDC_MAP_UNIT,          IDC_MAP_FAIR_LABEL,
    IDC_MAP_FAIR,        IDC_MAP_RADIUS_LABEL, IDC_MAP_RADIUS,        IDC_MAP_APPLY_VIEW,
    IDC_MAP_OPEN,        IDC_MAP_SAVE,         IDC_MAP_CLOSE,         IDC_MAP_EXPORT_IMAGE,
    IDC_MAP_EXPORT_CSV,  IDC_MAP_HELP,
};
// Controls greyed while a point is measured.
constexpr int kIdleControls[] = {IDC_MAP_PLAN,         IDC_MAP_GRID,       IDC_MAP_TWO_POINTS,
                                 IDC_MAP_APPLY_FLOOR,  IDC_MAP_UNDO,       IDC_MAP_DELETE,
                                 IDC_MAP_MEASURE,      IDC_MAP_OPEN,       IDC_MAP_SAVE,
                                 IDC_MAP_EXPORT_IMAGE, IDC_MAP_EXPORT_CSV, IDC_MAP_ACTIVE};

const char* UnitOf(Metric metric) {
    switch (metric) {
        case Metric::kSignal:
        case Metric::kLinkQuality:
            return "%";
        case Metric::kLatency:
            return "ms";
        case Metric::kThroughput:
            return "packets/s";
        case Metric::kMaster:
            break;
    }
    return "";
}

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Metres(double xM, double yM) {
    return FormatDecimal(xM, 1) + " m, " + FormatDecimal(yM, 1) + " m";
}

ui::Rect Offset(ui::Rect r, int dx, int dy, int growX, int growY) {
    return {r.left + dx, r.top + dy, r.right + dx + growX, r.bottom + dy + growY};
}

}  // namespace

CCoverageMapDlg::CCoverageMapDlg(shell::ShellContext& context, settings::AdapterSettings& settings)
    : ui::Dialog(IDD_COVERAGE_MAP),
      ctx_(context),
      settings_(settings),
      survey_(context, settings, [this] {
          if (IsOpen()) window().ServePendingPaint();
      }) {}

bool CCoverageMapDlg::OnInitDialog() {
    ui::Window& w = window();
    created_ = w.ClientRect();
    layout_.clear();
    for (int id : {IDC_MAP_VIEW, IDC_MAP_LEGEND}) layout_.push_back({id, w.ControlRect(id)});
    for (int id : kPanelControls) layout_.push_back({id, w.ControlRect(id)});

    ui::DropList& metrics = w.GetDropList(IDC_MAP_METRIC);
    metrics.Clear();
    for (const char* name : kMetricNames) metrics.Add(name);
    ui::ProgressBar& progress = w.GetProgressBar(IDC_MAP_PROGRESS);
    progress.SetRange(0, 100);
    progress.SetPosition(0);

    TakeSiteFloor();
    FillStations();
    ShowThresholds();
    ShowFloor();
    Status(kIdleHint);
    ctx_.acceleratorTarget = this;
    w.SetFocus(IDC_MAP_MEASURE);
    return false;
}

// --- Layout.

ui::Rect CCoverageMapDlg::PictureRect() const {
    const ui::Rect frame = window().ControlRect(IDC_MAP_VIEW);
    return {frame.left + 1, frame.top + 1, std::max(frame.left + 1, frame.right - 1),
            std::max(frame.top + 1, frame.bottom - 1)};
}

void CCoverageMapDlg::OnSize(int width, int height) {
    if (layout_.empty()) return;
    const int dx = std::max(0, width - (created_.right - created_.left));
    const int dy = std::max(0, height - (created_.bottom - created_.top));
    ui::Window& w = window();
    for (const Placed& p : layout_) {
        if (p.id == IDC_MAP_VIEW) {
            w.MoveControl(p.id, Offset(p.rect, 0, 0, dx, dy));
        } else if (p.id == IDC_MAP_LEGEND) {
            w.MoveControl(p.id, Offset(p.rect, 0, dy, dx, 0));
        } else {
            w.MoveControl(p.id, Offset(p.rect, dx, 0, 0, 0));
        }
    }
    w.Invalidate();
}

// --- Painting.

void CCoverageMapDlg::OnPaint() {
    Draw();
}

void CCoverageMapDlg::Draw() {
    ui::Window& w = window();
    const ui::Rect picture = PictureRect();
    const int width = picture.right - picture.left;
    const int height = picture.bottom - picture.top;
    if (width > 0 && height > 0) {
        if (std::unique_ptr<ui::Canvas> canvas = w.OpenCanvas(IDC_MAP_VIEW)) {
            const platform::Image image = map_.RenderView(width, height);
            canvas->DrawImage({1, 1, 1 + image.width, 1 + image.height}, image.width, image.height,
                              image.pixels.data());
        }
    }
    const ui::Rect legend = w.ControlRect(IDC_MAP_LEGEND);
    const int legendWidth = legend.right - legend.left - 2;
    const int legendHeight = legend.bottom - legend.top - 2;
    if (legendWidth > 0 && legendHeight > 0) {
        if (std::unique_ptr<ui::Canvas> canvas = w.OpenCanvas(IDC_MAP_LEGEND)) {
            const platform::Image strip = map_.LegendStrip(legendWidth);
            canvas->Fill({1, 1, 1 + legendWidth, 1 + legendHeight}, {255, 255, 255});
            canvas->DrawImage({1, 1, 1 + strip.width, 1 + strip.height}, strip.width, strip.height,
                              strip.pixels.data());
        }
    }
}

// --- The floor.

void CCoverageMapDlg::TakeSiteFloor() {
    Whereabouts* where = ctx_.adapter.channel.whereabouts();
    SiteFloor floor;
    if (where != nullptr && where->Floor(&floor)) {
        std::string error;
        if (!floor.planPath.empty()) {
            if (!map_.LoadPlan(ctx_.adapter.os, floor.planPath, floor.widthM, &error)) {
                Warn(error);
            }
        } else if (!map_.SetGrid(floor.widthM, floor.heightM, &error)) {
            Warn(error);
        }
    }
    const Floor& f = map_.GetFloor();
    double x = 0, y = 0;
    if (where == nullptr || !where->Position(&x, &y)) {
        x = f.widthM / 2;
        y = f.heightM / 2;
    }
    map_.SetCursor(x, y);
}

void CCoverageMapDlg::ShowFloor() {
    ui::Window& w = window();
    const Floor& floor = map_.GetFloor();
    const bool plan = !map_.Plan().empty();
    const std::string size =
        FormatDecimal(floor.widthM, 2) + " x " + FormatDecimal(floor.heightM, 2) + " m";
    w.SetText(IDC_MAP_FLOOR_TEXT,
              (plan ? FileName(floor.planPath) : std::string("Grid")) + ", " + size);
    if (twoPoints_ == TwoPoints::Off) {
        SetNumber(IDC_MAP_WIDTH, floor.widthM, 2);
        SetNumber(IDC_MAP_HEIGHT, floor.heightM, 2);
    }
    // A plan's height follows from its width.
    w.Enable(IDC_MAP_HEIGHT, !plan);
    w.Enable(IDC_MAP_HEIGHT_LABEL, !plan);
    w.Enable(IDC_MAP_TWO_POINTS, plan && !measuring_);
}

void CCoverageMapDlg::ChoosePlan() {
    std::string path;
    const ui::FileChoice choice{"Open Floor Plan", "Bitmaps (*.bmp)", "bmp", ""};
    if (!ctx_.host.AskOpenFile(*this, choice, &path) || !IsOpen()) return;
    double width = map_.GetFloor().widthM;
    ReadNumber(IDC_MAP_WIDTH, &width);
    std::string error;
    if (!map_.LoadPlan(ctx_.adapter.os, path, width, &error)) {
        Warn(error);
        return;
    }
    EndTwoPoints();
    ShowFloor();
    Changed();
    Status("Enter the plan's width in metres and press Apply, or measure it with Two Points.");
}

void CCoverageMapDlg::UseGrid() {
    double width = 0, height = 0;
    if (!ReadNumber(IDC_MAP_WIDTH, &width) || !ReadNumber(IDC_MAP_HEIGHT, &height)) {
        Warn("Enter the floor's width and height in metres.");
        return;
    }
    std::string error;
    if (!map_.SetGrid(width, height, &error)) {
        Warn(error);
        return;
    }
    EndTwoPoints();
    ShowFloor();
    Changed();
}

void CCoverageMapDlg::StartTwoPoints() {
    if (map_.Plan().empty()) return;
    twoPoints_ = TwoPoints::First;
    Status("Click the first of two points on the plan whose distance you know.");
}

void CCoverageMapDlg::EndTwoPoints() {
    if (twoPoints_ == TwoPoints::Off) return;
    twoPoints_ = TwoPoints::Off;
    window().SetText(IDC_MAP_WIDTH_LABEL, "&Width (m):");
}

void CCoverageMapDlg::ApplyFloor() {
    const Floor& floor = map_.GetFloor();
    double value = 0;
    if (!ReadNumber(IDC_MAP_WIDTH, &value)) {
        Warn(twoPoints_ == TwoPoints::Distance ? "Enter the distance in metres."
                                               : "Enter the floor's width in metres.");
        return;
    }
    std::string error;
    if (twoPoints_ == TwoPoints::Distance) {
        double width = 0;
        if (!WidthFromTwoPoints(map_.Plan().width, twoPoint_[0], twoPoint_[1], twoPoint_[2],
                                twoPoint_[3], value, &width)) {
            Warn("The two points and their distance give no usable width.");
            return;
        }
        value = width;
    }
    bool ok = false;
    if (!map_.Plan().empty()) {
        ok = map_.SetFloorWidth(value, &error);
    } else {
        double height = floor.heightM;
        ReadNumber(IDC_MAP_HEIGHT, &height);
        ok = map_.SetGrid(value, height, &error);
    }
    if (!ok) {
        Warn(error);
        return;
    }
    EndTwoPoints();
    ShowFloor();
    Changed();
    Status(kIdleHint);
}

// --- Measuring.

void CCoverageMapDlg::ClickAt(int px, int py) {
    const ui::Rect picture = PictureRect();
    const int width = picture.right - picture.left;
    const int height = picture.bottom - picture.top;
    const ViewTransform view = map_.View(width, height);
    if (!view.OnFloor(px, py)) {
        Status("Click on the floor.");
        return;
    }
    double xM = 0, yM = 0;
    view.ToMetres(px + 0.5, py + 0.5, &xM, &yM);
    // A click while the distance is awaited starts the two points over.
    if (twoPoints_ == TwoPoints::Distance) twoPoints_ = TwoPoints::First;
    if (twoPoints_ == TwoPoints::First || twoPoints_ == TwoPoints::Second) {
        const Floor& floor = map_.GetFloor();
        const double scale = map_.Plan().width / floor.widthM;
        const int at = twoPoints_ == TwoPoints::First ? 0 : 2;
        twoPoint_[at] = xM * scale;
        twoPoint_[at + 1] = yM * scale;
        if (twoPoints_ == TwoPoints::First) {
            twoPoints_ = TwoPoints::Second;
            Status("Now click the second point.");
            return;
        }
        twoPoints_ = TwoPoints::Distance;
        ui::Window& w = window();
        w.SetText(IDC_MAP_WIDTH_LABEL, "&Distance (m):");
        w.SetText(IDC_MAP_WIDTH, "");
        w.SetFocus(IDC_MAP_WIDTH);
        Status("Enter the distance between the two points in metres and press Apply.");
        return;
    }
    const int hit = map_.HitTest(width, height, px, py);
    if (hit >= 0) {
        map_.Select(hit);
        const SurveyPoint& p = map_.GetSurvey().Points()[size_t(hit)];
        Status("Point " + std::to_string(hit + 1) + " at " + Metres(p.xM, p.yM) + ", " + p.time +
               ". Delete removes it.");
        Draw();
        return;
    }
    MeasureAt(xM, yM);
}

void CCoverageMapDlg::MeasureAt(double xM, double yM) {
    if (measuring_) return;
    map_.SetCursor(xM, yM);
    const double x = map_.CursorXM(), y = map_.CursorYM();
    // The simulated laptop goes where the user stands; a real adapter is simply there.
    if (Whereabouts* where = ctx_.adapter.channel.whereabouts()) where->MoveTo(x, y);
    pending_ = SurveyPoint();
    pending_.time = ctx_.adapter.os.LocalTimestamp();
    pending_.xM = x;
    pending_.yM = y;
    measuring_ = true;
    survey_.Start(window().IsChecked(IDC_MAP_ACTIVE));
    EnableWhileIdle();
    window().GetProgressBar(IDC_MAP_PROGRESS).SetPosition(0);
    Status("Measuring at " + Metres(x, y) + "... Escape cancels.");
    window().SetTimer(kMeasureTimer, kMeasureTickMs);
    Draw();
}

void CCoverageMapDlg::OnTimer(int id) {
    if (id != kMeasureTimer || !measuring_) return;
    const PointSurvey::Phase phase = survey_.Tick();
    if (!IsOpen()) return;
    window().GetProgressBar(IDC_MAP_PROGRESS).SetPosition(survey_.Progress());
    if (phase == PointSurvey::Phase::Done) FinishPoint();
}

void CCoverageMapDlg::FinishPoint() {
    window().KillTimer(kMeasureTimer);
    measuring_ = false;
    survey_.Result(&pending_);
    EnableWhileIdle();
    std::string error;
    if (!map_.AddPoint(pending_, &error)) {
        Warn("The point could not be kept: " + error);
        return;
    }
    FillStations();
    const size_t count = map_.GetSurvey().Size();
    std::string text = "Point " + std::to_string(count) + ": ";
    const Station* master = pending_.Find(pending_.master);
    if (pending_.master == kNoStation) {
        text += "no master.";
    } else {
        const std::string name = master != nullptr && !master->name.empty()
                                     ? master->name
                                     : FormatAddress(pending_.master);
        text += name + ", signal " + (master ? std::to_string(master->signal) + " %" : "not heard");
        text += ", " + std::to_string(pending_.stations.size()) + " heard.";
    }
    Changed();
    // Once the survey has a file, every point goes into it at once.
    if (!surveyPath_.empty()) {
        if (map_.Save(ctx_.adapter.os, surveyPath_, &error)) {
            unsaved_ = false;
        } else {
            Warn(error);
        }
    }
    Status(text);
}

void CCoverageMapDlg::CancelPoint() {
    if (!measuring_) return;
    window().KillTimer(kMeasureTimer);
    survey_.Cancel();
    measuring_ = false;
    EnableWhileIdle();
    window().GetProgressBar(IDC_MAP_PROGRESS).SetPosition(0);
    Status("The point was cancelled.");
}

void CCoverageMapDlg::EnableWhileIdle() {
    ui::Window& w = window();
    for (int id : kIdleControls) w.Enable(id, !measuring_);
    w.Enable(IDC_MAP_TWO_POINTS, !measuring_ && !map_.Plan().empty());
}

void CCoverageMapDlg::MoveCursor(double dx, double dy) {
    const Floor& floor = map_.GetFloor();
    const double step = std::max(floor.widthM, floor.heightM) * kCursorStep;
    map_.SetCursor(map_.CursorXM() + dx * step, map_.CursorYM() + dy * step);
    DescribePlace(map_.CursorXM(), map_.CursorYM());
    Draw();
}

void CCoverageMapDlg::DeleteSelected() {
    const int selected = map_.Selected();
    if (selected < 0) {
        Status("Click a point to select it, then Delete removes it.");
        return;
    }
    map_.DeletePoint(size_t(selected));
    FillStations();
    Changed();
    Status("Point " + std::to_string(selected + 1) + " was deleted.");
}

// --- What is shown.

void CCoverageMapDlg::FillStations() {
    ui::DropList& list = window().GetDropList(IDC_MAP_STATION);
    const uint64_t chosen = map_.Settings().station;
    list.Clear();
    list.Add("The synchronised master");
    stations_.clear();
    int selection = 0;
    for (const HeardStation& s : map_.Stations()) {
        std::string label = FormatAddress(s.address);
        if (!s.name.empty()) label = s.name + " (" + label + ")";
        if (s.role == Role::kNode) label += " node";
        list.Add(label);
        stations_.push_back(s.address);
        if (s.address == chosen) selection = int(stations_.size());
    }
    list.Select(selection);
}

void CCoverageMapDlg::ChooseMetric() {
    ui::Window& w = window();
    const int m = w.GetDropList(IDC_MAP_METRIC).Selection();
    if (m < 0 || m >= int(std::size(kMetrics))) return;
    const int s = w.GetDropList(IDC_MAP_STATION).Selection();
    const uint64_t station =
        s >= 1 && size_t(s) <= stations_.size() ? stations_[s - 1] : kNoStation;
    map_.SetMetric(kMetrics[m], station);
    ShowThresholds();
    Draw();
}

void CCoverageMapDlg::ShowThresholds() {
    ui::Window& w = window();
    const MapSettings& settings = map_.Settings();
    for (int i = 0; i < int(std::size(kMetrics)); ++i) {
        if (kMetrics[i] == settings.metric) w.GetDropList(IDC_MAP_METRIC).Select(i);
    }
    const bool bands = settings.metric != Metric::kMaster;
    w.Enable(IDC_MAP_STATION, PerStation(settings.metric));
    for (int id : {IDC_MAP_GOOD, IDC_MAP_FAIR, IDC_MAP_GOOD_LABEL, IDC_MAP_FAIR_LABEL}) {
        w.Enable(id, bands);
    }
    w.SetText(IDC_MAP_UNIT, UnitOf(settings.metric));
    SetNumber(IDC_MAP_GOOD, settings.Current().good, 2);
    SetNumber(IDC_MAP_FAIR, settings.Current().fair, 2);
    SetNumber(IDC_MAP_RADIUS, settings.radiusM, 2);
}

void CCoverageMapDlg::ApplyView() {
    const MapSettings& settings = map_.Settings();
    if (settings.metric != Metric::kMaster) {
        Thresholds t;
        std::string error;
        if (!ReadNumber(IDC_MAP_GOOD, &t.good) || !ReadNumber(IDC_MAP_FAIR, &t.fair)) {
            Warn("Enter the thresholds as numbers.");
            return;
        }
        if (!map_.SetThresholds(settings.metric, t, &error)) {
            Warn(error);
            return;
        }
    }
    double radius = settings.radiusM;
    if (!ReadNumber(IDC_MAP_RADIUS, &radius)) {
        Warn("Enter the radius in metres.");
        return;
    }
    map_.SetRadius(radius);
    ShowThresholds();
    Changed();
}

void CCoverageMapDlg::DescribePlace(double xM, double yM) {
    std::string text = Metres(xM, yM);
    double value = 0;
    const Metric metric = map_.Settings().metric;
    if (metric != Metric::kMaster && map_.ValueAt(xM, yM, &value)) {
        text +=
            ": " + FormatDecimal(value, metric == Metric::kLatency ? 1 : 0) + " " + UnitOf(metric);
    }
    Status(text);
}

// --- Commands.

void CCoverageMapDlg::OnCommand(int id) {
    switch (id) {
        case IDC_MAP_PLAN:
            ChoosePlan();
            break;
        case IDC_MAP_GRID:
            UseGrid();
            break;
        case IDC_MAP_TWO_POINTS:
            StartTwoPoints();
            break;
        case IDC_MAP_APPLY_FLOOR:
            ApplyFloor();
            break;
        case IDC_MAP_MEASURE: {
            // Enter in a box of figures applies them instead.
            const int focus = window().FocusedControl();
            if (focus == IDC_MAP_WIDTH || focus == IDC_MAP_HEIGHT) {
                ApplyFloor();
            } else if (focus == IDC_MAP_GOOD || focus == IDC_MAP_FAIR || focus == IDC_MAP_RADIUS) {
                ApplyView();
            } else {
                MeasureAt(map_.CursorXM(), map_.CursorYM());
            }
            break;
        }
        case IDC_MAP_UNDO:
            if (map_.Undo()) {
                FillStations();
                Changed();
                Status("The last point was removed.");
            }
            break;
        case IDC_MAP_DELETE:
            DeleteSelected();
            break;
        case IDC_MAP_APPLY_VIEW:
            ApplyView();
            break;
        case IDC_MAP_OPEN:
            OpenSurvey();
            break;
        case IDC_MAP_SAVE:
            SaveAs();
            break;
        case IDC_MAP_EXPORT_IMAGE:
            Export(true);
            break;
        case IDC_MAP_EXPORT_CSV:
            Export(false);
            break;
        case IDC_MAP_HELP: {
            shell::CHelpDlg help(ctx_.adapter.os, shell::kHelpContextCoverageMap);
            ctx_.host.RunModal(help);
            break;
        }
        case IDC_MAP_CLOSE:
            Close();
            break;
        case ui::kIdCancel:
            // Escape: the point under way, then the two points, then the window.
            if (measuring_) {
                CancelPoint();
            } else if (twoPoints_ != TwoPoints::Off) {
                EndTwoPoints();
                ShowFloor();
                Status(kIdleHint);
            } else {
                Close();
            }
            break;
    }
}

void CCoverageMapDlg::OnNotify(int id, ui::Notify code) {
    if (code == ui::Notify::SelectionChanged && (id == IDC_MAP_METRIC || id == IDC_MAP_STATION)) {
        ChooseMetric();
        return;
    }
    ui::Dialog::OnNotify(id, code);
}

bool CCoverageMapDlg::HandlesAccelerator(int id) const {
    if (id < IDC_MAP_KEY_LEFT || id > IDC_MAP_KEY_UNDO || !IsOpen()) return false;
    const int focus = window().FocusedControl();
    return std::find(std::begin(kTypingControls), std::end(kTypingControls), focus) ==
           std::end(kTypingControls);
}

void CCoverageMapDlg::OnAccelerator(int id) {
    if (measuring_ || !HandlesAccelerator(id)) return;
    switch (id) {
        case IDC_MAP_KEY_LEFT:
            return MoveCursor(-1, 0);
        case IDC_MAP_KEY_RIGHT:
            return MoveCursor(1, 0);
        case IDC_MAP_KEY_UP:
            return MoveCursor(0, -1);
        case IDC_MAP_KEY_DOWN:
            return MoveCursor(0, 1);
        case IDC_MAP_KEY_LEFT_FAR:
            return MoveCursor(-10, 0);
        case IDC_MAP_KEY_RIGHT_FAR:
            return MoveCursor(10, 0);
        case IDC_MAP_KEY_UP_FAR:
            return MoveCursor(0, -10);
        case IDC_MAP_KEY_DOWN_FAR:
            return MoveCursor(0, 10);
        case IDC_MAP_KEY_DELETE:
            return DeleteSelected();
        case IDC_MAP_KEY_UNDO:
            return OnCommand(IDC_MAP_UNDO);
    }
}

void CCoverageMapDlg::OnMouse(ui::Mouse event, int x, int y) {
    const ui::Rect picture = PictureRect();
    const int px = x - picture.left;
    const int py = y - picture.top;
    if (px < 0 || py < 0 || x >= picture.right || y >= picture.bottom) return;
    if (event == ui::Mouse::LeftDown) {
        if (!measuring_) ClickAt(px, py);
        return;
    }
    if (event != ui::Mouse::Move || measuring_ || twoPoints_ != TwoPoints::Off) return;
    const ViewTransform view =
        map_.View(picture.right - picture.left, picture.bottom - picture.top);
    if (!view.OnFloor(px, py)) return;
    double xM = 0, yM = 0;
    view.ToMetres(px + 0.5, py + 0.5, &xM, &yM);
    DescribePlace(xM, yM);
}

// --- Files.

bool CCoverageMapDlg::SaveAs() {
    std::string path;
    const ui::FileChoice choice{"Save Survey", "Coverage surveys (*.cov)", "cov",
                                surveyPath_.empty() ? "survey.cov" : surveyPath_};
    if (!ctx_.host.AskSaveFile(*this, choice, &path) || !IsOpen()) return false;
    std::string error;
    if (!map_.Save(ctx_.adapter.os, path, &error)) {
        Warn(error);
        return false;
    }
    surveyPath_ = path;
    unsaved_ = false;
    Status("Saved in " + FileName(path) + "; every new point is saved there at once.");
    return true;
}

void CCoverageMapDlg::OpenSurvey() {
    if (!MayDiscard()) return;
    std::string path;
    const ui::FileChoice choice{"Open Survey", "Coverage surveys (*.cov)", "cov", ""};
    if (!ctx_.host.AskOpenFile(*this, choice, &path) || !IsOpen()) return;
    LoadReport report;
    std::string message;
    if (!map_.Open(ctx_.adapter.os, path, &report, &message)) {
        Warn(message);
        return;
    }
    // A file read only in part is not written over by the next point.
    const bool whole = report.skippedCount == 0 && !report.endMissing && report.readFrom.empty();
    surveyPath_ = whole ? path : std::string();
    unsaved_ = !whole;
    EndTwoPoints();
    const Floor& floor = map_.GetFloor();
    if (!message.empty()) ctx_.host.Ask(*this, kTitle, message, ui::Question::Information);
    if (!floor.planPath.empty() && map_.Plan().empty()) FindMissingPlan();
    FillStations();
    ShowThresholds();
    ShowFloor();
    Draw();
    Status(std::to_string(map_.GetSurvey().Size()) + " points from " + FileName(path) + ".");
}

void CCoverageMapDlg::FindMissingPlan() {
    const Floor floor = map_.GetFloor();
    const std::string text =
        "The floor plan " + floor.planPath + " was not found. Do you want to look for it?";
    if (ctx_.host.Ask(*this, kTitle, text, ui::Question::YesNo) != ui::Answer::Yes) return;
    std::string path;
    const ui::FileChoice choice{"Find Floor Plan", "Bitmaps (*.bmp)", "bmp",
                                FileName(floor.planPath)};
    if (!ctx_.host.AskOpenFile(*this, choice, &path) || !IsOpen()) return;
    std::string error;
    if (!map_.LoadPlan(ctx_.adapter.os, path, floor.widthM, &error)) {
        Warn(error);
        return;
    }
    unsaved_ = true;
}

void CCoverageMapDlg::Export(bool image) {
    std::string path;
    const ui::FileChoice choice =
        image ? ui::FileChoice{"Export Image", "Bitmaps (*.bmp)", "bmp", "coverage.bmp"}
              : ui::FileChoice{"Export CSV", "CSV files (*.csv)", "csv", "coverage.csv"};
    if (!ctx_.host.AskSaveFile(*this, choice, &path) || !IsOpen()) return;
    std::string error;
    const bool done = image ? map_.ExportBitmap(ctx_.adapter.os, path, &error)
                            : map_.ExportCsv(ctx_.adapter.os, path, &error);
    if (!done) {
        Warn(error);
        return;
    }
    Status("Exported to " + FileName(path) + ".");
}

bool CCoverageMapDlg::MayDiscard() {
    if (!unsaved_ || map_.GetSurvey().Size() == 0) return true;
    switch (ctx_.host.Ask(*this, kTitle,
                          "The survey has changes that are not saved. Save them first?",
                          ui::Question::YesNoCancel)) {
        case ui::Answer::Yes:
            return SaveAs();
        case ui::Answer::No:
            return true;
        default:
            return false;
    }
}

void CCoverageMapDlg::Close() {
    CancelPoint();
    if (!MayDiscard() || !IsOpen()) return;
    window().End(ui::kIdOk);
}

void CCoverageMapDlg::OnClose() {
    Close();
}

void CCoverageMapDlg::OnDestroy() {
    window().KillTimer(kMeasureTimer);
    if (measuring_) survey_.Cancel();
    measuring_ = false;
    if (ctx_.acceleratorTarget == this) ctx_.acceleratorTarget = nullptr;
}

// --- Small helpers.

void CCoverageMapDlg::Status(const std::string& text) {
    if (text == status_) return;
    status_ = text;
    window().SetText(IDC_MAP_STATUS, text);
}

void CCoverageMapDlg::Warn(const std::string& text) {
    ctx_.host.Ask(*this, kTitle, text, ui::Question::Warning);
}

bool CCoverageMapDlg::ReadNumber(int id, double* value) const {
    std::string text = window().GetText(id);
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    // A comma is taken for the decimal point, as many keyboards write it.
    std::replace(text.begin(), text.end(), ',', '.');
    return ParseDecimal(text, 3, value);
}

void CCoverageMapDlg::SetNumber(int id, double value, int decimals) {
    window().SetText(id, FormatDecimal(value, decimals));
}

void CCoverageMapDlg::Changed() {
    unsaved_ = true;
    Draw();
}

}  // namespace odr::map
