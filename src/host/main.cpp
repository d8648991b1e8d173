// mpa-settings: a command-line host of the settings dialog and its companion
// modules. It uses no toolkit of its own; the dialog library brings its
// application object.
#include "program.h"

int main(int argc, char** argv)
{
    return vl::host::runProgram(argc, argv);
}
