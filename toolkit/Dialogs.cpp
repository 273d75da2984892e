#include "toolkit/Dialogs.h"

#include "toolkit/Form.h"

TOpenDialog::TOpenDialog(TForm* owner) : TComponent(owner), FForm(owner) {}

bool TOpenDialog::Execute() {
    String chosen = FFileName;
    const bool ok = ExecuteHook ? ExecuteHook(chosen) : Run(chosen);
    if (ok)
        FFileName = chosen;
    return ok;
}
