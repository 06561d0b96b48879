// The Linux desktop program.
#include "DesktopProgram.h"

int main(int argc, char** argv) {
    return qv::RunDesktopProgram(argc, argv);
}
