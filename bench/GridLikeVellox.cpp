#include "GridLikeVellox.h"

namespace {
// A 64-pixel grid column read as millimetres, as the adapter does (pixels div 4).
constexpr int kColumnMillimetres = 64 / 4;
}  // namespace

TGridLikeVellox::TGridLikeVellox(const QStringList& titles, const QList<bool>& rightAligned)
    : titleRow_(titles.join(QLatin1Char('|'))) {
    SetShowProgress(false);
    SetOrientation(poPortrait);
    SetHLeft(hfEmpty);
    SetHCenter(hfText);
    SetHRight(hfEmpty);
    SetFLeft(hfDate);
    SetFCenter(hfText);
    SetFRight(hfPageNr);
    SetHeaderText(QStringLiteral("orders"));
    QFont header(QStringLiteral("Arial"), 10);
    header.setBold(true);
    SetHeaderFont(header);
    SetFooterFont(QFont(QStringLiteral("Arial"), 8));
    BuildHeaderFooter();
    QStringList layout;
    for (int i = 0; i < titles.size(); ++i) {
        layout << (rightAligned.value(i) ? QStringLiteral(">") : QStringLiteral("<")) +
                      QString::number(kColumnMillimetres);
    }
    SetColumnLayout(layout.join(QLatin1Char('|')));
    SetLineSpacing(lsSingleAndAHalf);
}

void TGridLikeVellox::Compose(
    const std::function<void(const std::function<void(const QString&)>&)>& rows) {
    ClearContents();
    BeginDocument();
    WriteTitleRow();
    rows([this](const QString& line) { WriteLine(line); });
    EndDocument();
}

void TGridLikeVellox::VelloxMessage(TVelloxMessage message) {
    if (message == WM_PAGESTART && PageNumber() > 1)
        WriteTitleRow();
}

void TGridLikeVellox::WriteTitleRow() {
    const QFont body = Font();
    QFont bold = body;
    bold.setBold(true);
    SetFont(bold);
    WriteLine(titleRow_);
    SetFont(body);
}
