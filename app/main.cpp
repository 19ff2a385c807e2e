#include "app/platform.h"
#include "app/shell.h"

int main(int, char**)
{
    startUp();
    return runMainLoop();
}
