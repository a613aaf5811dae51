#include "output/RowLines.h"

#include "output/SizeText.h"

namespace quennet {

void AppendRowLine(std::string& out, RowLineForm form, char end, std::string_view name, std::string_view folder,
                   std::int64_t size, std::int64_t matchOffset, const std::string* matchLine) {
    if (form == RowLineForm::Columns) {
        out.append(name);
        out.push_back('\t');
        out.append(folder);
        out.push_back('\t');
        out.append(GetSize(size));
        out.push_back('\t');
        out.append(std::to_string(matchOffset));
    } else {
        out.append(folder);
        out.append(name);
    }
    if (matchLine) {
        out.push_back('\t');
        out.append(*matchLine);
    }
    out.push_back(end);
}

} // namespace quennet
