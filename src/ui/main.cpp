#include "audio/ProcessSetup.h"
#include "ui/TonmiraApp.h"

int main(int argc, char** argv)
{
    tonmira::ConfigureProcessForDesktop();
    return tonmira::ui::RunApplication(argc, argv);
}
