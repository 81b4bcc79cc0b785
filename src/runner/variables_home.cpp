// Named variables of the home screen: the page shown, pop-up hosting, scan selections and the
// information display page.
#include "runner/variable_table.h"
#include "ui/home.h"
#include "ui/widgets.h"

void addHomeVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        scalar("homePage", homePage),
        scalar("overlayTimeout", overlayTimeout),
        scalar("menuItemCount", menuItemCount),
        scalar("oatCoCycle", oatCoCycle),
        scalar("egtSelected", egtSelected),
        scalar("chtSelected", chtSelected),
        scalar("infoDisplayMode", infoDisplayMode),
        scalar("documentLineCount", documentLineCount),
        scalar("documentCursor", documentCursor),
        scalar("coDataValid", coDataValid),
    });
}
