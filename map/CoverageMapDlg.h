// The Coverage Map window (template 160): the floor plan (or a grid) with the points the
// user measured and the heat map of a chosen figure over it. Opened from the Site Survey.
// A click on the floor, or Enter at the keyboard's cross-hair, measures there; on the
// simulated adapter the laptop moves to the point first. The survey is saved as text, the
// map exported as a bitmap with its legend and the points as CSV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "map/CoverageMap.h"
#include "map/PointSurvey.h"
#include "ui/Dialog.h"

namespace odr::shell {
struct ShellContext;
}

namespace odr::settings {
class AdapterSettings;
}

namespace odr::map {

// The measuring timer.
constexpr int kMeasureTimer = 1;
constexpr unsigned kMeasureTickMs = 100;
// The cross-hair moves by this share of the floor's longer side a key press (Shift: ten).
constexpr double kCursorStep = 0.01;

class CCoverageMapDlg : public ui::Dialog {
  public:
    CCoverageMapDlg(shell::ShellContext& context, settings::AdapterSettings& settings);

    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnNotify(int id, ui::Notify code) override;
    void OnAccelerator(int id) override;
    bool HandlesAccelerator(int id) const override;
    void OnMouse(ui::Mouse event, int x, int y) override;
    void OnSize(int width, int height) override;
    void OnPaint() override;
    void OnTimer(int id) override;
    void OnClose() override;
    void OnDestroy() override;

    // State, readable by tests.
    const CoverageMap& Map() const { return map_; }
    bool Measuring() const { return measuring_; }
    const std::string& SurveyPath() const { return surveyPath_; }
    bool Unsaved() const { return unsaved_; }
    // The picture area inside the map's frame, in the window's client coordinates.
    ui::Rect PictureRect() const;

  private:
    enum class TwoPoints { Off, First, Second, Distance };
    struct Placed {
        int id;
        ui::Rect rect;
    };

    // The floor.
    void TakeSiteFloor();
    void ChoosePlan();
    void UseGrid();
    void StartTwoPoints();
    void EndTwoPoints();
    void ApplyFloor();
    void ShowFloor();

    // Measuring.
    void MeasureAt(double xM, double yM);
    void FinishPoint();
    void CancelPoint();
    void EnableWhileIdle();
    void ClickAt(int px, int py);
    void MoveCursor(double dx, double dy);
    void DeleteSelected();

    // What is shown.
    void FillStations();
    void ChooseMetric();
    void ShowThresholds();
    void ApplyView();
    void Draw();
    void DescribePlace(double xM, double yM);

    // Files.
    bool SaveAs();
    void OpenSurvey();
    void FindMissingPlan();
    void Export(bool image);
    // True when the window may close (or the survey be replaced): saved, or the user said so.
    bool MayDiscard();
    void Close();

    void Status(const std::string& text);
    void Warn(const std::string& text);
    bool ReadNumber(int id, double* value) const;
    void SetNumber(int id, double value, int decimals);
    // The survey or the view changed: unsaved, drawn again (the floor boxes are left as typed).
    void Changed();

    shell::ShellContext& ctx_;
    settings::AdapterSettings& settings_;
    CoverageMap map_;
    PointSurvey survey_;
    bool measuring_ = false;
    SurveyPoint pending_;
    TwoPoints twoPoints_ = TwoPoints::Off;
    double twoPoint_[4] = {};         // plan pixels: first x, y, second x, y
    std::vector<uint64_t> stations_;  // by the station list's items after the first
    std::string surveyPath_;          // where each new point is saved; "" until saved
    bool unsaved_ = false;
    std::string status_;
    std::vector<Placed> layout_;
    ui::Rect created_;  // the client area as the template made it
};

}  // namespace odr::map
