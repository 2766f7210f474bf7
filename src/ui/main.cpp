#include "doc/TempFileRegistry.h"
#include "ui/TonmiraApp.h"

int main(int argc, char** argv)
{
    // An interrupted save must not leave its temporary file behind.
    tonmira::RemoveTempFilesOnSignals();
    return tonmira::ui::RunApplication(argc, argv);
}
