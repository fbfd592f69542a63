#include "ui/ScriptedModalSeam.h"

#include <QDialog>

template <typename T>
T ScriptedModalSeam::Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) {
        ++unscripted;
        return fallback;
    }
    // Moved straight into the result: a named local here trips GCC's uninitialised-use
    // warning on optional strings.
    const struct TPop {
        std::deque<T>& queue;
        ~TPop() { queue.pop_front(); }
    } pop{queue};
    return std::move(queue.front());
}

void ScriptedModalSeam::ShowMessage(const QString& text) {
    shown.push_back({QStringLiteral("message"), text, ApplicationTitle()});
}

bool ScriptedModalSeam::Confirm(const QString& text) {
    shown.push_back({QStringLiteral("confirm"), text, QStringLiteral("Confirm")});
    return Next(confirms_, false);
}

void ScriptedModalSeam::ErrorBox(const QString& text) {
    shown.push_back({QStringLiteral("error"), text, ApplicationTitle()});
}

void ScriptedModalSeam::InformationBox(const QString& text, const QString& caption) {
    shown.push_back({QStringLiteral("information"), text, caption});
}

int ScriptedModalSeam::ShowModal(QDialog& form) {
    shown.push_back({QStringLiteral("modal"), form.objectName(), form.windowTitle()});
    FormScript script = Next<FormScript>(forms_, nullptr);
    form.setResult(mrNone);
    // A form gets its show event as it would on screen, so its FormShow handler runs.
    form.show();
    const int result = script ? script(form) : int(mrCancel);
    form.hide();
    return result;
}

std::optional<QString> ScriptedModalSeam::OpenFile(QWidget*, const TFileDialogRequest& request) {
    shown.push_back({QStringLiteral("open"), request.fileName, request.title});
    fileRequests.push_back(request);
    return Next<std::optional<QString>>(openFiles_, std::nullopt);
}

std::optional<QString> ScriptedModalSeam::SaveFile(QWidget*, const TFileDialogRequest& request) {
    shown.push_back({QStringLiteral("save"), request.fileName, request.title});
    fileRequests.push_back(request);
    return Next<std::optional<QString>>(saveFiles_, std::nullopt);
}

std::optional<QString> ScriptedModalSeam::InputBox(const QString& caption, const QString& prompt,
                                                   const QString& defaultText) {
    shown.push_back({QStringLiteral("input"), prompt + QLatin1Char('=') + defaultText, caption});
    return Next<std::optional<QString>>(inputs_, std::nullopt);
}

void ScriptedModalSeam::AnswerPrintDialog(std::optional<TPrintDialogAnswer> answer) {
    AnswerPrintDialog(PrintScript([answer](QPrinter&) { return answer; }));
}

std::optional<TPrintDialogAnswer> ScriptedModalSeam::PrintDialog(
    QWidget*, const TPrintDialogRequest& request) {
    shown.push_back({QStringLiteral("print"),
                     QStringLiteral("%1..%2").arg(request.minPage).arg(request.maxPage),
                     QString()});
    printRequests.push_back(request);
    const PrintScript script = Next<PrintScript>(printDialogs_, nullptr);
    if (!script || !request.device)
        return std::nullopt;
    return script(*request.device);
}

void ScriptedModalSeam::AnswerLogin(std::optional<TLoginAnswer> login) {
    AnswerLogin(LoginScript([login](const TLoginAnswer&) { return login; }));
}

std::optional<TLoginAnswer> ScriptedModalSeam::LoginPrompt(const QString& database,
                                                           const TLoginAnswer& offered) {
    shown.push_back({QStringLiteral("login"), offered.userName, database});
    loginOffers.push_back(offered);
    const LoginScript script = Next<LoginScript>(logins_, nullptr);
    if (!script)
        return std::nullopt;
    return script(offered);
}

void ScriptedModalSeam::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    cursorHistory.push_back(cursor);
}

QStringList ScriptedModalSeam::Texts(const QString& kind) const {
    QStringList texts;
    for (const Shown& item : shown)
        if (item.kind == kind)
            texts << item.text;
    return texts;
}

void ScriptedModalSeam::Clear() {
    shown.clear();
    fileRequests.clear();
    printRequests.clear();
    loginOffers.clear();
    cursorHistory.clear();
    beeps = 0;
    unscripted = 0;
}
