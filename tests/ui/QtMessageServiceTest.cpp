// SPDX-License-Identifier: MIT
#include "ui/QtMessageService.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tw;

namespace {

// Handles the modal dialog of type Dialog once its event loop runs. If some other window is modal,
// every dialog is rejected so the test fails instead of waiting for a user.
template<class Dialog> void whenShown(QObject* context, std::function<void(Dialog*)> handle)
{
    QTimer::singleShot(0, context, [handle] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            handle(dialog);
            return;
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
                dialog->reject();
        }
    });
}

} // namespace

class QtMessageServiceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The widget-based dialogs can be driven from the test; native ones cannot.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }

    void answersWithTheButtonClickedAndTheFirstIsTheDefault_data()
    {
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::addColumn<MsgButton>("answer");
        QTest::addColumn<QMessageBox::Icon>("shownIcon");
        QTest::addColumn<QMessageBox::StandardButton>("shownDefault");
        const MsgButtons report { MsgButton::Abort, MsgButton::Retry, MsgButton::Ignore };
        const MsgButtons yesNo { MsgButton::Yes, MsgButton::No };
        QTest::newRow("abort") << MsgIcon::Critical << report << QMessageBox::Abort << MsgButton::Abort
                               << QMessageBox::Critical << QMessageBox::Abort;
        QTest::newRow("ignore") << MsgIcon::Critical << report << QMessageBox::Ignore << MsgButton::Ignore
                                << QMessageBox::Critical << QMessageBox::Abort;
        QTest::newRow("yes") << MsgIcon::Question << yesNo << QMessageBox::Yes << MsgButton::Yes
                             << QMessageBox::Question << QMessageBox::Yes;
        QTest::newRow("ok") << MsgIcon::Information << MsgButtons { MsgButton::Ok } << QMessageBox::Ok
                            << MsgButton::Ok << QMessageBox::Information << QMessageBox::Ok;
    }

    void answersWithTheButtonClickedAndTheFirstIsTheDefault()
    {
        QFETCH(MsgIcon, icon);
        QFETCH(MsgButtons, buttons);
        QFETCH(QMessageBox::StandardButton, click);
        QFETCH(MsgButton, answer);
        QFETCH(QMessageBox::Icon, shownIcon);
        QFETCH(QMessageBox::StandardButton, shownDefault);
        QtMessageService messages;
        QString shownText;
        QMessageBox::Icon iconShown = QMessageBox::NoIcon;
        int offered = 0;
        QMessageBox::StandardButton defaultShown = QMessageBox::NoButton;
        whenShown<QMessageBox>(this, [&](QMessageBox* box) {
            shownText = box->text();
            iconShown = box->icon();
            offered = box->buttons().size();
            defaultShown = box->standardButton(box->defaultButton());
            if (QAbstractButton* button = box->button(click))
                button->click();
            else
                box->reject();
        });

        const MsgButton chosen = messages.message(nullptr, QStringLiteral("Error"),
            QStringLiteral("Error 53: <b>File</b> not found\r\nin Form_Load"), icon, buttons);

        QCOMPARE(chosen, answer);
        // Plain text, CR LF shown as one line break.
        QCOMPARE(shownText, QStringLiteral("Error 53: <b>File</b> not found\nin Form_Load"));
        QCOMPARE(iconShown, shownIcon);
        QCOMPARE(offered, buttons.size());
        QCOMPARE(defaultShown, shownDefault);
    }

    void fileDialogsShowClassicFiltersAsWrittenAndAddTheDefaultSuffix()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString icon = dir.filePath(QStringLiteral("Tool.ico"));
        QVERIFY(QFile(icon).open(QIODevice::WriteOnly));
        QtMessageService messages;
        QStringList filters;
        bool detailsHidden = false;
        whenShown<QFileDialog>(this, [&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            detailsHidden = dialog->testOption(QFileDialog::HideNameFilterDetails);
            dialog->selectFile(icon);
            static_cast<QDialog*>(dialog)->accept();
        });
        QCOMPARE(messages.getOpenFileName(nullptr, QStringLiteral("Please select an Icon or Exe file..."),
                     dir.path(), QStringLiteral("Application, Icons (*.exe, *.ico)|*.exe;*.ico")),
            icon);
        QCOMPARE(filters, QStringList { QStringLiteral("Application, Icons (*.exe, *.ico) (*.exe *.ico)") });
        QVERIFY(detailsHidden);

        whenShown<QFileDialog>(this, [&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            dialog->selectFile(QStringLiteral("report"));
            static_cast<QDialog*>(dialog)->accept();
        });
        QCOMPARE(messages.getSaveFileName(nullptr, QStringLiteral("Save"), dir.path(),
                     QStringLiteral("Text File (*.txt);;All Files (*)"), QStringLiteral("txt")),
            dir.filePath(QStringLiteral("report.txt")));
        QCOMPARE(
            filters, (QStringList { QStringLiteral("Text File (*.txt)"), QStringLiteral("All Files (*)") }));
    }
};

QTEST_MAIN(QtMessageServiceTest)
#include "QtMessageServiceTest.moc"
