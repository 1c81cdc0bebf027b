#pragma once
// A print job as the layouts see it: the canvas of the current page in printer
// pixels (origin at the top-left corner of the printable area, Height() the
// printable height) and the step to the next page. The editor's print dialog and
// the command line's PDF writer supply one; tests record the pages.
#include "model/Canvas.h"

namespace v7300 {

class TPrintPages {
public:
    virtual ~TPrintPages() = default;
    virtual Canvas& Page() = 0;
    // Ends the current page; Page() then draws on a fresh one.
    virtual void NewPage() = 0;
};

} // namespace v7300
