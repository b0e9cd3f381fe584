#pragma once

#include <string>

#include "train/worked_calculation.h"

namespace vornetica {

// Layers of up to this many nodes show every node; larger ones show the first
// kFirstNodesShown, an ellipsis and the chosen node. Sums are cut the same way.
constexpr int kNodesShownWhole = 6;
constexpr int kFirstNodesShown = 3;

// The most nodes any layer of the unit has: the range of the node to choose.
int largestLayer(const WorkedUnit& unit);

// The unit's arithmetic as formulas with its real numbers, in the order the
// algorithm works, one formula a line. `chosenNode` (0-based) is shown in every
// layer that has it, even where the layer is cut. Numbers are written in full.
std::string workedCalculationText(const WorkedUnit& unit, int chosenNode);

}  // namespace vornetica
