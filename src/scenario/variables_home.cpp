// Named variables of the home screen: the page shown, pop-up hosting, scan selections and the
// information display page.
#include "scenario/variable_table.h"
#include "ui/home.h"
#include "ui/widgets.h"

void addHomeVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        VAR(homePage), VAR(overlayTimeout), VAR(menuItemCount), VAR(oatCoCycle), VAR(egtSelected),
        VAR(chtSelected), VAR(infoDisplayMode), VAR(documentLineCount), VAR(documentCursor), VAR(coDataValid),
    });
}
