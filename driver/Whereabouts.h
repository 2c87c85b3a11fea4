// Where the adapter stands on the site's floor, for a device that can know it: the simulated
// adapter hears the site from the point the user marks on the coverage map. A real adapter
// has none, and the map only records the point.
#pragma once

#include <string>

namespace odr {

// The floor a device's site lies on, in metres from its top-left corner.
struct SiteFloor {
    std::string planPath;  // the floor plan's bitmap, a full path; empty: no plan
    double widthM = 0;     // the floor's width (the plan's, when there is one)
    double heightM = 0;    // without a plan; with one, 0 (the plan's aspect gives it)
};

class Whereabouts {
  public:
    virtual ~Whereabouts() = default;
    // The site's floor; false when the device knows none.
    virtual bool Floor(SiteFloor* floor) const = 0;
    // Where the adapter stands now; false when it has no position.
    virtual bool Position(double* xM, double* yM) const = 0;
    // The adapter now stands at (xM, yM) metres from the floor's top-left corner.
    virtual void MoveTo(double xM, double yM) = 0;
};

}  // namespace odr
