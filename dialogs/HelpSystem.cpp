#include "HelpSystem.h"

#include <QDialog>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "HelpTopics.h"

namespace {
QDialog* NewHelpWindow(QWidget* owner) {
    auto* window = new QDialog(owner);
    window->setObjectName(QStringLiteral("HelpWindow"));
    window->setWindowTitle(QStringLiteral("Quorva Help"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setModal(false);
    auto* text = new QTextBrowser(window);
    text->setObjectName(QStringLiteral("HelpText"));
    text->setOpenExternalLinks(true);
    text->setAccessibleName(QStringLiteral("Help topic"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    window->resize(560, 480);
    return window;
}
}  // namespace

QDialog* THelpSystem::ShowContext(int context, QWidget* owner) {
    if (window_ && window_->parentWidget() != owner)
        delete window_;
    if (!window_)
        window_ = NewHelpWindow(owner);
    auto* text = window_->findChild<QTextBrowser*>(QStringLiteral("HelpText"));
    const QString topic = HelpTopicText(context);
    if (topic.isEmpty())
        text->setPlainText(QStringLiteral("No help for this topic."));
    else
        text->setHtml(topic);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return window_;
}

THelpSystem& HelpSystem() {
    static THelpSystem help;
    return help;
}
