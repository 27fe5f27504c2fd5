// SPDX-License-Identifier: MIT
#include "ui/TextOutput.h"
#include <QDialog>
#include <QFrame>

#include "base/AppContext.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "reports/TextWrap.h"
#include "ui/MessageService.h"
#include "ui/Twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextDocument>

#include <cmath>

namespace tw {

void setUpTextDialog(QDialog* dialog, const QString& objectName, const QString& title, QSize clientTwips)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(true);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(twipsToPixels(clientTwips, dialog));
    auto* band = new QFrame(dialog);
    band->setObjectName(QStringLiteral("shpBand"));
    band->setAutoFillBackground(true);
    QPalette grey = band->palette();
    grey.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    band->setPalette(grey);
    band->setGeometry(twipsToPixels(QRect(120, 120, 8775, 615), dialog));
}
namespace {

constexpr int kEmptyLinesOnTop = 3;
constexpr qreal kPrintPointSize = 10;

// What a printed line draws: TABs widened as the wrap counted them, other control characters
// (a lone CR or LF) as the blank they take up.
QString printable(const QString& line)
{
    QString shown = QString::fromStdString(expandTabs(line.toStdString()));
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    return shown;
}

QString printerFailure(const QPrinter& printer)
{
    if (!printer.outputFileName().isEmpty())
        return QStringLiteral("Cannot write ") + QDir::toNativeSeparators(printer.outputFileName());
    if (!printer.printerName().isEmpty())
        return QStringLiteral("The printer ") + printer.printerName() + QStringLiteral(" cannot print");
    return QStringLiteral("No printer is available");
}

} // namespace

QFont fixedPitchFont(qreal pointSize, bool bold)
{
    const QString lucida = QStringLiteral("Lucida Console");
    QFont font(lucida);
    font.setStyleHint(QFont::TypeWriter);
    const QFontInfo found(font);
    if (found.family().compare(lucida, Qt::CaseInsensitive) != 0 || !found.fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QString toBoxText(QString crlfText)
{
    return crlfText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString fromBoxText(QString boxText)
{
    return boxText.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString documentText(const QPlainTextEdit& box)
{
    QString text = box.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'));
    return fromBoxText(text);
}

QStringList WYSIWYG_TextBox(const QString& text, int columns)
{
    QStringList lines;
    for (const std::string& line : wrapText(text.toStdString(), columns))
        lines.append(QString::fromStdString(line));
    return lines;
}

TextOutput::TextOutput(const AppContext& context, MessageService& messages, QWidget* dialog,
    DocumentWriter saveFile, QString printError, const QRect& wrapBoxTwips, bool boldWrapBox)
    : m_context(context)
    , m_messages(messages)
    , m_dialog(dialog)
    , m_saveFile(std::move(saveFile))
    , m_printError(std::move(printError))
    , m_txtPrint(new QPlainTextEdit(dialog))
{
    m_txtPrint->setObjectName(QStringLiteral("txtPrint"));
    m_txtPrint->setFont(fixedPitchFont(8.25, boldWrapBox));
    m_txtPrint->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtPrint->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtPrint->setGeometry(twipsToPixels(wrapBoxTwips, dialog));
    m_txtPrint->setFocusPolicy(Qt::NoFocus);
    m_txtPrint->hide();
}

QString TextOutput::saveDialogTitle()
{
    // The report dialog shares the log viewer's title.
    return QStringLiteral("Please select a file to save Uninstall Log to");
}

QString TextOutput::saveDialogFilter()
{
    return QStringLiteral("Text File (*.txt)|*.txt");
}

QString TextOutput::printFilePath() const
{
    return QDir(QString::fromStdString(m_context.dataFolder)).filePath(QStringLiteral("ReportTemp.txt"));
}

void TextOutput::cmdPrint_Click()
{
    Procedure proc("cmdPrint_Click", OnError::Skip);
    QPrinter printer(QPrinter::HighResolution);
    // Half an inch all round unless the user sets other margins; a printer that cannot print that
    // close to the edge keeps its own.
    printer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
    bool chosen = false;
    proc.step(__LINE__, [&] { chosen = m_messages.printDialog(m_dialog, printer); });
    if (!chosen)
        return;

    const QString path = printFilePath();
    // A print file an earlier run left behind is not this document.
    QFile::remove(path);
    bool written = false;
    proc.step(__LINE__, [&] { written = m_saveFile(path); });
    if (!written || !QFileInfo(path).isFile()) {
        QFile::remove(path);
        return;
    }
    QFile file(path);
    QByteArray bytes;
    bool read = false;
    proc.step(__LINE__, [&] {
        if (!file.open(QIODevice::ReadOnly))
            throw Error(errc::kPathFileAccessError, "Path/File access error");
        bytes = file.readAll();
        file.close();
        read = true;
    });
    if (!read) {
        QFile::remove(path);
        return;
    }
    if (bytes.isEmpty()) {
        proc.step(__LINE__, [&] {
            m_messages.information(
                m_dialog, QString::fromStdString(m_context.title), QStringLiteral("No data to print."));
        });
        QFile::remove(path);
        return;
    }
    const QString text
        = QString::fromStdString(text::ansiToUtf8(std::string_view(bytes.constData(), bytes.size())));
    proc.step(__LINE__, [&] { m_txtPrint->setPlainText(toBoxText(text)); });
    proc.step(__LINE__, [&] { printFile(printer, text); });
    QFile::remove(path);
}

bool TextOutput::printFile(QPrinter& printer, const QString& text)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        reportPrintError(printerFailure(printer));
        return false;
    }
    const QFont font = fixedPitchFont(kPrintPointSize);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    // Wrapped for the printer's own font: a line that fits the page prints whole.
    const qreal charWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    const int columns = static_cast<int>(std::floor(printer.width() / charWidth + 1e-9));
    const qreal lineHeight = metrics.lineSpacing();
    const qreal pageHeight = printer.height();

    QStringList lines;
    for (int i = 0; i < kEmptyLinesOnTop; ++i)
        lines.append(QString());
    lines += WYSIWYG_TextBox(text, columns);

    qreal y = 0;
    for (const QString& line : lines) {
        if (y > 0 && y + lineHeight > pageHeight) {
            if (!printer.newPage()) {
                printer.abort();
                painter.end();
                reportPrintError(QStringLiteral("The printer did not take a new page"));
                return false;
            }
            y = 0;
        }
        if (!line.isEmpty())
            painter.drawText(QPointF(0, y + metrics.ascent()), printable(line));
        y += lineHeight;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        reportPrintError(printerFailure(printer));
        return false;
    }
    return true;
}

void TextOutput::reportPrintError(const QString& description)
{
    m_messages.critical(m_dialog, QStringLiteral("Print Error !!"),
        m_printError + description + QStringLiteral(", Please Check your printer"));
}

void TextOutput::cmdSave_Click()
{
    Procedure proc("cmdSave_Click", OnError::Skip);
    QString chosen;
    proc.step(__LINE__, [&] {
        chosen = m_messages.getSaveFileName(
            m_dialog, saveDialogTitle(), m_lastFile, saveDialogFilter(), QStringLiteral("txt"));
    });
    if (chosen.isEmpty())
        return;
    m_lastFile = chosen;
    proc.step(__LINE__, [&] { m_saveFile(chosen); });
}

} // namespace tw
