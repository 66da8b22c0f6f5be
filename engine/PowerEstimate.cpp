#include "engine/PowerEstimate.h"

#include <cmath>

TPowerTables::TPowerTables() {
  for (int i = 0; i < LogSlices; ++i) {
    const long double centre = 1 + (i + 0.5L) / LogSlices;
    inverseCentre[i] = static_cast<double>(1 / centre);
    // log2 of the centre that inverseCentre really stands for.
    log2Centre[i] = static_cast<double>(-log2l(static_cast<long double>(inverseCentre[i])));
  }
  for (int j = 0; j < ExpSteps; ++j)
    exp2Step[j] = static_cast<double>(exp2l(static_cast<long double>(j) / ExpSteps));
}

const TPowerTables PowerTables;
