// hexview-demo FILE [OFFSET LENGTH [PHRASE]]: the viewer (F3 finds PHRASE, case folded)'s opening operation on one file, to use and
// look at the viewer before the main window exists.
#include "dialogs/hexview.h"
#include "runtime/Application.h"

#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    quennet::Application().SetTitle("Quennet - by Ketrel");
    quennet::THexOleSession ole;
    if (argc < 2) {
        quennet::Application().ShowException("Usage: hexview-demo FILE [OFFSET LENGTH]");
        return 2;
    }
    std::string path = argv[1];
    const size_t cut = path.find_last_of("\\/:");
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    const long long offset = argc >= 4 ? std::strtoll(argv[2], nullptr, 0) : 0;
    const int length = argc >= 4 ? std::atoi(argv[3]) : 0;
    {
        TForm4 viewer;
        if (argc >= 5)
            viewer.SetSearchPhrase(argv[4], false);
        try {
            viewer.Open(folder, name, offset, length);
        } catch (...) {
            quennet::Application().HandleException(std::current_exception());
            return 1;
        }
    }
    return 0;
}
