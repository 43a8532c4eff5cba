#pragma once

#include "common/clock.h"
#include "common/drivelist.h"
#include "common/searchpath.h"
#include "common/ui/clipboard.h"
#include "common/ui/folderchooser.h"
#include "common/ui/messages.h"
#include "common/ui/printing.h"

namespace kelvane {

// What the windows need from outside: message boxes, printing, the clipboard,
// the drives, the clock, the search-path list and the folder dialog. One set
// of real ones for the program; tests make their own (without a folder
// chooser, the windows ask with the real dialog).
struct Services {
    Messages* messages = nullptr;
    PrintService* printing = nullptr;
    Clipboard* clipboard = nullptr;
    DriveList* drives = nullptr;
    Clock* clock = nullptr;
    const SearchPathList* searchPath = nullptr;
    FolderChooser* folders = nullptr;
};

// The real services, alive for the whole run.
Services& systemServices();

} // namespace kelvane
