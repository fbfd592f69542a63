#pragma once

#include <QString>

// The kit's own texts, shown to users exactly as written here.
namespace VelloxStrings {
inline const QString TopMarginWhilePrinting =
    QStringLiteral("Unable to change top margin while printing");
inline const QString BottomMarginWhilePrinting =
    QStringLiteral("Unable to change bottom margin while printing");
inline const QString LeftMarginWhilePrinting =
    QStringLiteral("Unable to change left margin while printing");
inline const QString RightMarginWhilePrinting =
    QStringLiteral("Unable to change right margin while printing");
inline const QString OrientationWhilePrinting = QStringLiteral("Sending Pages To Printer");
inline const QString PrintToFileWhilePrinting =
    QStringLiteral("Can't change PrintToFile while printing");
inline const QString FileNameWhilePrinting = QStringLiteral("Can't change FileName while printing");
inline const QString PageNumberRange = QStringLiteral("PageNumber must be between 1 and %1");
inline const QString ClearWhilePrinting = QStringLiteral("Can't clear contents while printing");
inline const QString PrintingCancelled = QStringLiteral("Printing cancelled");
inline const QString NoKontent = QStringLiteral("No kontent for printing");
inline const QString ClearWhileSending =
    QStringLiteral("Can't clear contents while the pages are being printed");
inline const QString ComposeWhileSending =
    QStringLiteral("Can't compose the document again while its pages are being printed");
inline const QString AlreadySending = QStringLiteral("The pages are being printed already");
inline const QString DefineFilename = QStringLiteral("Define filename");
inline const QString FilenamePrompt = QStringLiteral("Name:");
inline const QString ProposedTextFile = QStringLiteral("Vellox.TXT");
inline const QString ContentSaved = QStringLiteral("Content saved in file %1");
inline const QString TooManyPages = QStringLiteral("To many pages created");
inline const QString TooLongLines = QStringLiteral("To long lines in process");
inline const QString ContentExported = QStringLiteral("Content exported to %1");
inline const QString RegeneratingPreview = QStringLiteral("Regenerating Preview");
inline const QString PagePrefix = QStringLiteral("Page ");
inline const QString PageWord = QStringLiteral("Page");
inline const QString SendingToPrinter = QStringLiteral("Sending to printer");
inline const QString Finish = QStringLiteral("<FINISH>");
inline const QString ProgressCaption = QStringLiteral("Print Progress");
inline const QString StopCaption = QStringLiteral("&Stop");
inline const QString InvalidFloatOperation = QStringLiteral("Invalid floating point operation");
inline const QString DefaultTitle = QStringLiteral("Velloxing");
inline const QString DefaultRegistryKey = QStringLiteral("Software\\Mervane\\Vellox");
}  // namespace VelloxStrings
