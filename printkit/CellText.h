#pragma once

#include <QString>
#include <vector>

// What the macros of a cell stand for when it is output.
struct TMacroValues {
    int lineNumber = 0;   // "{$LINE}"
    int pageNumber = 0;   // "{$PAGE}"
    QString date;         // "{$DATE}"
    QString time;         // "{$TIME}"
    QString title;        // "{$TITLE}"
    QString groupSuffix;  // appended to a cell with macros when a table is split into groups
};

// A cell's text while it is placed: plain text, the macros "{$LINE}", "{$PAGE}", "{$DATE}",
// "{$TIME}" and "{$TITLE}", and the column-group suffix owed at its end. A cell that wraps
// keeps the macros of its remaining part unexpanded, so that each piece shows the line and
// page it is drawn on. A macro name not in the list is plain text.
class TCellText {
  public:
    class Expansion;

    TCellText() = default;
    static TCellText Plain(const QString& text);
    static TCellText WithMacros(const QString& text);

    // False for plain text, which expands to itself whatever the values.
    bool HasMacros() const;
    Expansion Expand(const TMacroValues& values) const;
    TCellText operator+(const TCellText& other) const;

  private:
    enum Kind { kPlain, kMacro, kSuffix };
    struct Segment {
        Kind kind;
        QString text;  // plain text, or the macro as written
    };

    void Append(Kind kind, const QString& text);

    std::vector<Segment> segments_;
};

// The text of a cell for one set of macro values, remembering where each segment landed.
// It refers to its cell, which must outlive it.
class TCellText::Expansion {
  public:
    const QString& Text() const { return text_; }
    // The part between two positions of the text: a macro that lies wholly inside stays a
    // macro (expanded again later); a macro cut by either end keeps its text as plain text.
    TCellText Mid(qsizetype from, qsizetype to) const;
    TCellText Mid(qsizetype from) const { return Mid(from, text_.size()); }

  private:
    friend class TCellText;
    struct Span {
        qsizetype start, length;
    };

    const TCellText* source_ = nullptr;
    QString text_;
    std::vector<Span> spans_;
};

// The cell with its macros replaced, in the order line, page, date, column-group suffix,
// time, title.
QString ExpandMacros(const QString& cell, const TMacroValues& values);
