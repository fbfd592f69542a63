#include "MacroParser.h"

namespace {
class Parser {
  public:
    explicit Parser(const QString& text) : text_(text) {}

    std::optional<std::vector<TMacroCall>> Calls(QString& error) {
        std::vector<TMacroCall> calls;
        SkipBlanks();
        while (pos_ < text_.size()) {
            std::optional<TMacroCall> call = Call();
            if (!call) {
                error = QStringLiteral("malformed at character %1: %2").arg(pos_ + 1).arg(why_);
                return std::nullopt;
            }
            calls.push_back(std::move(*call));
            SkipBlanks();
        }
        if (calls.empty())
            error = QStringLiteral("no command");
        return calls.empty() ? std::nullopt : std::optional(std::move(calls));
    }

  private:
    std::optional<TMacroCall> Call() {
        if (!Take(u'['))
            return Fail(QStringLiteral("\"[\" expected"));
        TMacroCall call;
        SkipBlanks();
        const qsizetype nameStart = pos_;
        while (pos_ < text_.size() && (text_[pos_].isLetterOrNumber() || text_[pos_] == u'.'))
            ++pos_;
        call.name = text_.mid(nameStart, pos_ - nameStart).toUpper();
        if (call.name.isEmpty())
            return Fail(QStringLiteral("command name expected"));
        SkipBlanks();
        if (Take(u'(')) {
            SkipBlanks();
            if (!Take(u')')) {
                do {
                    std::optional<TMacroArgument> argument = Argument();
                    if (!argument)
                        return std::nullopt;
                    call.arguments.push_back(std::move(*argument));
                } while (Take(u','));
                if (!Take(u')'))
                    return Fail(QStringLiteral("\")\" expected"));
            }
        }
        SkipBlanks();
        if (!Take(u']'))
            return Fail(QStringLiteral("\"]\" expected"));
        return call;
    }

    std::optional<TMacroArgument> Argument() {
        SkipBlanks();
        TMacroArgument argument;
        if (Take(u'"')) {
            argument.quoted = true;
            // Taken a run at a time up to each quote; a doubled quote stands for one.
            for (;;) {
                const qsizetype quote = text_.indexOf(u'"', pos_);
                if (quote < 0) {
                    pos_ = text_.size();
                    return Fail(QStringLiteral("unterminated text"));
                }
                argument.value += QStringView(text_).sliced(pos_, quote - pos_);
                pos_ = quote + 1;
                if (!Take(u'"'))
                    break;
                argument.value += u'"';
            }
        } else {
            const qsizetype start = pos_;
            while (pos_ < text_.size() && text_[pos_] != u',' && text_[pos_] != u')' &&
                   text_[pos_] != u'"' && text_[pos_] != u']')
                ++pos_;
            argument.value = text_.mid(start, pos_ - start).trimmed();
        }
        SkipBlanks();
        return argument;
    }

    bool Take(char16_t c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_].isSpace())
            ++pos_;
    }
    std::nullopt_t Fail(const QString& why) {
        why_ = why;
        return std::nullopt;
    }

    const QString& text_;
    qsizetype pos_ = 0;
    QString why_;
};
}  // namespace

std::optional<std::vector<TMacroCall>> ParseMacros(const QString& command, QString& error) {
    return Parser(command).Calls(error);
}
