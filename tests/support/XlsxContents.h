#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <map>
#include <optional>
#include <vector>

// What a saved workbook holds, read back from its XML (through `unzip`) as the format reads it:
// the first sheet's name, its cells by reference ("B2") with their look, and its column widths.
struct XlsxCell {
    QString text;
    bool number = false;
    bool formula = false;
    QString fontName;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString color;       // "FFRRGGBB", empty for automatic
    QString horizontal;  // "left", "center", "right" or empty
};

struct XlsxSheet {
    QString name;
    std::map<QString, XlsxCell> cells;
    std::map<int, double> widths;  // by column from 1
};

namespace xlsx_detail {
inline QByteArray Part(const QString& path, const QString& part) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, part});
    unzip.waitForFinished();
    return unzip.exitCode() == 0 ? unzip.readAllStandardOutput() : QByteArray();
}

inline QString Attribute(const QXmlStreamReader& xml, const char* name) {
    return xml.attributes().value(QLatin1String(name)).toString();
}

// A stored text as the format reads it: "_xHHHH_" is the character HHHH.
inline QString Unescaped(const QString& stored) {
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString text;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(stored); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        text += stored.sliced(from, match.capturedStart() - from);
        text += QChar(char16_t(match.captured(1).toUShort(nullptr, 16)));
        from = match.capturedEnd();
    }
    return text + stored.sliced(from);
}
}  // namespace xlsx_detail

inline std::optional<XlsxSheet> ReadXlsx(const QString& path) {
    using namespace xlsx_detail;
    const QByteArray sheetXml = Part(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    if (sheetXml.isEmpty())
        return std::nullopt;
    XlsxSheet sheet;
    for (QXmlStreamReader xml(Part(path, QStringLiteral("xl/workbook.xml"))); !xml.atEnd();) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet" &&
            sheet.name.isEmpty())
            sheet.name = Attribute(xml, "name");
    }
    std::vector<QString> strings;
    for (QXmlStreamReader xml(Part(path, QStringLiteral("xl/sharedStrings.xml"))); !xml.atEnd();) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings.emplace_back();
        else if (xml.isStartElement() && xml.name() == u"t")
            strings.back() += Unescaped(xml.readElementText());
    }
    std::vector<XlsxCell> fonts;
    std::vector<XlsxCell> styles;
    bool inFonts = false;
    bool inCellStyles = false;
    for (QXmlStreamReader xml(Part(path, QStringLiteral("xl/styles.xml"))); !xml.atEnd();) {
        xml.readNext();
        if (xml.isEndElement()) {
            inFonts = inFonts && xml.name() != u"fonts";
            inCellStyles = inCellStyles && xml.name() != u"cellXfs";
        }
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == u"fonts") {
            inFonts = true;
        } else if (name == u"cellXfs") {
            inCellStyles = true;
        } else if (!inFonts && !inCellStyles) {
            continue;
        } else if (name == u"font") {
            fonts.emplace_back();
        } else if (name == u"b" && !fonts.empty()) {
            fonts.back().bold = true;
        } else if (name == u"i" && !fonts.empty()) {
            fonts.back().italic = true;
        } else if (name == u"u" && !fonts.empty()) {
            fonts.back().underline = true;
        } else if (name == u"strike" && !fonts.empty()) {
            fonts.back().strikeOut = true;
        } else if (name == u"color" && inFonts) {
            fonts.back().color = Attribute(xml, "rgb");
        } else if (name == u"name" && !fonts.empty()) {
            fonts.back().fontName = Attribute(xml, "val");
        } else if (name == u"xf" && inCellStyles) {
            styles.push_back(fonts.at(Attribute(xml, "fontId").toUInt()));
        } else if (name == u"alignment" && inCellStyles) {
            styles.back().horizontal = Attribute(xml, "horizontal");
        }
    }
    for (QXmlStreamReader xml(sheetXml); !xml.atEnd();) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"col") {
            for (int col = Attribute(xml, "min").toInt(); col <= Attribute(xml, "max").toInt();
                 ++col)
                sheet.widths[col] = Attribute(xml, "width").toDouble();
        } else if (xml.isStartElement() && xml.name() == u"c") {
            XlsxCell cell = styles.at(Attribute(xml, "s").toUInt());
            const QString reference = Attribute(xml, "r");
            const bool shared = Attribute(xml, "t") == u"s";
            while (!(xml.readNext() == QXmlStreamReader::EndElement && xml.name() == u"c")) {
                if (xml.isStartElement() && xml.name() == u"f") {
                    cell.formula = true;
                    cell.text = xml.readElementText();
                } else if (xml.isStartElement() && xml.name() == u"v" && !cell.formula) {
                    const QString value = xml.readElementText();
                    cell.number = !shared;
                    cell.text = shared ? strings.at(value.toUInt()) : value;
                }
            }
            sheet.cells[reference] = cell;
        }
    }
    return sheet;
}
