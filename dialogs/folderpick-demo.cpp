// folderpick-demo [TIMES]: opens the folder picker TIMES times (default 2) and prints each
// result ("OK <path>" or "Cancel"), to use and look at the picker before the main window
// exists. The second opening shows the tree as the first left it.
#include "dialogs/folderpick.h"
#include "runtime/Application.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    quennet::OleScope ole;
    quennet::Application().SetTitle("Quennet - by Ketrel");
    const int times = argc > 1 ? std::atoi(argv[1]) : 2;
    TForm3 picker;
    for (int i = 0; i < times; ++i) {
        try {
            if (picker.ShowModal() == quennet::mrOk)
                std::printf("OK %s\n", picker.SelectedPath().c_str());
            else
                std::printf("Cancel\n");
        } catch (...) {
            quennet::Application().HandleException(std::current_exception());
        }
        std::fflush(stdout);
    }
    return 0;
}
