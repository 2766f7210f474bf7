#include "audio/ProcessSetup.h"
#include "doc/TempFileRegistry.h"
#include "ui/ProgramInfo.h"
#include "ui/TonmiraApp.h"

int main(int argc, char** argv)
{
    if (auto exitCode = tonmira::ui::AnswerInfoOptions(argc, argv))
        return *exitCode;
    tonmira::ConfigureProcessForDesktop();
    // An interrupted save must not leave its temporary file behind.
    tonmira::RemoveTempFilesOnSignals();
    return tonmira::ui::RunApplication(argc, argv);
}
