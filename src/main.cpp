#include "gui/startup/StartupUi.h"

int main(int argc, char** argv) {
    return RunQuorvel(argc, argv);
}
