#pragma once
// The whole private MIB of a simulated unit, built from the program's own catalogue
// (access/mib_catalogue.h): every group's variables present at the level of the unit's area, with
// the rows its counts call for (ports, protocols, trap destinations, file servers, names, keys,
// countries, event names) and plausible values (catalogue_values.h). What lies above a level, and
// the areas of protocols the unit lacks, are left out, so a request for them gets noSuchName and
// a walk passes them by.
#include "sim/device_model.h"

namespace sim {

// Defines every catalogue variable the unit has and the data file left undefined. Returns the
// number of variables added.
std::size_t addCatalogueMib(DeviceModel& d);

}  // namespace sim
