// The Coverage Map window's model: the survey, the floor's plan, what is shown (metric,
// station, thresholds, radius), the selection and the keyboard's cross-hair, with the heat
// map's field kept between calls so that adding a point recomputes only the cells within
// its radius. Files are touched only through the platform::Os given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "map/Legend.h"
#include "map/MapView.h"
#include "map/Survey.h"
#include "map/SurveyFile.h"
#include "map/ValueField.h"
#include "platform/Image.h"

namespace odr::platform {
class Os;
}

namespace odr::map {

class CoverageMap {
  public:
    // A 20 m x 15 m grid, no points, the signal of the synchronised master, radius 8 m.
    CoverageMap();

    // --- The floor. Points keep their metres unless said otherwise.
    // A plan `widthM` metres wide (its height follows from its aspect); `path` is recorded
    // in the survey. False with `*error` when the plan is empty or the width out of range.
    bool SetPlan(platform::Image plan, const std::string& path, double widthM, std::string* error);
    // Reads the plan from a .bmp file (reduced to kPlanMaxSide), then SetPlan.
    bool LoadPlan(platform::Os& os, const std::string& path, double widthM, std::string* error);
    // A plain grid of `widthM` x `heightM` metres; the plan is dropped.
    bool SetGrid(double widthM, double heightM, std::string* error);
    // The floor measured again (see WidthFromTwoPoints): a new width, the height in
    // proportion, and every point keeps its place on the plan or grid.
    bool SetFloorWidth(double widthM, std::string* error);
    const Floor& GetFloor() const { return survey_.GetFloor(); }
    // The plan's picture; empty for a grid (or a plan whose file could not be read).
    const platform::Image& Plan() const { return plan_; }

    // --- The points.
    bool AddPoint(SurveyPoint point, std::string* error);
    // Removes the point added last.
    bool Undo();
    bool DeletePoint(size_t index);
    const Survey& GetSurvey() const { return survey_; }
    // -1 (or any index that is not a point's) selects none.
    void Select(int index);
    int Selected() const { return selected_; }
    void SetCursor(double xM, double yM);
    void HideCursor() { cursor_ = false; }
    // The cross-hair's place on the floor, kept while it is hidden.
    double CursorXM() const { return cursorXM_; }
    double CursorYM() const { return cursorYM_; }

    // --- What is shown.
    // `station` applies to signal and link quality; kNoStation: the synchronised master.
    void SetMetric(Metric metric, uint64_t station = kNoStation);
    // False with `*error` when good does not come before fair or a value is out of range.
    bool SetThresholds(Metric metric, const Thresholds& thresholds, std::string* error);
    // Sets the radius, rounded up to the centimetre, from MinRadius() to MaxRadius(); returns
    // the radius set.
    double SetRadius(double radiusM);
    // The smallest radius that paints a point's own cell.
    double MinRadius() const;
    // The floor's diagonal: a larger radius would paint nothing more.
    double MaxRadius() const;
    const MapSettings& Settings() const { return settings_; }
    std::vector<HeardStation> Stations() const { return ListStations(survey_); }
    std::vector<LegendEntry> Legend() const { return LegendEntries(survey_, settings_); }
    // The legend's title (the metric, and the station chosen) and the legend alone, as a
    // strip `width` pixels wide (wider when one entry needs it).
    std::string LegendTitle() const;
    platform::Image LegendStrip(int width) const;
    // The heat map's value at a place; false where nothing is painted.
    bool ValueAt(double xM, double yM, double* value);

    // --- The view in an area of `width` x `height` pixels.
    ViewTransform View(int width, int height) const;
    platform::Image RenderView(int width, int height);
    // The point whose marker is at pixel (px, py), or -1.
    int HitTest(int width, int height, int px, int py) const;

    // --- Files and exports.
    std::string SurveyText() const { return FormatSurvey(survey_, settings_); }
    // Replaces the survey and settings by those of `text`; the plan is kept when the text
    // names the same plan file, else a grid of the floor's size is shown.
    bool LoadSurveyText(std::string_view text, LoadReport* report, std::string* error);
    // Reads a survey file and its plan. False with `*message` the reason when the file is not
    // read; true with `*message` what the user should know ("" when all went well): lines
    // skipped, a recovery, a plan that could not be read.
    bool Open(platform::Os& os, const std::string& path, LoadReport* report, std::string* message);
    bool Save(platform::Os& os, const std::string& path, std::string* error) const;
    std::string CsvText() const;
    bool ExportCsv(platform::Os& os, const std::string& path, std::string* error) const;
    // The heat map at the plan's own resolution (a grid: kGridExportWidth wide) with the
    // legend below; markers without selection or cross-hair.
    platform::Image ExportImage();
    bool ExportBitmap(platform::Os& os, const std::string& path, std::string* error);

    // Bytes the heat map's field takes.
    size_t FieldBytes() const { return field_.MemoryBytes(); }

  private:
    void Invalidate();
    // After the floor changed: the cross-hair kept on it, the field made again.
    void AdoptFloor();
    // After a survey was opened: nothing selected, the cross-hair hidden at the centre.
    void AdoptSurvey();
    const ValueField& Field();
    platform::Image Render(const ViewTransform& view, const platform::Image& background,
                           bool marks);

    Survey survey_;
    MapSettings settings_;
    platform::Image plan_;
    ValueField field_;
    bool fieldValid_ = false;
    std::vector<uint32_t> colours_;
    bool coloursValid_ = false;
    platform::Image scaledPlan_;  // the plan at the last view's size
    int selected_ = -1;
    bool cursor_ = false;
    double cursorXM_ = 0;
    double cursorYM_ = 0;
};

}  // namespace odr::map
