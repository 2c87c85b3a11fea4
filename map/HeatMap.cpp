// From points to a field, and from the field to colours.
#include "map/HeatMap.h"

#include <algorithm>

namespace odr::map {
namespace {

platform::Rgb ColourOfMaster(uint64_t master, const std::vector<uint64_t>& masters) {
    auto it = std::lower_bound(masters.begin(), masters.end(), master);
    if (master == kNoStation || it == masters.end() || *it != master) return kNoMasterColour;
    return MasterColour(size_t(it - masters.begin()));
}

}  // namespace

void FillField(const Survey& survey, const MapSettings& settings, ValueField* field) {
    const Floor& floor = survey.GetFloor();
    field->Reset(floor.widthM, floor.heightM, settings.radiusM);
    for (size_t i = 0; i < survey.Size(); ++i) AddToField(survey, i, settings, field);
}

void AddToField(const Survey& survey, size_t index, const MapSettings& settings,
                ValueField* field) {
    const SurveyPoint& p = survey.Points()[index];
    double value;
    if (PointValue(p, settings, &value)) field->Add(int(index), p.xM, p.yM, value);
}

std::vector<uint32_t> CellColours(const ValueField& field, const Survey& survey,
                                  const MapSettings& settings) {
    const int cells = field.Columns() * field.Rows();
    std::vector<uint32_t> colours(size_t(cells), kUnpainted);
    const std::vector<uint64_t> masters =
        settings.metric == Metric::kMaster ? SynchronisedMasters(survey) : std::vector<uint64_t>();
    for (int cell = 0; cell < cells; ++cell) {
        if (!field.Painted(cell)) continue;
        if (settings.metric == Metric::kMaster) {
            const int decider = field.Decider(cell);
            if (decider < 0 || size_t(decider) >= survey.Size()) continue;
            colours[size_t(cell)] =
                PackColour(ColourOfMaster(survey.Points()[size_t(decider)].master, masters));
        } else {
            const Band band = Classify(settings.metric, settings.Current(), field.Value(cell));
            colours[size_t(cell)] = PackColour(BandColour(band));
        }
    }
    return colours;
}

platform::Rgb MarkerColour(const SurveyPoint& p, const MapSettings& settings,
                           const std::vector<uint64_t>& masters) {
    double value;
    if (!PointValue(p, settings, &value)) return {255, 255, 255};
    if (settings.metric == Metric::kMaster) return ColourOfMaster(p.master, masters);
    return BandColour(Classify(settings.metric, settings.Current(), value));
}

}  // namespace odr::map
