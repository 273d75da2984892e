#pragma once

#include "toolkit/Types.h"

#include <QObject>
#include <functional>

class QWidget;

// The file-open dialog: no filter, the default title, resizable, centred over its owner; from its
// second use on it starts with the previous choice. A typed name of a missing file is returned.
class TOpenDialog : public QObject, public TObject {
    Q_OBJECT
public:
    explicit TOpenDialog(QWidget* owner);
    bool Execute();
    const String& FileName() const { return FFileName; }

    // Tests replace the dialog: return true with a path to confirm it, false to cancel.
    std::function<bool(String& fileName)> ExecuteHook;

private:
    QWidget* FOwner;
    String FFileName;
};
