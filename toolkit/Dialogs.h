#pragma once

#include "toolkit/Classes.h"

#include <functional>

class TForm;

// The file-open dialog: no filter, the default title, resizable, centred over its owner; from its
// second use on it starts with the previous choice. A typed name of a missing file is returned.
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TForm* owner);
    bool Execute();
    const String& FileName() const { return FFileName; }

    // Tests replace the dialog: return true with a path to confirm it, false to cancel.
    std::function<bool(String& fileName)> ExecuteHook;

private:
    // The platform's dialog: true with `fileName` set when the user confirms a choice.
    bool Run(String& fileName);

    TForm* FForm;
    String FFileName;
};
