#include "toolkit/Form.h"

void TForm::DoResize() {
    if (OnResize)
        OnResize();
}

void TForm::DoClose() {
    if (OnCloseRequest)
        OnCloseRequest();
}

void TForm::DoDropFiles(const std::vector<String>& files) {
    if (OnDropFiles)
        OnDropFiles(files);
}
