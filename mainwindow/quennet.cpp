// quennet.exe: the program a person starts. The first argument, when given, is the folder
// to look in (the Explorer verb passes it).
#include "dialogs/destinationForm.h"
#include "dialogs/hexview.h"
#include "mainwindow/main.h"
#include "runtime/Application.h"
#include "runtime/CommandLine.h"
#include "runtime/Handles.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace quennet;
    OleScope ole; // the hex view's clipboard and drag-out, the shell folder tree
    Application().SetTitle(kApplicationTitle);
    TForm1 Form1(ParamStr(1));
    TForm4 Form4;
    TFormChooseDestination FormChooseDestination;
    Form1.SetViewer(&Form4);
    Form1.SetDestinationDialog(&FormChooseDestination);
    Application().Run(Form1);
    return 0;
}
