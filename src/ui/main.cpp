#include "ui/TonmiraApp.h"

int main(int argc, char** argv) { return tonmira::ui::RunApplication(argc, argv); }
