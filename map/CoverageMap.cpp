// The coverage map's model: the survey and its plan, the cached field, views and files.
#include "map/CoverageMap.h"

#include <algorithm>
#include <cmath>

#include "map/Decimal.h"
#include "map/HeatMap.h"
#include "map/MapExport.h"
#include "platform/Bitmap.h"
#include "platform/SafeFile.h"

namespace odr::map {
CoverageMap::CoverageMap() {
    Floor grid;
    grid.widthM = 20;
    grid.heightM = 15;
    survey_.SetFloor(grid);
    AdoptFloor();
}

void CoverageMap::Invalidate() {
    fieldValid_ = false;
    coloursValid_ = false;
}

// After the floor changed: the radius must still paint a point's own cell.
void CoverageMap::AdoptFloor() {
    const Floor& floor = survey_.GetFloor();
    cursorXM_ = std::clamp(cursorXM_, 0.0, floor.widthM);
    cursorYM_ = std::clamp(cursorYM_, 0.0, floor.heightM);
    SetRadius(settings_.radiusM);
    Invalidate();
}

void CoverageMap::AdoptSurvey() {
    const Floor& floor = survey_.GetFloor();
    selected_ = -1;
    cursor_ = false;
    cursorXM_ = floor.widthM / 2;
    cursorYM_ = floor.heightM / 2;
    AdoptFloor();
}

bool CoverageMap::SetPlan(platform::Image plan, const std::string& path, double widthM,
                          std::string* error) {
    if (plan.empty()) {
        *error = "The plan has no pixels.";
        return false;
    }
    const double heightM = Quantize(widthM * plan.height / plan.width, kCoordinateDecimals);
    if (!survey_.SetFloor(Floor{path, widthM, heightM})) {
        *error = "The floor's width must be from 0.001 to 100000 metres, its height too.";
        return false;
    }
    plan_ = std::move(plan);
    scaledPlan_ = platform::Image();
    AdoptFloor();
    return true;
}

bool CoverageMap::LoadPlan(platform::Os& os, const std::string& path, double widthM,
                           std::string* error) {
    platform::DecodedBitmap bitmap;
    if (!platform::ReadBitmapFile(os, path, platform::kPlanMaxSide, &bitmap, error)) return false;
    return SetPlan(std::move(bitmap.image), path, widthM, error);
}

bool CoverageMap::SetGrid(double widthM, double heightM, std::string* error) {
    if (!survey_.SetFloor(Floor{std::string(), widthM, heightM})) {
        *error = "The floor's width and height must be from 0.001 to 100000 metres.";
        return false;
    }
    plan_ = platform::Image();
    scaledPlan_ = platform::Image();
    AdoptFloor();
    return true;
}

bool CoverageMap::SetFloorWidth(double widthM, std::string* error) {
    const Floor& floor = survey_.GetFloor();
    const double heightM = Quantize(widthM * floor.heightM / floor.widthM, kCoordinateDecimals);
    if (!survey_.ScaleFloor(widthM, heightM)) {
        *error = "The floor's width must be from 0.001 to 100000 metres, its height too.";
        return false;
    }
    AdoptFloor();
    return true;
}

bool CoverageMap::AddPoint(SurveyPoint point, std::string* error) {
    if (!survey_.Add(std::move(point), error)) return false;
    if (fieldValid_) AddToField(survey_, survey_.Size() - 1, settings_, &field_);
    coloursValid_ = false;
    return true;
}

bool CoverageMap::Undo() {
    if (!survey_.Undo()) return false;
    if (selected_ >= int(survey_.Size())) selected_ = -1;
    Invalidate();
    return true;
}

bool CoverageMap::DeletePoint(size_t index) {
    if (!survey_.Erase(index)) return false;
    if (selected_ == int(index)) {
        selected_ = -1;
    } else if (selected_ > int(index)) {
        --selected_;
    }
    Invalidate();
    return true;
}

void CoverageMap::Select(int index) {
    selected_ = index >= 0 && size_t(index) < survey_.Size() ? index : -1;
}

void CoverageMap::SetCursor(double xM, double yM) {
    const Floor& floor = survey_.GetFloor();
    cursor_ = true;
    cursorXM_ = std::clamp(std::isfinite(xM) ? xM : 0, 0.0, floor.widthM);
    cursorYM_ = std::clamp(std::isfinite(yM) ? yM : 0, 0.0, floor.heightM);
}

void CoverageMap::SetMetric(Metric metric, uint64_t station) {
    settings_.metric = metric;
    settings_.station = PerStation(metric) ? station : kNoStation;
    Invalidate();
}

bool CoverageMap::SetThresholds(Metric metric, const Thresholds& t, std::string* error) {
    const Thresholds held{Quantize(t.good, 2), Quantize(t.fair, 2)};
    if (metric == Metric::kMaster || !std::isfinite(t.good) || !std::isfinite(t.fair) ||
        !ValidThresholds(metric, held)) {
        *error = HigherIsBetter(metric)
                     ? "The good limit must be at least the fair one, and both in range."
                     : "The good limit must be at most the fair one, and both in range.";
        return false;
    }
    settings_.thresholds[int(metric)] = held;
    coloursValid_ = false;
    return true;
}

double CoverageMap::MinRadius() const {
    const Floor& floor = survey_.GetFloor();
    return std::ceil(ValueField::MinRadius(floor.widthM, floor.heightM) * 100) / 100;
}

double CoverageMap::MaxRadius() const {
    const Floor& floor = survey_.GetFloor();
    return std::max(MinRadius(), std::ceil(std::hypot(floor.widthM, floor.heightM) * 100) / 100);
}

double CoverageMap::SetRadius(double radiusM) {
    if (!std::isfinite(radiusM)) radiusM = settings_.radiusM;
    const double radius =
        std::clamp(std::ceil(radiusM * 100 - 1e-6) / 100, MinRadius(), MaxRadius());
    if (radius != settings_.radiusM) {
        settings_.radiusM = radius;
        Invalidate();
    }
    return radius;
}

const ValueField& CoverageMap::Field() {
    if (!fieldValid_) {
        FillField(survey_, settings_, &field_);
        fieldValid_ = true;
        coloursValid_ = false;
    }
    if (!coloursValid_) {
        colours_ = CellColours(field_, survey_, settings_);
        coloursValid_ = true;
    }
    return field_;
}

bool CoverageMap::ValueAt(double xM, double yM, double* value) {
    return Field().ValueAt(xM, yM, value);
}

ViewTransform CoverageMap::View(int width, int height) const {
    const Floor& floor = survey_.GetFloor();
    if (!plan_.empty()) {
        return FitView(width, height, plan_.width, plan_.height, floor.widthM, floor.heightM);
    }
    return FitView(width, height, floor.widthM, floor.heightM, floor.widthM, floor.heightM);
}

platform::Image CoverageMap::Render(const ViewTransform& view, const platform::Image& background,
                                    bool marks) {
    Scene scene;
    scene.field = &Field();
    scene.cellColours = &colours_;
    scene.points = &survey_.Points();
    std::vector<platform::Rgb> markers;
    const std::vector<uint64_t> masters = SynchronisedMasters(survey_);
    markers.reserve(survey_.Size());
    for (const SurveyPoint& p : survey_.Points())
        markers.push_back(MarkerColour(p, settings_, masters));
    scene.markerColours = &markers;
    if (marks) {
        scene.selected = selected_;
        scene.cursor = cursor_;
        scene.cursorXM = cursorXM_;
        scene.cursorYM = cursorYM_;
    }
    return RenderMap(view, background, scene);
}

platform::Image CoverageMap::RenderView(int width, int height) {
    const ViewTransform view = View(width, height);
    if (!plan_.empty() && view.width > 0 &&
        (scaledPlan_.width != view.width || scaledPlan_.height != view.height)) {
        scaledPlan_ = platform::ScaleImage(plan_, view.width, view.height);
    }
    return Render(view, plan_.empty() ? platform::Image() : scaledPlan_, true);
}

int CoverageMap::HitTest(int width, int height, int px, int py) const {
    return map::HitTest(View(width, height), survey_.Points(), px, py);
}

bool CoverageMap::LoadSurveyText(std::string_view text, LoadReport* report, std::string* error) {
    Survey survey;
    MapSettings settings;
    if (!ParseSurvey(text, &survey, &settings, report, error)) return false;
    const bool samePlan =
        !plan_.empty() && survey.GetFloor().planPath == survey_.GetFloor().planPath;
    survey_ = std::move(survey);
    settings_ = settings;
    if (samePlan) {
        Floor floor = survey_.GetFloor();
        floor.heightM = Quantize(floor.widthM * plan_.height / plan_.width, kCoordinateDecimals);
        survey_.SetFloor(floor);
    } else {
        plan_ = platform::Image();
        scaledPlan_ = platform::Image();
    }
    AdoptSurvey();
    return true;
}

bool CoverageMap::Open(platform::Os& os, const std::string& path, LoadReport* report,
                       std::string* message) {
    Survey survey;
    MapSettings settings;
    if (!ReadSurveyFile(os, path, &survey, &settings, report, message)) return false;
    std::string planError;
    platform::DecodedBitmap bitmap;
    const Floor floor = survey.GetFloor();
    const bool planRead =
        !floor.planPath.empty() &&
        platform::ReadBitmapFile(os, floor.planPath, platform::kPlanMaxSide, &bitmap, &planError);
    survey_ = std::move(survey);
    settings_ = settings;
    plan_ = platform::Image();
    scaledPlan_ = platform::Image();
    // A plan read whose shape does not fit the floor's width is not shown either.
    const bool planShown =
        planRead && SetPlan(std::move(bitmap.image), floor.planPath, floor.widthM, &planError);
    AdoptSurvey();
    *message = report->Summary();
    if (!floor.planPath.empty() && !planShown) {
        if (!message->empty()) *message += " ";
        *message += "The floor plan could not be read (" + planError +
                    "): the points are shown on a grid of the floor's size.";
    }
    return true;
}

bool CoverageMap::Save(platform::Os& os, const std::string& path, std::string* error) const {
    return WriteSurveyFile(os, path, survey_, settings_, error);
}

std::string CoverageMap::CsvText() const {
    return SurveyCsv(survey_);
}

bool CoverageMap::ExportCsv(platform::Os& os, const std::string& path, std::string* error) const {
    return platform::SaveFileSafely(os, path, CsvText(), error);
}

platform::Image CoverageMap::ExportImage() {
    const Floor& floor = survey_.GetFloor();
    ViewTransform view;
    if (!plan_.empty()) {
        view = FitView(plan_.width, plan_.height, plan_.width, plan_.height, floor.widthM,
                       floor.heightM);
    } else {
        const int height =
            std::clamp(int(std::lround(kGridExportWidth * floor.heightM / floor.widthM)), 1,
                       4 * kGridExportWidth);
        view = FitView(kGridExportWidth, height, floor.widthM, floor.heightM, floor.widthM,
                       floor.heightM);
    }
    return AddLegend(Render(view, plan_, false), LegendTitle(), Legend());
}

std::string CoverageMap::LegendTitle() const {
    std::string title = MetricTitle(settings_.metric);
    if (settings_.station != kNoStation) {
        const std::string name = survey_.NameOf(settings_.station);
        title += " - " + (name.empty() ? FormatAddress(settings_.station) : name);
    }
    return title;
}

platform::Image CoverageMap::LegendStrip(int width) const {
    return AddLegend(platform::Image(width, 0), LegendTitle(), Legend());
}

bool CoverageMap::ExportBitmap(platform::Os& os, const std::string& path, std::string* error) {
    return platform::SaveFileSafely(os, path, platform::EncodeBitmap(ExportImage()), error);
}

}  // namespace odr::map
