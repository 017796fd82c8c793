#pragma once

#include <exception>
#include <functional>

namespace report {

// How far a long job has gone: a run reading rows and laying out pages, or an
// export or a print writing the pages out.
struct Progress {
    enum class Stage { Paginating, Writing };
    Stage stage = Stage::Paginating;
    int rows = 0;  // rows read so far (Paginating)
    int page = 0;  // the page being laid out or written, 1-based
    int pages = 0; // the pages to write (Writing); 0 while paginating
};

// Called at every row and every page of a job, so it can keep a window
// painting and hear a cancel; false stops the job.
using ProgressHandler = std::function<bool(const Progress&)>;

// What a job stopped by its progress handler throws. The job leaves nothing
// behind: no pages, no file, nothing sent to a printer.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "report cancelled"; }
};

// Tells the handler (when there is one) and throws Cancelled when it says stop.
inline void reportProgress(const ProgressHandler& handler, const Progress& progress)
{
    if (handler && !handler(progress))
        throw Cancelled();
}

} // namespace report
