#pragma once

#include "pattern/edition.h"

namespace orvane {

// Builds the window of `edition` and runs the event loop until it is closed.
int RunEdition(int argc, char **argv, Edition edition);

} // namespace orvane
