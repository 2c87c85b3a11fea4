// The heat map's values on a grid of square cells over the floor (at most kFieldMaxSide
// cells on a side), by inverse-distance weighting with power 2: a cell's value is
//   sum(v_i / d_i^2) / sum(1 / d_i^2)
// over the points whose distance d_i from the cell's centre is at most the radius R. A cell
// holding a point takes that point's value (the one added last when it holds several). A
// cell is painted only when all of it lies within R of some point, so nothing is painted
// farther than R from every point; R must be at least MinRadius() for a point's own cell
// to be painted. Adding a point touches only the cells within R of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace odr::map {

constexpr int kFieldMaxSide = 400;

class ValueField {
  public:
    // An empty field over a floor of `widthM` x `heightM` metres.
    void Reset(double widthM, double heightM, double radiusM);
    // Removes every point, keeping the geometry.
    void Clear();

    // The smallest radius that paints a point's own cell: the cell's diagonal.
    static double MinRadius(double widthM, double heightM);

    // Adds point `index` (a survey index; added in increasing order) at (xM, yM).
    void Add(int index, double xM, double yM, double value);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    double CellM() const { return cellM_; }
    // The cell holding (xM, yM), or -1 off the floor.
    int CellAt(double xM, double yM) const;
    bool Painted(int cell) const;
    // The cell's value (meaningful where painted).
    double Value(int cell) const;
    // The point that decides the cell for a map of categories: the one it holds, else the
    // nearest within R (the first added among equals); -1 when none.
    int Decider(int cell) const;
    // The value at (xM, yM); false where nothing is painted.
    bool ValueAt(double xM, double yM, double* value) const;
    size_t MemoryBytes() const;

  private:
    double widthM_ = 0;
    double heightM_ = 0;
    double radiusM_ = 0;
    double cellM_ = 1;
    double paintD2_ = 0;  // a cell is painted when its nearest point is this close (squared)
    int columns_ = 0;
    int rows_ = 0;
    std::vector<double> sumW_;
    std::vector<double> sumWV_;
    std::vector<float> nearD2_;
    std::vector<int32_t> nearest_;
    std::vector<int32_t> own_;
    std::vector<double> values_;  // by point index
};

}  // namespace odr::map
