#include "WorkbookWriter.h"

#include <xlsxwriter.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryFile>
#include <map>

#include "ExcelPalette.h"
#include "NumberText.h"
#include "XlsxCellText.h"
#include "core/CheckedFileCopy.h"
#include "core/Exception.h"

namespace {
// Only a number written the way numbers are shown, and only one a double keeps whole: codes
// such as "007" or "+49", 17-digit ids and exact decimals of more digits stay text.
std::optional<double> AsNumber(const QString& text) {
    return ExactNumber(text, QLocale::system().decimalPoint());
}

uint8_t HorizontalAlignment(int horizontal) {
    switch (horizontal) {
        case 2:
            return LXW_ALIGN_LEFT;
        case 3:
            return LXW_ALIGN_CENTER;
        case 4:
            return LXW_ALIGN_RIGHT;
        default:
            return LXW_ALIGN_NONE;
    }
}

uint8_t VerticalAlignment(int vertical) {
    switch (vertical) {
        case 1:
            return LXW_ALIGN_VERTICAL_TOP;
        case 2:
            return LXW_ALIGN_VERTICAL_CENTER;
        default:
            return LXW_ALIGN_NONE;
    }
}

// One workbook format per distinct cell format; the workbook owns them.
class FormatCache {
  public:
    explicit FormatCache(lxw_workbook* workbook) : workbook_(workbook) {}

    lxw_format* For(const TCellFormat& format) {
        if (format.horizontal == 1 && format.vertical == 3 && !format.fontName)
            return nullptr;
        auto found = formats_.find(format);
        if (found != formats_.end())
            return found->second;
        lxw_format* made = workbook_add_format(workbook_);
        format_set_align(made, HorizontalAlignment(format.horizontal));
        format_set_align(made, VerticalAlignment(format.vertical));
        if (format.fontName) {
            format_set_font_name(made, format.fontName->toUtf8().constData());
            format_set_font_size(made, format.fontSize);
            if (format.bold)
                format_set_bold(made);
            if (format.italic)
                format_set_italic(made);
            if (format.underline)
                format_set_underline(made, LXW_UNDERLINE_SINGLE);
            if (format.strikeOut)
                format_set_font_strikeout(made);
            if (format.colorIndex > 0)
                format_set_font_color(made, ExcelPaletteColor(format.colorIndex));
        }
        formats_.emplace(format, made);
        return made;
    }

  private:
    lxw_workbook* workbook_;
    std::map<TCellFormat, lxw_format*> formats_;
};

lxw_error WriteString(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& text,
                      lxw_format* format) {
    return worksheet_write_string(sheet, row, col, XlsxCellText(text).toUtf8().constData(), format);
}

lxw_error WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& content,
                    lxw_format* format) {
    if (content.startsWith(QLatin1Char('\'')))
        return WriteString(sheet, row, col, content.mid(1), format);
    if (content.startsWith(QLatin1Char('=')) && content.size() > 1)
        return worksheet_write_formula(sheet, row, col, content.toUtf8().constData(), format);
    if (const std::optional<double> number = AsNumber(content))
        return worksheet_write_number(sheet, row, col, *number, format);
    if (content.isEmpty())
        return worksheet_write_blank(sheet, row, col, format);
    return WriteString(sheet, row, col, content, format);
}

QString Fill(lxw_workbook* workbook, const TSheetModel& sheet) {
    lxw_worksheet* worksheet =
        workbook_add_worksheet(workbook, sheet.sheetName.toUtf8().constData());
    if (!worksheet)
        return QStringLiteral("the sheet name \"%1\" is not allowed").arg(sheet.sheetName);
    for (const auto& [col, width] : sheet.columnWidths) {
        const lxw_col_t index = lxw_col_t(col - 1);
        if (worksheet_set_column(worksheet, index, index, width, nullptr) != LXW_NO_ERROR)
            return QStringLiteral("column %1 cannot be that wide").arg(col);
    }
    FormatCache formats(workbook);
    for (const auto& [position, cell] : sheet.cells) {
        const lxw_error error =
            WriteCell(worksheet, lxw_row_t(position.first - 1), lxw_col_t(position.second - 1),
                      cell.content, formats.For(cell.format));
        if (error != LXW_NO_ERROR) {
            return QStringLiteral("cell R%1C%2: %3")
                .arg(position.first)
                .arg(position.second)
                .arg(QString::fromUtf8(lxw_strerror(error)));
        }
    }
    return QString();
}

}  // namespace

QString WriteWorkbook(const TSheetModel& sheet, const QString& path) {
    QTemporaryFile made(QDir::tempPath() + QStringLiteral("/quorva-workbook-XXXXXX.xlsx"));
    if (!made.open())
        return QStringLiteral("cannot make a workbook: %1").arg(made.errorString());
    const QByteArray madeName = QFile::encodeName(made.fileName());
    lxw_workbook* workbook = workbook_new(madeName.constData());
    if (!workbook)
        return QStringLiteral("cannot make a workbook");
    const QString failure = Fill(workbook, sheet);
    const lxw_error closed = workbook_close(workbook);
    if (!failure.isEmpty())
        return failure;
    if (closed != LXW_NO_ERROR)
        return QStringLiteral("cannot write \"%1\": %2")
            .arg(path, QString::fromUtf8(lxw_strerror(closed)));
    // libxlsxwriter writes its file without telling why a write failed; the finished workbook
    // is copied into the target through a checked save, which does.
    try {
        CopyFileChecked(made.fileName(), path);
    } catch (const EInOutError& error) {
        return error.Message();
    }
    return QString();
}
