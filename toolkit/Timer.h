#pragma once

#include "toolkit/Types.h"

#include <QObject>
#include <QTimer>
#include <functional>

// A periodic timer. Ticks that fall due while the thread is busy are not queued up: at most one
// is delivered when the thread is free again.
class TTimer : public QObject, public TObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* parent = nullptr);
    void SetInterval(int ms);
    int Interval() const { return FTimer.interval(); }
    void SetEnabled(bool enabled);
    bool Enabled() const { return FTimer.isActive(); }

    TNotifyEvent OnTimer;

private:
    QTimer FTimer;
};
