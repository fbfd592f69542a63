#include "CellText.h"

#include <algorithm>
#include <array>

namespace {
const std::array<QString, 5> kMacros = {QStringLiteral("{$LINE}"), QStringLiteral("{$PAGE}"),
                                        QStringLiteral("{$DATE}"), QStringLiteral("{$TIME}"),
                                        QStringLiteral("{$TITLE}")};

QString MacroValue(const QString& macro, const TMacroValues& values) {
    if (macro == kMacros[0])
        return QString::number(values.lineNumber);
    if (macro == kMacros[1])
        return QString::number(values.pageNumber);
    if (macro == kMacros[2])
        return values.date;
    if (macro == kMacros[3])
        return values.time;
    return values.title;
}
}  // namespace

TCellText TCellText::Plain(const QString& text) {
    TCellText cell;
    cell.Append(kPlain, text);
    return cell;
}

TCellText TCellText::WithMacros(const QString& text) {
    TCellText cell;
    qsizetype plainStart = 0;
    for (qsizetype at = text.indexOf(QLatin1String("{$")); at >= 0;) {
        const auto macro = std::find_if(kMacros.begin(), kMacros.end(), [&](const QString& name) {
            return QStringView(text).mid(at).startsWith(name);
        });
        if (macro == kMacros.end()) {
            at = text.indexOf(QLatin1String("{$"), at + 1);
            continue;
        }
        cell.Append(kPlain, text.mid(plainStart, at - plainStart));
        cell.Append(kMacro, *macro);
        plainStart = at + macro->size();
        at = text.indexOf(QLatin1String("{$"), plainStart);
    }
    cell.Append(kPlain, text.mid(plainStart));
    cell.Append(kSuffix, {});
    return cell;
}

void TCellText::Append(Kind kind, const QString& text) {
    if (kind == kPlain) {
        if (text.isEmpty())
            return;
        if (!segments_.empty() && segments_.back().kind == kPlain) {
            segments_.back().text += text;
            return;
        }
    }
    segments_.push_back({kind, text});
}

bool TCellText::HasMacros() const {
    return std::any_of(segments_.begin(), segments_.end(),
                       [](const Segment& segment) { return segment.kind != kPlain; });
}

TCellText::Expansion TCellText::Expand(const TMacroValues& values) const {
    Expansion expansion;
    expansion.source_ = this;
    expansion.spans_.reserve(segments_.size());
    for (const Segment& segment : segments_) {
        const qsizetype start = expansion.text_.size();
        switch (segment.kind) {
            case kPlain:
                expansion.text_ += segment.text;
                break;
            case kMacro:
                expansion.text_ += MacroValue(segment.text, values);
                break;
            case kSuffix:
                expansion.text_ += values.groupSuffix;
                break;
        }
        expansion.spans_.push_back({start, expansion.text_.size() - start});
    }
    return expansion;
}

TCellText TCellText::operator+(const TCellText& other) const {
    TCellText joined = *this;
    for (const Segment& segment : other.segments_)
        joined.Append(segment.kind, segment.text);
    return joined;
}

TCellText TCellText::Expansion::Mid(qsizetype from, qsizetype to) const {
    TCellText part;
    for (size_t i = 0; i < spans_.size(); ++i) {
        const Segment& segment = source_->segments_[i];
        const qsizetype start = spans_[i].start, end = start + spans_[i].length;
        // An empty expansion belongs to the part that starts at its position.
        const bool inside = spans_[i].length == 0
                                ? from <= start && (start < to || to == text_.size())
                                : start >= from && end <= to;
        if (segment.kind != kPlain && inside) {
            part.Append(segment.kind, segment.text);
            continue;
        }
        const qsizetype first = qMax(from, start), last = qMin(to, end);
        if (first < last)
            part.Append(kPlain, text_.mid(first, last - first));
    }
    return part;
}

QString ExpandMacros(const QString& cell, const TMacroValues& values) {
    const TCellText text = TCellText::WithMacros(cell);
    return text.Expand(values).Text();
}
