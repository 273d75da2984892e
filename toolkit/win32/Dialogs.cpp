#include "toolkit/Dialogs.h"

#include "toolkit/Form.h"
#include "toolkit/win32/Peer.h"
#include "toolkit/win32/native/OpenDialog.h"

bool TOpenDialog::Run(String& fileName) {
    const auto chosen = win32::OpenFileDialog(Win32Window(FForm), fileName);
    if (!chosen)
        return false;
    fileName = *chosen;
    return true;
}
