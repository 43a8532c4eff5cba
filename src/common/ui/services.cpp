#include "common/ui/services.h"

namespace kelvane {

Services& systemServices()
{
    static DialogMessages messages;
    static DialogPrintService printing;
    static SystemClipboard clipboard;
    static SystemDriveList drives;
    static SystemClock clock;
    static DialogFolderChooser folders;
    static Services services{&messages, &printing, &clipboard, &drives, &clock, nullptr, &folders};
    return services;
}

} // namespace kelvane
