// SPDX-License-Identifier: MIT
// The side panel's search: where each press of Find starts, what it selects and when it says so.
#include "TestApplication.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tw;

namespace {

const QList<TestEntry> kPrograms = {
    { QStringLiteral("1"), QStringLiteral("Abacus Tools"), QStringLiteral("a.exe") },
    { QStringLiteral("2"), QStringLiteral("Zebra"), QStringLiteral("z.exe") },
    { QStringLiteral("3"), QStringLiteral("TAB Editor"), QStringLiteral("t.exe") },
    { QStringLiteral("4"), QStringLiteral("Crab"), QStringLiteral("c.exe") },
    { QStringLiteral("5"), QStringLiteral("Delta"), QStringLiteral("d.exe") },
};

QString notFound(const QString& text)
{
    return QStringLiteral("The Program You are looking for (") + text + QStringLiteral(") was not found");
}

class Search
{
public:
    explicit Search(TestApplication& test)
        : m_test(test)
        , m_box(test.window().findChild<QLineEdit*>(QStringLiteral("txtFind")))
        , m_find(test.window().findChild<QPushButton*>(QStringLiteral("CmdFind")))
    { }

    // Presses Find with the text in the box; returns the selected row's name afterwards.
    QString press(const QString& text)
    {
        m_box->setText(text);
        QTest::mouseClick(m_find, Qt::LeftButton);
        return selected();
    }
    // Expects the not-found message at this press.
    QString pressNotFound(const QString& text)
    {
        m_test.messages.answer(MsgButton::Ok);
        const qsizetype before = m_test.messages.calls().size();
        const QString result = press(text);
        if (m_test.messages.calls().size() != before + 1)
            QTest::qFail("no message", __FILE__, __LINE__);
        return result;
    }
    QString selected() const
    {
        const auto position = m_test.window().list().selectedPosition();
        return position ? m_test.window().list().text(*position) : QString();
    }

private:
    TestApplication& m_test;
    QLineEdit* m_box;
    QPushButton* m_find;
};

} // namespace

class ProgramSearchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsEachMatchInTurnThenSaysSoThenStartsOver()
    {
        TestApplication test(kPrograms);
        Search search(test);
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("Abacus Tools"));
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("TAB Editor"));
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("Crab"));
        QCOMPARE(test.window().findChild<QLabel*>(QStringLiteral("lblExclaim"))->text(),
            QStringLiteral(
                "The Selected Program (Crab) can be uninstalled from your computer by clicking the Uninstall "
                "Button below."));
        QCOMPARE(search.pressNotFound(QStringLiteral("ab")), QStringLiteral("Crab"));
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("Abacus Tools"));

        // A text no row holds says so at every press, without moving.
        QCOMPARE(search.press(QStringLiteral("zeb")), QStringLiteral("Zebra"));
        QCOMPARE(search.pressNotFound(QStringLiteral("  quill  ")), QStringLiteral("Zebra"));
        QCOMPARE(search.pressNotFound(QStringLiteral("quill")), QStringLiteral("Zebra"));

        QCOMPARE(test.messages.calls().size(), 3);
        const auto& message = test.messages.calls().at(0);
        QCOMPARE(message.title, QStringLiteral("Tidewell"));
        QCOMPARE(message.text, notFound(QStringLiteral("ab")));
        QCOMPARE(message.icon, MsgIcon::Information);
        QCOMPARE(test.messages.calls().at(1).text, notFound(QStringLiteral("quill")));
    }

    void aNewTextOrACaseChangeStartsAtTheTop()
    {
        TestApplication test(kPrograms);
        Search search(test);
        // The scan selected the top row; an empty text is the search before it, so each press moves on.
        QCOMPARE(search.press(QStringLiteral("   ")), QStringLiteral("Zebra"));
        QCOMPARE(search.press(QString()), QStringLiteral("TAB Editor"));
        QCOMPARE(search.press(QStringLiteral(" ")), QStringLiteral("Crab"));

        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("Abacus Tools"));
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("TAB Editor"));
        QCOMPARE(search.press(QStringLiteral("AB")), QStringLiteral("Abacus Tools"));
        // Spaces around the text are not part of it: this is the same search again.
        QCOMPARE(search.press(QStringLiteral("  AB ")), QStringLiteral("TAB Editor"));
        QCOMPARE(search.press(QStringLiteral("ta")), QStringLiteral("TAB Editor"));
        QCOMPARE(search.press(QStringLiteral("ta")), QStringLiteral("Delta"));
        // With the last row selected the same text starts again at the top.
        QCOMPARE(search.press(QStringLiteral("ta")), QStringLiteral("TAB Editor"));
        QVERIFY(test.messages.calls().isEmpty());
    }

    void theSearchRemembersAcrossARefreshAndFollowsTheSortOrder()
    {
        TestApplication test(kPrograms);
        Search search(test);
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("Abacus Tools"));
        test.window().mnu_refresh_Click();
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("TAB Editor"));

        test.window().lstview_ColumnClick(0); // descending: Zebra, TAB Editor, Delta, Crab, Abacus Tools
        test.window().list().selectPosition(0);
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("TAB Editor"));
        QCOMPARE(search.press(QStringLiteral("ab")), QStringLiteral("Crab"));
    }

    void anEmptyListSaysNothingWasFound()
    {
        TestApplication test({});
        Search search(test);
        QCOMPARE(search.pressNotFound(QStringLiteral("ab")), QString());
        QCOMPARE(test.messages.calls().at(0).text, notFound(QStringLiteral("ab")));
    }

    void enterInTheSearchBoxSearches()
    {
        TestApplication test(kPrograms);
        FrmMain& window = test.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* box = window.findChild<QLineEdit*>(QStringLiteral("txtFind"));
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("crab"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(Search(test).selected(), QStringLiteral("Crab"));
        QVERIFY(window.list().currentView()->hasFocus());
        // Other keys do not search.
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(Search(test).selected(), QStringLiteral("Crab"));
    }
};

QTEST_MAIN(ProgramSearchTest)
#include "ProgramSearchTest.moc"
