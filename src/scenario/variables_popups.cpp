// Named variables of the home page's pop-ups: the digits being edited and the refill entries.
#include "scenario/variable_table.h"
#include "ui/digit_editor.h"
#include "ui/popups.h"

void addPopupVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        VAR(editDigits), VAR(refillLevel),
    });
}
