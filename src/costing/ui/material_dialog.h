// "Material bearbeiten" and its helper windows over the material dialog's values.
#pragma once

#include "costing/material_dialogs.h"

class QWidget;

namespace quentar::costing::ui {

// Shows the dialog modally over `parent`; true for OK.
bool runMaterialDialog(MaterialDialog &dialog, QWidget *parent);

} // namespace quentar::costing::ui
