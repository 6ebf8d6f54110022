// "Staffelpreis bearbeiten": the window over the tier dialog's two values.
#pragma once

#include "costing/tiers.h"

class QWidget;

namespace quentar::costing::ui {

// Shows the dialog modally over `parent`; true for OK.
bool runTierDialog(TierDialog &dialog, QWidget *parent);

} // namespace quentar::costing::ui
