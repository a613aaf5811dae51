#include "hexcontrol/HexPageReader.h"

namespace quennet {

bool HexFilePageReader::Open(const std::string& path) {
    // The whole path, not a folder's descriptor: the viewer opens one file, named as the
    // search found it (on Windows in the form that keeps a final dot or space).
    if (!file_.Open(path))
        return false;
    size_ = file_.Size();
    if (size_ < 0) {
        file_.Close();
        size_ = 0;
        return false;
    }
    return true;
}

std::size_t HexFilePageReader::ReadAt(std::int64_t offset, void* dst, std::size_t count) {
    // A page is asked for whole: a read that stops short before the end is asked again.
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = file_.ReadAt(static_cast<char*>(dst) + done, count - done,
                                             offset + static_cast<std::int64_t>(done));
        if (got == 0)
            break;
        done += got;
    }
    // Short of the end fixed at opening: the file has shrunk, or the read failed.
    if (done < count) {
        const std::int64_t now = file_.Size();
        shrunk_ = now >= 0 && now <= offset + static_cast<std::int64_t>(done);
    }
    return done;
}

std::string HexFilePageReader::FaultText() const {
    return shrunk_ ? "the file is shorter than when it was opened" : file_.FaultText();
}

} // namespace quennet
