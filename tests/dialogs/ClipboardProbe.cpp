// Runs the viewer's opening operation without showing it modally, copies the match with the
// viewer's own menu command and keeps serving the clipboard for a few seconds, so a program
// outside Wine can read what the viewer put there.
#include "dialogs/hexview.h"
#include "runtime/Application.h"

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 5)
        return 2;
    quennet::Application().SetTitle("Quennet - by Ketrel");
    quennet::THexOleSession ole;
    TForm4 viewer;
    viewer.Prepare(argv[1], argv[2], std::atoll(argv[3]), std::atoi(argv[4]));
    viewer.Copy1Click();
    const DWORD end = GetTickCount() + 8000;
    while (GetTickCount() < end) {
        quennet::Application().ProcessMessages();
        Sleep(20);
    }
    return 0;
}
