#include "data_entry.h"

#include "create_variables.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "edit_variables.h"
#include "enter_variable.h"

namespace kelvo::ui {

void ConnectDataEntryWindows(TCreateVariables& createVariables, TEnterVariable& enterVariable,
                             TEditVariables& editVariables, TEditVariable& editVariable, TEditTable& editTable) {
    createVariables.EnterVariable = &enterVariable;
    createVariables.EditVariable = &editVariable;
    createVariables.EditTable = &editTable;
    editVariables.EditVariable = &editVariable;
}

}  // namespace kelvo::ui
