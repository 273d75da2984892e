#include "toolkit/Classes.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
    if (FOwner != nullptr)
        FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (FOwner != nullptr) {
        auto& siblings = FOwner->FComponents;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        last->FOwner = nullptr;
        FComponents.pop_back();
        delete last;
    }
}
