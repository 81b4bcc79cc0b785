// corvex-settings: dump, edit and compare settings files from the shell (see settings_tool.h).
#include <iostream>

#include "scenario/settings_tool.h"

int main(int argc, char** argv)
{
    return settingsToolMain(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
