// Wiring of the data entry windows to one another.
#pragma once

namespace kelvo::ui {

class TCreateVariables;
class TEditTable;
class TEditVariable;
class TEditVariables;
class TEnterVariable;

// Lets each data entry window open the others modally: the variable list
// editor opens the new-variable entry, the variable editor and the table
// editor; the variable chooser opens the variable editor.
void ConnectDataEntryWindows(TCreateVariables& createVariables, TEnterVariable& enterVariable,
                             TEditVariables& editVariables, TEditVariable& editVariable, TEditTable& editTable);

}  // namespace kelvo::ui
