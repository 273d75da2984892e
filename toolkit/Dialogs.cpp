#include "toolkit/Dialogs.h"

#include "toolkit/qt/Convert.h"

#include <QFileDialog>

TOpenDialog::TOpenDialog(QWidget* owner) : QObject(owner), FOwner(owner) {}

bool TOpenDialog::Execute() {
    String chosen = FFileName;
    bool ok = false;
    if (ExecuteHook) {
        ok = ExecuteHook(chosen);
    } else {
        QFileDialog dialog(FOwner);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // Any name, existing or not: the open request itself reports a missing scene.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog, false);
        if (!FFileName.empty())
            dialog.selectFile(PathToQ(FFileName));
        ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
        if (ok)
            chosen = PathFromQ(dialog.selectedFiles().constFirst());
    }
    if (ok)
        FFileName = chosen;
    return ok;
}
