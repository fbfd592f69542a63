#pragma once

#include <QStringList>

#include "CustomVellox.h"

// The kit set up as the grid adapter prints a ten-column grid of default 64-pixel columns:
// portrait A4, Arial 9, one and a half line spacing, grid lines, the columns side by side on
// the page width, numbers right-aligned, a header and a footer, and the bold title row
// repeated at the top of every page.
class TGridLikeVellox : public TCustomVellox {
  public:
    TGridLikeVellox(const QStringList& titles, const QList<bool>& rightAligned);

    // Composes the rows that `rows` delivers, one line each, between the title rows.
    void Compose(const std::function<void(const std::function<void(const QString&)>&)>& rows);

  protected:
    void VelloxMessage(TVelloxMessage message) override;

  private:
    void WriteTitleRow();

    QString titleRow_;
};
