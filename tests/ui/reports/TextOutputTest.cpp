// SPDX-License-Identifier: MIT
// The shared print flow: a document printed to PDF and read back, wrapped to the page, over pages,
// and what happens when there is nothing to print or the printer fails.
#include "ui/TextOutput.h"

#include "PdfText.h"
#include "TestApplication.h"
#include "reports/TextFiles.h"

#include <QDialog>
#include <QFile>
#include <QPlainTextEdit>

using namespace tw;
using namespace tw::test;

namespace {

const QString kPrintError = QStringLiteral("Error Occurred Test printFile: ");

// A print flow over a fixed document, with its writer's calls counted.
struct Printing
{
    explicit Printing(const QString& document_, const QString& pdf = QStringLiteral("out.pdf"))
        : messages(test.folder() + QLatin1Char('/') + pdf)
        , document(document_)
        , output(
              test.app().context, messages, &host,
              [this](const QString& path) {
                  ++writes;
                  if (fail)
                      return false;
                  std::string error;
                  return writeTextFile(path.toStdString(), document.toStdString(), error);
              },
              kPrintError, QRect(360, 1080, 8055, 1455), false)
    {
        test.app().messages = &messages;
    }

    TestApplication test { QList<TestEntry> {} };
    PdfPrintingMessages messages;
    QDialog host;
    QString document;
    int writes = 0;
    bool fail = false;
    TextOutput output;
};

} // namespace

class TextOutputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!havePdfToText())
            QFAIL("pdftotext (poppler-utils) is needed to read the printed pages back");
    }

    void linesWrapToThePageBelowThreeEmptyLinesAndNothingIsLost()
    {
        const QString word = QString(300, QLatin1Char('W'));
        const QString words = QStringLiteral("word ").repeated(60).trimmed();
        Printing p(QStringLiteral("Display Name     : ") + word + QStringLiteral("\r\nshort line\r\n") + words
            + QStringLiteral("\r\n"));
        p.messages.answerPrint(true);
        p.output.cmdPrint_Click();
        QCOMPARE(p.messages.unexpectedCalls(), 0);
        QVERIFY(!QFile::exists(p.output.printFilePath()));
        QCOMPARE(p.output.wrapBox()->toPlainText(), toBoxText(p.document));

        const QList<PdfLine> lines = pdfLines(p.messages.pdf());
        QVERIFY(lines.size() > 6);
        const QRectF page = p.messages.paintRect();
        const qreal step = lines[1].top - lines[0].top;
        QVERIFY(step > 5);
        // Three empty lines, then the document.
        QVERIFY2(qAbs(lines[0].top - page.top() - 3 * step) < step / 2,
            qPrintable(QStringLiteral("first line at %1, page from %2").arg(lines[0].top).arg(page.top())));
        // The long word starts on its own line after the label's last space, and breaks where the page is
        // full.
        QCOMPARE(lines[0].text, QStringLiteral("Display Name :"));
        QString joined;
        int i = 1;
        const qreal charWidth = (lines[1].right - lines[1].left) / lines[1].text.size();
        for (; lines[i].text.startsWith(QLatin1Char('W')); ++i) {
            joined += lines[i].text;
            QVERIFY2(lines[i].right <= page.right() + 0.5, qPrintable(lines[i].text));
            if (lines[i + 1].text.startsWith(QLatin1Char('W')))
                QVERIFY2(lines[i].right > page.right() - charWidth,
                    "a full line leaves room for another character");
        }
        QCOMPARE(joined, word);
        QCOMPARE(lines[i++].text, QStringLiteral("short line"));
        QStringList rest;
        for (; i < lines.size(); ++i) {
            QVERIFY2(lines[i].right <= page.right() + 0.5, qPrintable(lines[i].text));
            rest.append(lines[i].text);
        }
        QVERIFY(rest.size() >= 2);
        QCOMPARE(rest.join(QLatin1Char(' ')), words);
    }

    void aLongDocumentGoesOnOverPages()
    {
        QStringList numbered;
        for (int i = 1; i <= 150; ++i)
            numbered.append(QStringLiteral("line %1").arg(i));
        Printing p(numbered.join(QStringLiteral("\r\n")));
        p.messages.answerPrint(true);
        p.output.cmdPrint_Click();
        const QList<PdfLine> lines = pdfLines(p.messages.pdf());
        QCOMPARE(texts(lines), numbered);
        QVERIFY(lines.last().page >= 1);
        for (const PdfLine& line : lines)
            QVERIFY2(line.top < p.messages.paintRect().bottom(), qPrintable(line.text));
        // Later pages start at the top, without the three empty lines.
        const auto second
            = std::find_if(lines.begin(), lines.end(), [](const PdfLine& l) { return l.page == 1; });
        QVERIFY(second->top - p.messages.paintRect().top() < lines[1].top - lines[0].top);
    }

    void emptyDocumentsAndFailedWritersPrintNothing()
    {
        // Neither a PDF nor the print file is left.
        const auto printedNothing = [](const Printing& p) {
            return !QFile::exists(p.messages.pdf()) && !QFile::exists(p.output.printFilePath());
        };
        Printing empty { QString() };
        empty.messages.answerPrint(true);
        empty.messages.answer(MsgButton::Ok);
        empty.output.cmdPrint_Click();
        QCOMPARE(empty.messages.calls().last().text, QStringLiteral("No data to print."));
        QVERIFY(printedNothing(empty));

        // A writer that fails has reported it; a print file left from an earlier run is not printed.
        Printing failing(QStringLiteral("text"));
        QFile stale(failing.output.printFilePath());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("an earlier document\r\n");
        stale.close();
        failing.fail = true;
        failing.messages.answerPrint(true);
        failing.output.cmdPrint_Click();
        QCOMPARE(failing.writes, 1);
        QCOMPARE(failing.messages.calls().size(), 1);
        QVERIFY(printedNothing(failing));

        Printing cancelled(QStringLiteral("text"));
        cancelled.messages.answerPrint(false);
        cancelled.output.cmdPrint_Click();
        QCOMPARE(cancelled.writes, 0);
        QVERIFY(printedNothing(cancelled));
    }

    void aPrinterThatFailsIsReportedAndTheTemporaryFileStillGoes()
    {
        Printing p(QStringLiteral("text\r\n"), QStringLiteral("missing/out.pdf"));
        PdfPrintingMessages& nowhere = p.messages;
        nowhere.answerPrint(true);
        nowhere.answer(MsgButton::Ok);
        p.output.cmdPrint_Click();
        QCOMPARE(nowhere.unexpectedCalls(), 0);
        const auto& report = nowhere.calls().last();
        QCOMPARE(report.title, QStringLiteral("Print Error !!"));
        QCOMPARE(report.text,
            kPrintError + QStringLiteral("Cannot write ") + QDir::toNativeSeparators(nowhere.pdf())
                + QStringLiteral(", Please Check your printer"));
        QVERIFY(!QFile::exists(p.output.printFilePath()));
    }
};

QTEST_MAIN(TextOutputTest)
#include "TextOutputTest.moc"
