#pragma once

namespace report {

// Qt's PDF writer (the PDF export and printing both go through it) takes two
// buffers of 10 MB for every page it compresses and frees them at once. The
// C library then gives that memory back to the system after each page and
// faults it in again at the next one, which costs more than drawing the page.
// While an object of this class lives, freed memory stays with the process;
// at its end the library's usual limits come back (and with them the return
// of spare memory). Objects may nest; a no-op where the C library is not glibc.
class PageBuffersKept {
public:
    PageBuffersKept();
    ~PageBuffersKept();
    PageBuffersKept(const PageBuffersKept&) = delete;
    PageBuffersKept& operator=(const PageBuffersKept&) = delete;
};

} // namespace report
