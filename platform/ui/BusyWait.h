#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>

// Keeps the program's windows painting while the database works on the user-interface thread.
// Pump, called often, lets pending events run every few tens of milliseconds; after half a
// second the mouse shows the hourglass. Meanwhile the user's input is dropped (nothing may
// change under the work), except Escape, which runs `onEscape` to stop it.
class TBusyWait : public QObject {
  public:
    explicit TBusyWait(std::function<void()> onEscape);
    ~TBusyWait() override;
    TBusyWait(const TBusyWait&) = delete;
    TBusyWait& operator=(const TBusyWait&) = delete;

    void Pump();
    bool EscapePressed() const { return escaped_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> onEscape_;
    QElapsedTimer started_;
    QElapsedTimer sincePump_;
    bool hourglass_ = false;
    bool escaped_ = false;
};
