// hexview-demo FILE [OFFSET LENGTH [PHRASE]]: the viewer's opening operation on one file (F3
// finds PHRASE as a search for it, case folded, would), to use and look at the viewer before
// the main window exists. It prints the selection when the viewer closes.
#include "dialogs/hexview.h"
#include "runtime/Application.h"

#include <cstdio>
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
        if (argc >= 5) {
            quennet::SearchCriteria criteria;
            criteria.PhraseText = argv[4];
            viewer.SetSearchPhrase(quennet::BuildSearchRequest(criteria).Request->Searched());
        }
        // The selection as the viewer closes, for a script that drives its keys from outside.
        viewer.OnClose = [&viewer](quennet::TForm&, quennet::TCloseAction&) {
            std::printf("selection %lld %lld cursor %lld\n", static_cast<long long>(viewer.hexedit.SelStart()),
                        static_cast<long long>(viewer.hexedit.SelEnd()),
                        static_cast<long long>(viewer.hexedit.Model().CursorPosition()));
            std::fflush(stdout);
        };
        try {
            // HEXVIEW_DEMO_OPENINGS=n opens the file n times in a row, as the results list
            // would: what the viewer keeps from one opening to the next shows.
            const char* openings = std::getenv("HEXVIEW_DEMO_OPENINGS");
            for (int i = openings ? std::atoi(openings) : 1; i > 0; --i)
                viewer.Open(folder, name, offset, length);
        } catch (...) {
            quennet::Application().HandleException(std::current_exception());
            return 1;
        }
    }
    return 0;
}
