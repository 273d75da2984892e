#include "toolkit/Dialogs.h"

#include "toolkit/Form.h"
#include "toolkit/qt/Convert.h"
#include "toolkit/qt/Peer.h"

#include <QFileDialog>

bool TOpenDialog::Run(String& fileName) {
    QFileDialog dialog(QtWidget(FForm));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Any name, existing or not: the open request itself reports a missing scene.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    if (!fileName.empty())
        dialog.selectFile(PathToQ(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = PathFromQ(dialog.selectedFiles().constFirst());
    return true;
}
