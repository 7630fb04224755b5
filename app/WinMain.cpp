#include "app/CZendalFileSaApp.h"

// The single application object of the process.
CZendalFileSaApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return theApp.Start();
}
