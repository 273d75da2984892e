#pragma once

#include "toolkit/Types.h"

#include <vector>

// An object that its owner destroys: the main window owns its timer and dialog, and every
// component it owns goes with it, the newest first.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }

private:
    TComponent* FOwner;
    std::vector<TComponent*> FComponents;
};
