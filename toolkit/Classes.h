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
    // The components owned, in the order they were created.
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int i) const { return FComponents[static_cast<std::size_t>(i)]; }

protected:
    // Destroys the owned components now, the newest first.
    void DestroyComponents();

private:
    TComponent* FOwner;
    std::vector<TComponent*> FComponents;
};
