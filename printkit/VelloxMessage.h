#pragma once

#include <QEvent>
#include <exception>

// The kit's window messages, delivered as Qt events of these types (both parameters 0).
enum TVelloxMessage : int {
    WM_PAGESTART = 0x1400,    // a page has started; the adapter writes the repeated titles
    WM_REGENERATE = 0x1401,   // compose the document again
    WM_EXPORTSHEET = 0x1402,  // export the grid to the spreadsheet
};

// One kit message. A sent message carries back what its handler raised, so that the sender
// can raise it in turn: Qt itself never sees an exception.
class TVelloxMessageEvent : public QEvent {
  public:
    explicit TVelloxMessageEvent(TVelloxMessage message) : QEvent(QEvent::Type(message)) {}

    TVelloxMessage Message() const { return TVelloxMessage(type()); }
    static bool IsVelloxMessage(const QEvent& event);

    bool sent = false;
    std::exception_ptr error;
};
