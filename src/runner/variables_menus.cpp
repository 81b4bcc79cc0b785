// Named variables of the main menu and the setup menus.
#include "runner/variable_table.h"
#include "settings/menus.h"

void addMenuVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        scalar("ecuLinkPresent", ecuLinkPresent),
    });
}
