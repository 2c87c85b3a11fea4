// Inverse-distance weighting over a grid of cells.
#include "map/ValueField.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace odr::map {
namespace {

constexpr float kFar = std::numeric_limits<float>::infinity();

// An index from a coordinate in cells, held within [-1, limit] before it becomes an int.
int Index(double cells, int limit) {
    return int(std::clamp(cells, -1.0, double(limit)));
}

double CellSize(double widthM, double heightM) {
    return std::max({widthM, heightM, 0.001}) / kFieldMaxSide;
}

}  // namespace

double ValueField::MinRadius(double widthM, double heightM) {
    return CellSize(widthM, heightM) * std::sqrt(2.0);
}

void ValueField::Reset(double widthM, double heightM, double radiusM) {
    widthM_ = std::max(widthM, 0.001);
    heightM_ = std::max(heightM, 0.001);
    cellM_ = CellSize(widthM_, heightM_);
    radiusM_ = std::max(radiusM, MinRadius(widthM_, heightM_));
    const double margin = radiusM_ - cellM_ * std::sqrt(0.5);
    // A hair inside, so that the float distances kept per cell never paint past R.
    paintD2_ = margin * margin * (1 - 1e-6);
    columns_ = std::clamp(int(std::ceil(widthM_ / cellM_ - 1e-9)), 1, kFieldMaxSide);
    rows_ = std::clamp(int(std::ceil(heightM_ / cellM_ - 1e-9)), 1, kFieldMaxSide);
    Clear();
}

void ValueField::Clear() {
    const size_t cells = size_t(columns_) * size_t(rows_);
    sumW_.assign(cells, 0);
    sumWV_.assign(cells, 0);
    nearD2_.assign(cells, kFar);
    nearest_.assign(cells, -1);
    own_.assign(cells, -1);
    values_.clear();
}

void ValueField::Add(int index, double xM, double yM, double value) {
    if (index < 0 || !std::isfinite(xM) || !std::isfinite(yM)) return;
    if (size_t(index) >= values_.size()) values_.resize(size_t(index) + 1, 0);
    values_[size_t(index)] = value;
    const int own = CellAt(xM, yM);
    if (own >= 0) own_[size_t(own)] = index;
    const double r2 = radiusM_ * radiusM_;
    // Cells whose centre ((c + 0.5) * cellM_) lies within R of the point.
    const int c0 = std::max(0, Index(std::ceil((xM - radiusM_) / cellM_ - 0.5), columns_));
    const int c1 =
        std::min(columns_ - 1, Index(std::floor((xM + radiusM_) / cellM_ - 0.5), columns_));
    const int r0 = std::max(0, Index(std::ceil((yM - radiusM_) / cellM_ - 0.5), rows_));
    const int r1 = std::min(rows_ - 1, Index(std::floor((yM + radiusM_) / cellM_ - 0.5), rows_));
    const double closest = cellM_ * cellM_ * 1e-6;
    for (int r = r0; r <= r1; ++r) {
        const double dy = (r + 0.5) * cellM_ - yM;
        const size_t row = size_t(r) * size_t(columns_);
        // The row's chord of the circle, a cell wider each side; the distance decides.
        const double half = std::sqrt(std::max(r2 - dy * dy, 0.0));
        const int from = std::max(c0, Index(std::ceil((xM - half) / cellM_ - 0.5), columns_) - 1);
        const int to = std::min(c1, Index(std::floor((xM + half) / cellM_ - 0.5), columns_) + 1);
        for (int c = from; c <= to; ++c) {
            const double dx = (c + 0.5) * cellM_ - xM;
            const double d2 = dx * dx + dy * dy;
            if (d2 > r2) continue;
            const size_t cell = row + size_t(c);
            const double w = 1.0 / std::max(d2, closest);
            sumW_[cell] += w;
            sumWV_[cell] += w * value;
            if (float(d2) < nearD2_[cell]) {
                nearD2_[cell] = float(d2);
                nearest_[cell] = index;
            }
        }
    }
}

int ValueField::CellAt(double xM, double yM) const {
    if (!(xM >= 0 && yM >= 0 && xM <= widthM_ && yM <= heightM_)) return -1;
    const int c = std::min(int(xM / cellM_), columns_ - 1);
    const int r = std::min(int(yM / cellM_), rows_ - 1);
    return r * columns_ + c;
}

bool ValueField::Painted(int cell) const {
    return double(nearD2_[size_t(cell)]) <= paintD2_;
}

double ValueField::Value(int cell) const {
    const int own = own_[size_t(cell)];
    if (own >= 0) return values_[size_t(own)];
    const double w = sumW_[size_t(cell)];
    if (w <= 0) return 0;
    // Held to 1e-6 so that equal values weigh back to exactly themselves.
    return std::round(sumWV_[size_t(cell)] / w * 1e6) / 1e6;
}

int ValueField::Decider(int cell) const {
    const int own = own_[size_t(cell)];
    return own >= 0 ? own : nearest_[size_t(cell)];
}

bool ValueField::ValueAt(double xM, double yM, double* value) const {
    const int cell = CellAt(xM, yM);
    if (cell < 0 || !Painted(cell)) return false;
    *value = Value(cell);
    return true;
}

size_t ValueField::MemoryBytes() const {
    return sumW_.capacity() * sizeof(double) * 2 + nearD2_.capacity() * sizeof(float) +
           nearest_.capacity() * sizeof(int32_t) * 2 + values_.capacity() * sizeof(double);
}

}  // namespace odr::map
