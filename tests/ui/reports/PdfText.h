// SPDX-License-Identifier: MIT
#pragma once

#include "ScriptedMessageService.h"

#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>

namespace tw::test {

// Answers the print dialog from the script, as the user choosing to print to a PDF file.
class PdfPrintingMessages : public ScriptedMessageService
{
public:
    explicit PdfPrintingMessages(QString pdf)
        : m_pdf(std::move(pdf))
    { }

    bool printDialog(QWidget* parent, QPrinter& printer) override
    {
        const bool chosen = ScriptedMessageService::printDialog(parent, printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_pdf);
        m_paintRect = printer.pageLayout().paintRect(QPageLayout::Point);
        return chosen;
    }

    const QString& pdf() const { return m_pdf; }
    // Where the printer may print on the page, in points from its top left corner.
    QRectF paintRect() const { return m_paintRect; }

private:
    QString m_pdf;
    QRectF m_paintRect;
};

// One printed line as pdftotext finds it: its words joined by one space, its box in points.
struct PdfLine
{
    int page = 0;
    qreal top = 0;
    qreal left = 0;
    qreal right = 0;
    QString text;
};

inline bool havePdfToText()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The lines of the PDF, top to bottom on each page.
inline QList<PdfLine> pdfLines(const QString& pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) {
        QTest::qFail("pdftotext could not read the printed PDF", __FILE__, __LINE__);
        return {};
    }
    const QString out = QString::fromUtf8(tool.readAllStandardOutput());
    static const QRegularExpression token(
        QStringLiteral("<page |<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" "
                       "yMax=\"[-\\d.]+\">(.*?)</word>"));
    QList<PdfLine> lines;
    int page = -1;
    for (auto it = token.globalMatch(out); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        QString word = m.captured(4);
        word.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const qreal top = m.captured(2).toDouble();
        auto line = std::find_if(lines.begin(), lines.end(),
            [&](const PdfLine& l) { return l.page == page && qAbs(l.top - top) < 1.0; });
        if (line == lines.end()) {
            lines.append({ page, top, m.captured(1).toDouble(), m.captured(3).toDouble(), word });
            continue;
        }
        line->left = qMin(line->left, m.captured(1).toDouble());
        line->right = qMax(line->right, m.captured(3).toDouble());
        line->text += QLatin1Char(' ') + word;
    }
    std::stable_sort(lines.begin(), lines.end(), [](const PdfLine& a, const PdfLine& b) {
        return a.page != b.page ? a.page < b.page : a.top < b.top;
    });
    return lines;
}

inline QStringList texts(const QList<PdfLine>& lines)
{
    QStringList out;
    for (const PdfLine& line : lines)
        out.append(line.text);
    return out;
}

} // namespace tw::test
